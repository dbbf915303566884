// The decoder and the CRYPT32 binding against Wine's own CRYPT32, on the
// records of the test PKI. (Where the libraries are loaded from is tested
// with planted copies, the IMAGEHLP binding through the image check.)
#include "SignedMessage.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "CertRecord.h"
#include "LibraryBindings.h"
#include "testpki_files.h"

using krtest::ReadBytes;
using krtest::TestPkiPath;

namespace {

std::vector<unsigned char> Record(const char* name) {
    std::vector<unsigned char> bytes = ReadBytes(TestPkiPath(name));
    EXPECT_GT(bytes.size(), 8u) << name;
    return bytes;
}

// Decode, OpenSigner and VerifySignature on a record, as the image check does.
struct Outcome {
    HRESULT decode = E_FAIL, open = E_FAIL, verify = E_FAIL;
};

Outcome RunDecoder(const std::vector<unsigned char>& record, DWORD expectedType = CMSG_SIGNED) {
    Outcome o;
    krcrypto::CertificateRecordView view;
    if (!krcrypto::ParseCertificateRecord(record.data(), record.size(), &view)) return o;
    USignedMessage message;
    o.decode = message.Decode(view.content, static_cast<DWORD>(view.contentLength), expectedType);
    o.open = message.OpenSigner();
    o.verify = message.VerifySignature();
    return o;
}

std::string Serial(const std::vector<unsigned char>& record, size_t size, bool* ok = nullptr) {
    std::vector<char> text(size + 4, '#');  // guard bytes after the buffer
    const bool result = GetSignerSerialNumber(record.data(), record.size(), text.data(), size);
    if (ok) *ok = result;
    for (size_t i = size; i < text.size(); ++i)
        EXPECT_EQ('#', text[i]) << "written past the buffer";
    return size ? std::string(text.data(), strnlen(text.data(), size)) : std::string();
}

std::string PublisherSerial() {
    std::vector<unsigned char> text = ReadBytes(TestPkiPath("publisher.serial"));
    return std::string(text.begin(), text.end());
}

void PutLength(std::vector<unsigned char>& record, DWORD length) {
    std::memcpy(record.data(), &length, sizeof(length));
}

}  // namespace

TEST(SignedMessage, SignedRecordsDecodeAndVerify) {
    for (const char* name : {"cert-md5.bin", "cert-md5-nopad.bin", "cert-sha256.bin"}) {
        Outcome o = RunDecoder(Record(name));
        EXPECT_EQ(S_OK, o.decode) << name;
        EXPECT_EQ(S_OK, o.open) << name;
        EXPECT_EQ(S_OK, o.verify) << name;
    }
    // The zero padding up to dwLength changes nothing.
    EXPECT_EQ(Serial(Record("cert-md5.bin"), 128), Serial(Record("cert-md5-nopad.bin"), 128));
}

TEST(SignedMessage, EachFailureIsReportedAtItsStage) {
    // Another expected type, or a message that is not SignedData.
    Outcome o = RunDecoder(Record("cert-md5.bin"), CMSG_ENVELOPED);
    EXPECT_EQ(CRYPT_E_UNEXPECTED_MSG_TYPE, o.decode);
    o = RunDecoder(Record("cert-notsigned.bin"));
    EXPECT_EQ(CRYPT_E_UNEXPECTED_MSG_TYPE, o.decode);
    EXPECT_LT(o.verify, 0);

    // Not DER: the decode fails and so does everything after it.
    std::vector<unsigned char> record = Record("cert-md5.bin");
    std::memset(record.data() + 8, 0x5A, 64);
    o = RunDecoder(record);
    EXPECT_LT(o.decode, 0);
    EXPECT_LT(o.open, 0);
    EXPECT_LT(o.verify, 0);

    // The signer's certificate is not in the message.
    o = RunDecoder(Record("cert-nosigner.bin"));
    EXPECT_EQ(S_OK, o.decode);
    EXPECT_EQ(S_OK, o.open);
    EXPECT_EQ(E_FAIL, o.verify);

    // A broken signature fails with the CryptoAPI's own error.
    o = RunDecoder(Record("cert-badsig.bin"));
    EXPECT_EQ(S_OK, o.decode);
    EXPECT_EQ(S_OK, o.open);
    EXPECT_LT(o.verify, 0);
    EXPECT_NE(E_FAIL, o.verify);
}

TEST(SignedMessage, CallsOutOfOrderFailWithoutCrashing) {
    USignedMessage message;
    EXPECT_LT(message.OpenSigner(), 0);
    EXPECT_LT(message.VerifySignature(), 0);
    EXPECT_EQ(nullptr, message.SignerIdentity());
}

TEST(SignerSerialNumber, MostSignificantByteFirstCutToWholeBytes) {
    const std::string expected = PublisherSerial();
    ASSERT_EQ("4B52C0DE00000100", expected);
    bool ok = false;
    EXPECT_EQ(expected, Serial(Record("cert-md5.bin"), 128, &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(expected, Serial(Record("cert-sha256.bin"), 128));
    // The signature is not checked here: a broken one still names its signer.
    EXPECT_EQ(expected, Serial(Record("cert-badsig.bin"), 128));
    // A 5-character buffer takes the two most significant bytes.
    EXPECT_EQ("4B52", Serial(Record("cert-md5.bin"), 5, &ok));
    EXPECT_TRUE(ok);
}

TEST(SignerSerialNumber, UndecodableGivesError) {
    bool ok = true;
    EXPECT_EQ("Error", Serial(Record("cert-notsigned.bin"), 128, &ok));
    EXPECT_FALSE(ok);
    // The signer identity is in the message even without its certificate.
    EXPECT_EQ(PublisherSerial(), Serial(Record("cert-nosigner.bin"), 128));
    // "Error" is cut like any text and always NUL-terminated.
    EXPECT_EQ("Err", Serial(Record("cert-notsigned.bin"), 4));
    char text[8] = "xxxxxxx";
    EXPECT_FALSE(GetSignerSerialNumber(nullptr, 0, text, sizeof(text)));
    EXPECT_STREQ("Error", text);
}

TEST(SignerSerialNumber, LengthFieldOutsideTheRecordIsNeverFollowed) {
    // Which lengths the record header accepts is tested natively; here, that
    // the serial number goes through that check.
    std::vector<unsigned char> record = Record("cert-md5.bin");
    PutLength(record, static_cast<DWORD>(record.size()) + 4096);
    bool ok = true;
    EXPECT_EQ("Error", Serial(record, 128, &ok));
    EXPECT_FALSE(ok);
    char text[16];
    EXPECT_FALSE(GetSignerSerialNumber(record.data(), 7, text, sizeof(text)));
    EXPECT_STREQ("Error", text);
    // dwLength shorter than the DER (but past the header) cuts the message.
    PutLength(record, 200);
    EXPECT_EQ("Error", Serial(record, 128));
}

TEST(Crypt32Binding, TwoDecodersShareOneLoad) {
    ASSERT_EQ(0, UCrypt32Library::ReferenceCount());
    {
        USignedMessage first;
        EXPECT_EQ(1, UCrypt32Library::ReferenceCount());
        HMODULE module = UCrypt32Library::Module();
        ASSERT_NE(nullptr, module);
        {
            USignedMessage second;
            EXPECT_EQ(2, UCrypt32Library::ReferenceCount());
            EXPECT_EQ(module, UCrypt32Library::Module());
        }
        EXPECT_EQ(1, UCrypt32Library::ReferenceCount());
        EXPECT_EQ(module, UCrypt32Library::Module());
        // Still usable after the second decoder is gone.
        std::vector<unsigned char> record = Record("cert-sha256.bin");
        EXPECT_EQ(S_OK, first.Decode(record.data() + 8, static_cast<DWORD>(record.size() - 8),
                                     CMSG_SIGNED));
    }
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    // Freed (Wine's own modules that import CRYPT32 may still keep it mapped).
    EXPECT_EQ(nullptr, UCrypt32Library::Module());
}

TEST(Crypt32Binding, WrapperWithoutReferenceReportsDllNotFound) {
    ASSERT_EQ(nullptr, UCrypt32Library::Module());
    SetLastError(0);
    EXPECT_EQ(nullptr, g_Crypt32Library.CryptMsgOpenToDecode(
                           X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_NOT_FOUND), GetLastError());
    // An unmatched Free leaves the count at zero, so the next user loads again.
    g_Crypt32Library.Free();
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    EXPECT_TRUE(g_Crypt32Library.Load());
    g_Crypt32Library.Free();
}

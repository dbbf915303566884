// The decoder, the signer's serial number and the CRYPT32 binding against
// Wine's own CRYPT32, on the records of the test PKI. (Where the libraries
// are loaded from is tested with planted copies, the IMAGEHLP binding
// through the image check.)
#include "SignedMessage.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "CertRecord.h"
#include "Gui.h"
#include "LibraryBindings.h"
#include "testpki_files.h"

namespace {

const char kSerial[] = "4B52C0DE00000100";  // the test publisher's
// Any error; an error other than E_FAIL; a step whose answer is left open.
const HRESULT kAnyFailure = 1, kCryptoFailure = 2, kNotChecked = 3;

std::vector<unsigned char> Record(const char* name) {
    return testkit::ReadBytes(krtest::TestPkiPath(name));
}

void ExpectResult(HRESULT expected, HRESULT actual, const char* step) {
    if (expected == kNotChecked) return;
    if (expected != kAnyFailure && expected != kCryptoFailure) {
        EXPECT_EQ(expected, actual) << step;
        return;
    }
    EXPECT_LT(actual, 0) << step;
    EXPECT_TRUE(expected != kCryptoFailure || actual != E_FAIL) << step;
}

}  // namespace

// Decode, OpenSigner and VerifySignature, as the image check calls them.
TEST(SignedMessage, EachRecordPassesOrFailsAtItsStage) {
    struct Row {
        const char* name;
        DWORD type;
        bool garbled;  // DER overwritten
        HRESULT decode, open, verify;
    };
    const Row rows[] = {
        {"cert-md5.bin", CMSG_SIGNED, false, S_OK, S_OK, S_OK},
        {"cert-md5-nopad.bin", CMSG_SIGNED, false, S_OK, S_OK, S_OK},
        {"cert-sha256.bin", CMSG_SIGNED, false, S_OK, S_OK, S_OK},
        {"cert-md5.bin", CMSG_ENVELOPED, false, CRYPT_E_UNEXPECTED_MSG_TYPE, kNotChecked, kNotChecked},
        {"cert-notsigned.bin", CMSG_SIGNED, false, CRYPT_E_UNEXPECTED_MSG_TYPE, kAnyFailure, kAnyFailure},
        {"cert-md5.bin", CMSG_SIGNED, true, kAnyFailure, kAnyFailure, kAnyFailure},
        // The signer's certificate is not in the message.
        {"cert-nosigner.bin", CMSG_SIGNED, false, S_OK, S_OK, E_FAIL},
        // A broken signature fails with the CryptoAPI's own error.
        {"cert-badsig.bin", CMSG_SIGNED, false, S_OK, S_OK, kCryptoFailure},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + (row.garbled ? " garbled" : ""));
        std::vector<unsigned char> record = Record(row.name);
        if (row.garbled) std::memset(record.data() + 8, 0x5A, 64);
        krcrypto::CertificateRecordView view;
        ASSERT_TRUE(krcrypto::ParseCertificateRecord(record.data(), record.size(), &view));
        USignedMessage message;
        ExpectResult(row.decode, message.Decode(view.content, static_cast<DWORD>(view.contentLength), row.type), "decode");
        ExpectResult(row.open, message.OpenSigner(), "open");
        ExpectResult(row.verify, message.VerifySignature(), "verify");
    }
    USignedMessage notDecoded;
    EXPECT_LT(notDecoded.OpenSigner(), 0);
    EXPECT_LT(notDecoded.VerifySignature(), 0);
    EXPECT_EQ(nullptr, notDecoded.SignerIdentity());
}

TEST(SignerSerialNumber, MostSignificantByteFirstCutToWholeBytesOrError) {
    struct Row {
        const char* name;
        DWORD lengthField;  // written over the record's, when not 0
        size_t holding;     // bytes handed over, when not 0
        size_t bufferSize;
        const char* expected;
    };
    const Row rows[] = {
        {"cert-md5.bin", 0, 0, 128, kSerial},
        {"cert-md5-nopad.bin", 0, 0, 128, kSerial},
        {"cert-sha256.bin", 0, 0, 128, kSerial},
        {"cert-md5.bin", 0, 0, 5, "4B52"},  // the two most significant bytes
        // The signature is not checked here, and the signer identity is in
        // the message even without its certificate.
        {"cert-badsig.bin", 0, 0, 128, kSerial},
        {"cert-nosigner.bin", 0, 0, 128, kSerial},
        {"cert-notsigned.bin", 0, 0, 128, "Error"},
        {"cert-notsigned.bin", 0, 0, 4, "Err"},
        // The record's length check is tested natively; here, that the serial
        // number goes through it: past the bytes, cutting the DER, no header.
        {"cert-md5.bin", 0xFFFFF, 0, 128, "Error"},
        {"cert-md5.bin", 200, 0, 128, "Error"},
        {"cert-md5.bin", 0, 7, 16, "Error"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.lengthField) + " " +
                     std::to_string(row.holding) + " " + std::to_string(row.bufferSize));
        std::vector<unsigned char> record = Record(row.name);
        if (row.lengthField) std::memcpy(record.data(), &row.lengthField, sizeof(row.lengthField));
        std::vector<char> text(row.bufferSize + 4, '#');  // guard bytes after the buffer
        EXPECT_EQ(std::strncmp(row.expected, "Err", 3) != 0,
                  GetSignerSerialNumber(record.data(), row.holding ? row.holding : record.size(),
                                        text.data(), row.bufferSize));
        EXPECT_EQ(row.expected, std::string(text.data(), strnlen(text.data(), row.bufferSize)));
        EXPECT_EQ("####", std::string(text.data() + row.bufferSize, 4)) << "written past the buffer";
    }
    char text[8] = "xxxxxxx";
    EXPECT_FALSE(GetSignerSerialNumber(nullptr, 0, text, sizeof(text)));
    EXPECT_STREQ("Error", text);
}

TEST(Crypt32Binding, DecodersShareOneLoadFreedWithTheLast) {
    ASSERT_EQ(0, UCrypt32Library::ReferenceCount());
    {
        USignedMessage first;
        const HMODULE module = UCrypt32Library::Module();
        ASSERT_NE(nullptr, module);
        {
            USignedMessage second;
            EXPECT_EQ(2, UCrypt32Library::ReferenceCount());
            EXPECT_EQ(module, UCrypt32Library::Module());
        }
        EXPECT_EQ(1, UCrypt32Library::ReferenceCount());
        // Still usable after the second decoder is gone.
        const std::vector<unsigned char> record = Record("cert-sha256.bin");
        EXPECT_EQ(S_OK, first.Decode(record.data() + 8, static_cast<DWORD>(record.size() - 8), CMSG_SIGNED));
    }
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    // Freed (Wine's own modules that import CRYPT32 may still keep it mapped).
    EXPECT_EQ(nullptr, UCrypt32Library::Module());

    // Without a reference a wrapper reports the library missing.
    SetLastError(0);
    EXPECT_EQ(nullptr, g_Crypt32Library.CryptMsgOpenToDecode(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_NOT_FOUND), GetLastError());
    // An unmatched Free leaves the count at zero, so the next user loads again.
    g_Crypt32Library.Free();
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    EXPECT_TRUE(g_Crypt32Library.Load());
    g_Crypt32Library.Free();
}

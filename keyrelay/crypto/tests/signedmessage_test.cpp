// The decoder, the signer's serial number and the CRYPT32 binding against
// Wine's own CRYPT32, on the test PKI's records. (Where the libraries come
// from: planted_test; the IMAGEHLP binding: the image check.)
#include "SignedMessage.h"

#include <cstring>
#include <memory>
#include <vector>

#include "CertRecord.h"
#include "Gui.h"
#include "LibraryBindings.h"
#include "testpki_files.h"

namespace {

using krtest::kSerial;
// Any error; an error other than E_FAIL.
const HRESULT kAnyFailure = 1, kCryptoFailure = 2;

void ExpectResult(HRESULT expected, HRESULT actual, const char* step) {
    const bool failed = actual < 0 && (expected != kCryptoFailure || actual != E_FAIL);
    EXPECT_TRUE(expected == kAnyFailure || expected == kCryptoFailure ? failed : actual == expected)
        << step << ": 0x" << std::hex << actual;
}

// The serial text in a buffer of `size` chars; what it returned in *ok.
std::string Serial(const std::vector<unsigned char>& record, size_t size, bool* ok = nullptr,
                   size_t holding = 0) {
    std::vector<char> text(size + 4, '#');  // guard bytes after the buffer
    const bool result =
        GetSignerSerialNumber(record.data(), holding ? holding : record.size(), text.data(), size);
    if (ok) *ok = result;
    EXPECT_EQ("####", std::string(text.data() + size, 4)) << "written past the buffer";
    return std::string(text.data(), strnlen(text.data(), size));
}

}  // namespace

// Decode, OpenSigner and VerifySignature as the image check calls them, and
// the serial number, which is read without checking the signature.
TEST(SignedMessage, EachRecordPassesOrFailsAtItsStage) {
    const struct {
        const char* name;
        bool garbled;  // DER overwritten
        HRESULT decode, open, verify;
        const char* serial;
    } rows[] = {
        {"cert-md5.bin", false, S_OK, S_OK, S_OK, kSerial},
        {"cert-md5-nopad.bin", false, S_OK, S_OK, S_OK, kSerial},
        {"cert-sha256.bin", false, S_OK, S_OK, S_OK, kSerial},
        // The signer's certificate is not in the message, its identity is.
        {"cert-nosigner.bin", false, S_OK, S_OK, E_FAIL, kSerial},
        // A broken signature fails with the CryptoAPI's own error.
        {"cert-badsig.bin", false, S_OK, S_OK, kCryptoFailure, kSerial},
        {"cert-notsigned.bin", false, CRYPT_E_UNEXPECTED_MSG_TYPE, kAnyFailure, kAnyFailure, "Error"},
        {"cert-md5.bin", true, kAnyFailure, kAnyFailure, kAnyFailure, "Error"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + (row.garbled ? " garbled" : ""));
        std::vector<unsigned char> record = testkit::ReadBytes(krtest::TestPkiPath(row.name));
        if (row.garbled) std::memset(record.data() + 8, 0x5A, 64);
        krcrypto::CertificateRecordView view;
        ASSERT_TRUE(krcrypto::ParseCertificateRecord(record.data(), record.size(), &view));
        USignedMessage message;
        ExpectResult(
            row.decode,
            message.Decode(view.content, static_cast<DWORD>(view.contentLength), CMSG_SIGNED),
            "decode");
        ExpectResult(row.open, message.OpenSigner(), "open");
        ExpectResult(row.verify, message.VerifySignature(), "verify");
        bool ok = false;
        EXPECT_EQ(row.serial, Serial(record, 128, &ok));
        EXPECT_EQ(row.serial == kSerial, ok);
    }
}

TEST(SignerSerialNumber, CutToWholeBytesAndNeverPastTheRecord) {
    std::vector<unsigned char> record = testkit::ReadBytes(krtest::TestPkiPath("cert-md5.bin"));
    bool ok = false;
    EXPECT_EQ("4B52", Serial(record, 5, &ok));  // the two most significant bytes
    EXPECT_TRUE(ok);
    EXPECT_EQ("Err", Serial(testkit::ReadBytes(krtest::TestPkiPath("cert-notsigned.bin")), 4));
    // Which lengths the record header accepts is tested natively; here, that
    // the serial number goes through that check: no whole header, a length
    // past the bytes, a length that cuts the DER.
    EXPECT_EQ("Error", Serial(record, 16, nullptr, 7));
    for (DWORD length : {static_cast<DWORD>(record.size()) + 4096, 200ul}) {
        std::memcpy(record.data(), &length, sizeof(length));
        EXPECT_EQ("Error", Serial(record, 128, &ok)) << length;
        EXPECT_FALSE(ok);
    }
}

TEST(Crypt32Binding, DecodersShareOneLoadFreedWithTheLast) {
    ASSERT_EQ(0, UCrypt32Library::ReferenceCount());
    auto first = std::make_unique<USignedMessage>(), second = std::make_unique<USignedMessage>();
    const HMODULE module = UCrypt32Library::Module();
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(2, UCrypt32Library::ReferenceCount());
    second.reset();
    EXPECT_EQ(1, UCrypt32Library::ReferenceCount());
    EXPECT_EQ(module, UCrypt32Library::Module());  // still loaded for the first
    first.reset();
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    // Freed (Wine's own modules that import CRYPT32 may still keep it mapped).
    EXPECT_EQ(nullptr, UCrypt32Library::Module());
    // An unmatched Free leaves the count at zero, so the next user loads again.
    g_Crypt32Library.Free();
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    EXPECT_TRUE(g_Crypt32Library.Load());
    g_Crypt32Library.Free();
}

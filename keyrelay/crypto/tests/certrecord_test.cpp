// Record layout and serial text, natively (sanitizers on).
#include "CertRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using krcrypto::CertificateRecordView;
using krcrypto::FormatSerialNumber;
using krcrypto::ParseCertificateRecord;

namespace {

std::vector<unsigned char> MakeRecord(std::uint32_t length, std::size_t holding) {
    std::vector<unsigned char> r(holding, 0xAA);
    const unsigned char header[8] = {static_cast<unsigned char>(length),
                                     static_cast<unsigned char>(length >> 8),
                                     static_cast<unsigned char>(length >> 16),
                                     static_cast<unsigned char>(length >> 24),
                                     0x00,
                                     0x02,
                                     0x02,
                                     0x00};
    std::memcpy(r.data(), header, holding < 8 ? holding : 8);
    return r;
}

std::string Format(std::vector<unsigned char> serial, std::size_t size) {
    std::vector<char> text(size + 1, '#');
    std::size_t n = FormatSerialNumber(serial.data(), serial.size(), text.data(), size);
    EXPECT_EQ('#', text[size]);
    if (size == 0) return "";
    EXPECT_EQ('\0', text[n]);
    return std::string(text.data(), n);
}

}  // namespace

TEST(CertRecord, HeaderFieldsAndContent) {
    std::vector<unsigned char> r = MakeRecord(24, 32);  // a record in a larger resource
    CertificateRecordView v;
    ASSERT_TRUE(ParseCertificateRecord(r.data(), r.size(), &v));
    EXPECT_EQ(24u, v.length);
    EXPECT_EQ(0x0200, v.revision);
    EXPECT_EQ(0x0002, v.certificateType);
    EXPECT_EQ(r.data() + 8, v.content);
    EXPECT_EQ(16u, v.contentLength);
    ASSERT_TRUE(ParseCertificateRecord(r.data(), 24, &v));  // exactly its length
}

TEST(CertRecord, LengthOutsideTheHoldingBytesIsRejected) {
    for (std::uint32_t length : {0u, 1u, 7u, 8u, 33u, 0x80000000u, 0xFFFFFFFFu}) {
        std::vector<unsigned char> r = MakeRecord(length, 32);
        CertificateRecordView v;
        v.contentLength = 99;
        EXPECT_FALSE(ParseCertificateRecord(r.data(), r.size(), &v)) << length;
        EXPECT_EQ(0u, v.contentLength);
        EXPECT_EQ(nullptr, v.content);
    }
    std::vector<unsigned char> shortRecord = MakeRecord(9, 7);
    CertificateRecordView v;
    EXPECT_FALSE(ParseCertificateRecord(shortRecord.data(), shortRecord.size(), &v));
    EXPECT_FALSE(ParseCertificateRecord(nullptr, 100, &v));
}

TEST(SerialText, MostSignificantByteFirstWithLeadingZeros) {
    EXPECT_EQ("0A0201", Format({0x01, 0x02, 0x0A}, 128));
    EXPECT_EQ("00000FF0", Format({0xF0, 0x0F, 0x00, 0x00}, 128));
    EXPECT_EQ("", Format({}, 128));
}

TEST(SerialText, CutAfterTheLastWholeByteThatFits) {
    EXPECT_EQ("0A02", Format({0x01, 0x02, 0x0A}, 5));
    EXPECT_EQ("0A02", Format({0x01, 0x02, 0x0A}, 6));
    EXPECT_EQ("0A0201", Format({0x01, 0x02, 0x0A}, 7));
    EXPECT_EQ("", Format({0x01, 0x02, 0x0A}, 2));
    EXPECT_EQ("", Format({0x01, 0x02, 0x0A}, 1));
    EXPECT_EQ("", Format({0x01, 0x02, 0x0A}, 0));
    // 63 bytes fill a 128-character buffer; the 64th would not leave room.
    std::vector<unsigned char> serial(64, 0x11);
    EXPECT_EQ(126u, Format(serial, 128).size());
}

TEST(SerialText, CopyTextCutTerminatesAndClears) {
    char text[8];
    std::memset(text, '#', sizeof(text));
    krcrypto::CopyTextCut("Error", text, 4);
    EXPECT_STREQ("Err", text);
    EXPECT_EQ('#', text[4]);
    krcrypto::CopyTextCut("Error", text, sizeof(text));
    EXPECT_STREQ("Error", text);
    EXPECT_EQ('\0', text[7]);
}

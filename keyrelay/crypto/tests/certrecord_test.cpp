// Record layout and serial text, natively (sanitizers on).
#include "CertRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using krcrypto::CertificateRecordView;
using krcrypto::ParseCertificateRecord;

namespace {

// `holding` bytes whose header gives dwLength `length`, revision 0x0200 and type 2.
std::vector<unsigned char> MakeRecord(std::uint32_t length, std::size_t holding) {
    std::vector<unsigned char> r(holding < 8 ? 8 : holding, 0xAA);
    std::memcpy(r.data(), &length, 4);  // little-endian, as the build machine
    const unsigned char rest[4] = {0x00, 0x02, 0x02, 0x00};
    std::memcpy(r.data() + 4, rest, 4);
    r.resize(holding);
    return r;
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
    EXPECT_TRUE(ParseCertificateRecord(r.data(), 24, &v));  // exactly its length
    EXPECT_TRUE(ParseCertificateRecord(MakeRecord(9, 9).data(), 9, &v));  // one content byte
}

TEST(CertRecord, LengthOutsideTheHoldingBytesIsRejected) {
    // {dwLength, bytes held}
    const std::pair<std::uint32_t, std::size_t> rows[] = {
        {0, 32}, {1, 32}, {7, 32}, {8, 32}, {33, 32}, {0x80000000u, 32}, {0xFFFFFFFFu, 32}, {9, 7}, {9, 8},
    };
    for (const auto& row : rows) {
        std::vector<unsigned char> r = MakeRecord(row.first, row.second);
        CertificateRecordView v;
        v.contentLength = 99;
        EXPECT_FALSE(ParseCertificateRecord(r.data(), r.size(), &v))
            << row.first << "/" << row.second;
        EXPECT_EQ(0u, v.contentLength);
        EXPECT_EQ(nullptr, v.content);
    }
    CertificateRecordView v;
    EXPECT_FALSE(ParseCertificateRecord(nullptr, 100, &v));
}

TEST(SerialText, MostSignificantByteFirstCutAfterTheLastWholeByteThatFits) {
    // {serial bytes (least significant first), buffer chars, text}
    const struct {
        std::vector<unsigned char> serial;
        std::size_t size;
        std::string text;
    } rows[] = {
        {{0x01, 0x02, 0x0A}, 128, "0A0201"}, {{0xF0, 0x0F, 0x00, 0x00}, 128, "00000FF0"},
        {{}, 128, ""}, {{0x01, 0x02, 0x0A}, 7, "0A0201"}, {{0x01, 0x02, 0x0A}, 6, "0A02"},
        {{0x01, 0x02, 0x0A}, 5, "0A02"}, {{0x01, 0x02, 0x0A}, 2, ""}, {{0x01, 0x02, 0x0A}, 1, ""},
        {{0x01, 0x02, 0x0A}, 0, ""},
        // 63 bytes fill a 128-character buffer; the 64th would not leave room.
        {std::vector<unsigned char>(64, 0x11), 128, std::string(126, '1')},
    };
    for (const auto& row : rows) {
        std::vector<char> text(row.size + 1, '#');
        const std::size_t n = krcrypto::FormatSerialNumber(row.serial.data(), row.serial.size(),
                                                           text.data(), row.size);
        EXPECT_EQ('#', text[row.size]) << row.text << " written past the buffer";
        EXPECT_EQ(row.text, row.size ? std::string(text.data()) : "") << row.size;
        EXPECT_EQ(row.text.size(), n);
    }
}

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
    std::memcpy(r.data() + 4, "\x00\x02\x02\x00", 4);
    r.resize(holding);
    return r;
}

}  // namespace

// A length from 9 up to the bytes held is taken: header fields read, the
// content after the header (the record may lie in a larger resource); any
// other length is rejected and leaves no content.
TEST(CertRecord, LengthMustLieWithinTheHoldingBytes) {
    const struct { std::uint32_t length; std::size_t holding; bool taken; } rows[] = {
        {24, 32, true}, {24, 24, true}, {9, 9, true}, {0, 32, false}, {1, 32, false}, {7, 32, false},
        {8, 32, false}, {33, 32, false}, {0x80000000u, 32, false}, {0xFFFFFFFFu, 32, false},
        {9, 7, false}, {9, 8, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.length) + "/" + std::to_string(row.holding));
        const std::vector<unsigned char> r = MakeRecord(row.length, row.holding);
        CertificateRecordView v;
        v.contentLength = 99;
        EXPECT_EQ(row.taken, ParseCertificateRecord(r.data(), r.size(), &v));
        EXPECT_EQ(row.taken ? row.length - 8 : 0u, v.contentLength);
        EXPECT_EQ(row.taken ? r.data() + 8 : nullptr, v.content);
        if (!row.taken) continue;
        EXPECT_EQ(row.length, v.length);
        EXPECT_EQ(0x0200, v.revision);
        EXPECT_EQ(0x0002, v.certificateType);
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

// A PE image read from its bytes, natively (sanitizers on): the small image
// whole, and with one field changed at a time.
#include "PeImage.h"

#include <gtest/gtest.h>

#include <string>

#include "SmallPe.h"

using krcrypto::ByteRange;
using krtest::Put;

namespace {

ByteRange Range(const krtest::Bytes& b) { return {b.data(), b.size()}; }

}  // namespace

// The payload is found only where every table, entry and byte of it lies
// inside the resource directory's range, itself inside its section's bytes.
TEST(PeImage, TheResourceTreeIsFollowedOnlyWithinItsRange) {
    const struct { const char* name; std::size_t at; std::uint32_t value, bytes; bool found; } rows[] = {
        {"whole", 0, 'M', 1, true},
        {"other language", krtest::kResources + 0x40, 1031, 4, false},
        {"data past the range", krtest::kDataEntry + 4, 0xA9, 4, false},
        {"data below the range", krtest::kDataEntry, 0xFFF, 4, false},
        {"data length wraps", krtest::kDataEntry + 4, 0xFFFFFFFF, 4, false},
        {"type not a subdirectory", krtest::kResources + 0x14, 0x18, 4, false},
        {"language a subdirectory", krtest::kResources + 0x44, 0x80000048, 4, false},
        {"subdirectory past the range", krtest::kResources + 0x2C, 0x800000F8, 4, false},
        {"entries past the range", krtest::kResources + 0x18 + 14, 0xFFFF, 2, false},
        {"range past its section", krtest::kOptionalHeader + 116, 0x101, 4, false},
        {"section past the file", krtest::kOptionalHeader + 224 + 20, 0x201, 4, false},
        {"section table past the headers", 0x46, 0x0D, 2, false},
        {"optional header too short", 0x54, 0x70, 2, false},
        {"new header past the file", 0x3C, 0x2FD, 4, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        krtest::Bytes image = krtest::SmallPe();
        Put(image, row.at, row.value, row.bytes);
        ByteRange data;
        EXPECT_EQ(row.found, krcrypto::FindFileResource(Range(image), 10, 300, 1033, &data));
        EXPECT_EQ(row.found ? "payload" : "", std::string(data.data, data.data + data.size));
    }
}

// The file holds the mapped image when headers and resources are the same;
// the image base alone may differ (the loader writes where it moved it).
TEST(PeImage, AFileHoldsTheMappedImageWithItsHeadersAndResources) {
    const struct { const char* name; bool pe32Plus; std::size_t at; std::uint32_t value; bool holds; } rows[] = {
        {"code and data changed", false, 0x1F00, 0xCC, true},
        {"moved", false, krtest::kOptionalHeader + 28, 0x10000000, true},
        {"moved, PE32+", true, krtest::kOptionalHeader + 28, 0x7FF6, true},  // the base's high half
        {"a header changed", false, 0x48, 1, false},
        {"a resource changed", false, 0x1058, 'P', false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const krtest::Bytes file = krtest::SmallPe(row.pe32Plus);
        krtest::Bytes mapped = krtest::Mapped(file);
        Put(mapped, row.at, row.value);
        EXPECT_EQ(row.holds, krcrypto::FileHoldsMappedImage(Range(file), Range(mapped)));
    }
}

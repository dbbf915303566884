// Choosing a picture from an .ico file; damaged files give none.
#include <gtest/gtest.h>

#include <vector>

#include "IcoFile.h"

using namespace browser::ico;

namespace {

struct Entry {
    size_t width, height, bits, size, offset;
};

void Put(std::vector<unsigned char>& v, size_t at, size_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) v[at + i] = (value >> (8 * i)) & 0xFF;
}

// An icon file of total bytes (of type, with count entries when given).
std::vector<unsigned char> Ico(const std::vector<Entry>& entries, size_t total, unsigned type = 1,
                               size_t count = 0) {
    std::vector<unsigned char> v(total);
    Put(v, 2, type, 2);
    Put(v, 4, count ? count : entries.size(), 2);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        size_t at = 6 + 16 * i;
        Put(v, at, e.width, 1);  // 256 is stored as 0
        Put(v, at + 1, e.height, 1);
        Put(v, at + 6, e.bits, 2);
        Put(v, at + 8, e.size, 4);
        Put(v, at + 12, e.offset, 4);
    }
    return v;
}

}  // namespace

TEST(IcoFile, ChoosesTheNearestSizeThenTheDeepestColour) {
    // 16 x 16; 32 x 32 twice (8 and 32 bits); 256 x 256.
    auto v = Ico(
        {{16, 16, 32, 10, 70}, {32, 32, 8, 10, 80}, {32, 32, 32, 10, 90}, {256, 256, 32, 10, 100}},
        110);
    const struct {
        int size;
        size_t offset;
    } cases[] = {{32, 90}, {16, 70}, {48, 90}, {256, 100}};
    for (const auto& c : cases) {
        Image image;
        ASSERT_TRUE(PickImage(v.data(), v.size(), c.size, c.size, &image));
        EXPECT_EQ(c.offset, image.offset) << c.size;
    }
    // A bad entry is skipped when a good one follows.
    auto mixed = Ico({{32, 32, 32, 100, 38}, {16, 16, 32, 2, 38}}, 40);
    Image image;
    ASSERT_TRUE(PickImage(mixed.data(), mixed.size(), 32, 32, &image));
    EXPECT_EQ(16, image.width);
}

TEST(IcoFile, RejectsDamagedFiles) {
    const std::vector<unsigned char> damaged[] = {
        {0, 0, 1, 0},                       // shorter than a header
        Ico({{32, 32, 32, 4, 22}}, 26, 2),  // a cursor file
        Ico({}, 6),                         // no entries
        Ico({}, 22, 1, 2),                  // more entries than bytes
        // Pictures running past the end, overlapping the directory, empty,
        // or with an offset whose sum with the size wraps round.
        Ico({{32, 32, 32, 100, 22}}, 40),
        Ico({{32, 32, 32, 4, 2}}, 40),
        Ico({{32, 32, 32, 0, 22}}, 40),
        Ico({{32, 32, 32, 0xFFFFFFF0u, 0x20}}, 40),
    };
    for (size_t i = 0; i < sizeof(damaged) / sizeof(damaged[0]); ++i) {
        Image image;
        EXPECT_FALSE(PickImage(damaged[i].data(), damaged[i].size(), 32, 32, &image)) << i;
    }
}

// Choosing a picture from an .ico file, and damaged files that must give no
// picture rather than a read outside them. (The committed icon itself is
// loaded by browser_window_test.)
#include <gtest/gtest.h>

#include <vector>

#include "IcoFile.h"

using browser::ico::Image;
using browser::ico::PickImage;

namespace {

void PutWord(std::vector<unsigned char>& v, size_t at, unsigned value) {
    v[at] = value & 0xFF;
    v[at + 1] = (value >> 8) & 0xFF;
}
void PutDword(std::vector<unsigned char>& v, size_t at, size_t value) {
    for (int i = 0; i < 4; ++i) v[at + i] = (value >> (8 * i)) & 0xFF;
}

// An icon file of the given entries (width, height, bits, size, offset).
std::vector<unsigned char> Ico(std::vector<std::vector<size_t>> entries, size_t total) {
    std::vector<unsigned char> v(total);
    PutWord(v, 2, 1);
    PutWord(v, 4, static_cast<unsigned>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t e = 6 + 16 * i;
        v[e] = static_cast<unsigned char>(entries[i][0]);
        v[e + 1] = static_cast<unsigned char>(entries[i][1]);
        PutWord(v, e + 6, static_cast<unsigned>(entries[i][2]));
        PutDword(v, e + 8, entries[i][3]);
        PutDword(v, e + 12, entries[i][4]);
    }
    return v;
}

}  // namespace

TEST(IcoFile, ChoosesTheNearestSizeThenTheDeepestColour) {
    // 16 x 16; 32 x 32 twice (8 and 32 bits); 256 x 256 (stored as 0).
    auto v =
        Ico({{16, 16, 32, 10, 70}, {32, 32, 8, 10, 80}, {32, 32, 32, 10, 90}, {0, 0, 32, 10, 100}},
            110);
    Image image;
    ASSERT_TRUE(PickImage(v.data(), v.size(), 32, 32, &image));
    EXPECT_EQ(90u, image.offset);
    ASSERT_TRUE(PickImage(v.data(), v.size(), 16, 16, &image));
    EXPECT_EQ(70u, image.offset);
    ASSERT_TRUE(PickImage(v.data(), v.size(), 48, 48, &image));  // nearest: 32
    EXPECT_EQ(90u, image.offset);
    ASSERT_TRUE(PickImage(v.data(), v.size(), 256, 256, &image));
    EXPECT_EQ(256, image.width);
    EXPECT_EQ(100u, image.offset);
}

TEST(IcoFile, RejectsDamagedFiles) {
    Image image;
    EXPECT_FALSE(PickImage(nullptr, 0, 32, 32, &image));
    std::vector<unsigned char> tiny = {0, 0, 1, 0};
    EXPECT_FALSE(PickImage(tiny.data(), tiny.size(), 32, 32, &image));
    // Not an icon (type 2 is a cursor file), no entries, more entries than bytes.
    auto cursor = Ico({{32, 32, 32, 4, 22}}, 26);
    PutWord(cursor, 2, 2);
    EXPECT_FALSE(PickImage(cursor.data(), cursor.size(), 32, 32, &image));
    auto none = Ico({}, 6);
    EXPECT_FALSE(PickImage(none.data(), none.size(), 32, 32, &image));
    auto many = Ico({}, 22);
    PutWord(many, 4, 2);
    EXPECT_FALSE(PickImage(many.data(), many.size(), 32, 32, &image));
    // Pictures running past the end, overlapping the directory, empty, or
    // with an offset whose sum with the size wraps round.
    auto past = Ico({{32, 32, 32, 100, 22}}, 40);
    EXPECT_FALSE(PickImage(past.data(), past.size(), 32, 32, &image));
    auto inside = Ico({{32, 32, 32, 4, 2}}, 40);
    EXPECT_FALSE(PickImage(inside.data(), inside.size(), 32, 32, &image));
    auto empty = Ico({{32, 32, 32, 0, 22}}, 40);
    EXPECT_FALSE(PickImage(empty.data(), empty.size(), 32, 32, &image));
    auto wrap = Ico({{32, 32, 32, 0xFFFFFFF0u, 0x20}}, 40);
    EXPECT_FALSE(PickImage(wrap.data(), wrap.size(), 32, 32, &image));
    // A bad entry is skipped when a good one follows.
    auto mixed = Ico({{32, 32, 32, 100, 38}, {16, 16, 32, 2, 38}}, 40);
    ASSERT_TRUE(PickImage(mixed.data(), mixed.size(), 32, 32, &image));
    EXPECT_EQ(16, image.width);
}

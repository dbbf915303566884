// The language choice and the resource readers on bytes as an image may
// hold them: whole, cut short, or lying about their sizes.
#include "LanguageChoice.h"
#include "ResourceFormats.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using Bytes = std::basic_string<std::uint8_t>;
Bytes U16(std::uint32_t v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }
Bytes U32(std::uint32_t v) { return U16(v) + U16(v >> 16); }

TEST(Language, ChoosesTheUsersLanguageElseTheSamePrimaryElseTheFirst) {
    const struct { uilang::LangId user; Bytes list; uilang::LangId chosen; } cases[] = {
        {0x0407, U16(0x0409) + U16(0x0407), 0x0407},                // exact
        {0x0C07, U16(0x0409) + U16(0x0407), 0x0407},                // de-AT: German
        {0x0409, U16(0x0809) + U16(0x0C09) + U16(0x0409), 0x0409},  // exact first
        {0x0409, U16(0x0809) + U16(0x0C09), 0x0809},                // first of the same primary
        {0x0411, U16(0x0409) + U16(0x0407), 0x0409},                // not there: the first
        {0x0C04, U16(0x0804) + U16(0x0404), 0x0404},                // zh-HK reads zh-TW
        {0x1404, U16(0x0804) + U16(0x0404), 0x0404},                // zh-MO reads zh-TW
        {0x1004, U16(0x0404) + U16(0x0804), 0x0804},                // zh-SG reads zh-CN
        {0x0C04, U16(0x0409) + U16(0x0804), 0x0804},                // no zh-TW: still Chinese
        {0x0407, U16(0x0400) + U16(0) + U16(0x0409), 0x0409},       // ids of no language
        {0x0407, U16(0x0409) + Bytes{0x07}, 0x0409},                // odd size: half an id
        {0x0407, {}, 0},                                            // no list: loader's lookup
    };
    for (const auto& c : cases)
        EXPECT_EQ(uilang::ChooseLanguage(
                      c.user, uilang::ParseLanguageList(c.list.data(), c.list.size())),
                  c.chosen)
            << std::hex << c.user << " " << c.list.size();
}

// A file's name that holds "%2" or "%1" is not filled in again.
TEST(Language, FillsInEachPlaceholderOnce) {
    EXPECT_EQ(uilang::FillIn(L"%2 of %1: %", L"a%2.exe", L"100%1"), L"100%1 of a%2.exe: %");
    EXPECT_EQ(uilang::FillIn(L"%3%", L"x", L"y"), L"%3%");
}

TEST(Language, StringBlockGivesOnlyStringsThatLieInside) {
    // "ab", "", "c", then 13 empty strings of which the last claims a unit.
    Bytes block = U16(2) + U16('a') + U16('b') + U16(0) + U16(1) + U16('c');
    for (int i = 3; i < 16; ++i) block += U16(i == 15);
    const struct { size_t size; unsigned index; size_t offset, length; } cases[] = {
        {block.size(), 0, 2, 2}, {block.size(), 2, 10, 1}, {block.size(), 1, 0, 0},
        {block.size(), 15, 0, 0}, {5, 0, 0, 0}, {9, 2, 0, 0}};  // 0, 0: none; last: cut
    for (const auto& c : cases) {
        size_t offset = 0, length = 0;
        EXPECT_EQ(resformat::FindInStringBlock(block.data(), c.size, c.index, &offset, &length),
                  c.length != 0);
        EXPECT_EQ(std::make_pair(offset, length), std::make_pair(c.offset, c.length))
            << c.size << " " << c.index;
    }
}

// A packed DIB: header, then `tail` bytes of colour table and pixels.
Bytes Dib(int width, int height, int bits, int compression, int colours, int imageSize,
          size_t tail) {
    return U32(40) + U32(width) + U32(height) + U16(1) + U16(bits) + U32(compression) +
           U32(imageSize) + U32(0) + U32(0) + U32(colours) + U32(0) + Bytes(tail, 0);
}

TEST(Language, PackedBitmapIsTakenOnlyWhenEveryPartLiesInside) {
    const struct { const char* name; Bytes dib; size_t bitsOffset, bitsSize; } cases[] = {
        {"rle8 as drawn", Dib(394, 305, 8, 1, 256, 100, 1024 + 100), 1064, 100},
        {"rle8 pixels cut", Dib(394, 305, 8, 1, 256, 100, 1024 + 99), 0, 0},  // 0, 0: refused
        {"rows cut", Dib(17, 25, 8, 0, 0, 0, 1024 + 499), 0, 0},
        {"palette cut", Dib(17, 25, 8, 0, 0, 0, 1000), 0, 0},
        {"bit fields, top-down", Dib(3, -2, 32, 3, 0, 0, 12 + 24), 52, 24},
        {"header past the end", Dib(2, 2, 32, 0, 0, 0, 16).replace(0, 4, U32(100)), 0, 0},
    };
    for (const auto& c : cases) {
        resformat::PackedDib dib;
        EXPECT_EQ(resformat::ParsePackedDib(c.dib.data(), c.dib.size(), &dib), c.bitsSize != 0)
            << c.name;
        EXPECT_EQ(std::make_pair(dib.bitsOffset, dib.bitsSize),
                  std::make_pair(c.bitsOffset, c.bitsSize)) << c.name;
    }
}

}  // namespace

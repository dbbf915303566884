// The browser window's geometry rules, without a window.
#include <gtest/gtest.h>

#include "BrowserLayout.h"

using namespace browser::layout;

// Each length that would be negative is skipped on its own; -1 here.
TEST(ResizeRule, SkipsEachNegativeLengthOnItsOwn) {
    const struct {
        float scaleWidth, scaleHeight, boxWidth, browserWidth, browserHeight;
    } cases[] = {
        {6540, 5130, 6440, 6440, 3815},
        {90, 5130, -1, -1, 3815},      // narrower than 100 twips
        {6540, 1314, 6440, 6440, -1},  // lower than the strip's bottom + 100
        {100, 1315, 0, 0, 0},          // at the edge a length of zero is still one
        {0, 0, -1, -1, -1},            // minimised: an empty client area
    };
    auto value = [](const std::optional<float>& v) { return v ? *v : -1.0f; };
    for (const auto& c : cases) {
        ResizeResult r = ResizeRule(c.scaleWidth, c.scaleHeight, 540.0f, 675.0f);
        EXPECT_EQ(c.boxWidth, value(r.addressBoxWidth)) << c.scaleWidth;
        EXPECT_EQ(c.browserWidth, value(r.browserWidth)) << c.scaleWidth;
        EXPECT_EQ(c.browserHeight, value(r.browserHeight)) << c.scaleHeight;
    }
}

TEST(Layout, TwipsToTheNearestPixelAtAnyScreen) {
    EXPECT_FLOAT_EQ(12.0f, TwipsPerPixel(120));
    EXPECT_FLOAT_EQ(15.0f, TwipsPerPixel(0));  // a screen that does not say
    const struct {
        float twips, perPixel;
        int pixels;
    } cases[] = {
        {5393, 15, 360}, {5385, 15, 359}, {7.5f, 15, 1},  // halves round up
        {-100, 15, 0},   {100, 0, 0},     {1e30f, 15, 1000000},
    };
    for (const auto& c : cases) EXPECT_EQ(c.pixels, TwipsToPixels(c.twips, c.perPixel)) << c.twips;
}

// Each new window opens a caption lower and further right than the last one
// open, and again at the design place when it would leave the work area.
TEST(Cascade, OffsetFromTheLastWindowUntilTheWorkAreaEnds) {
    const Area work = {0, 0, 1024, 738};
    const Spot design = {204, 223};
    const Spot open[] = {{204, 223}, {500, 300}, {500, 305}, {571, 100}, {-30, 40}};
    const Spot next[] = {{227, 246}, {523, 323}, {204, 223}, {204, 223}, {204, 223}};
    for (size_t i = 0; i < 5; ++i) {
        Spot s = CascadePosition(&open[i], design, 431, 411, 23, work);
        EXPECT_TRUE(s.x == next[i].x && s.y == next[i].y) << i << ": " << s.x << "," << s.y;
    }
    Spot first = CascadePosition(nullptr, design, 431, 411, 23, work);
    EXPECT_TRUE(first.x == 204 && first.y == 223) << first.x << "," << first.y;
}

// The browser window's geometry rules, without a window. The design-size
// lengths are checked on a real window by browser_window_test.
#include <gtest/gtest.h>

#include "BrowserLayout.h"

using namespace browser::layout;

TEST(ResizeRule, NegativeResultsAreSkippedOneByOne) {
    // Narrower than 100 twips: both widths skipped, the height still set.
    ResizeResult narrow = ResizeRule(90.0f, 5130.0f, 540.0f, 675.0f);
    EXPECT_FALSE(narrow.addressBoxWidth);
    EXPECT_FALSE(narrow.browserWidth);
    ASSERT_TRUE(narrow.browserHeight);
    EXPECT_FLOAT_EQ(3815.0f, *narrow.browserHeight);
    // Too low: only the height skipped.
    ResizeResult low = ResizeRule(6540.0f, 1314.0f, 540.0f, 675.0f);
    EXPECT_TRUE(low.addressBoxWidth);
    EXPECT_FALSE(low.browserHeight);
    // Exactly at the edge a length of zero is still a length.
    ResizeResult edge = ResizeRule(100.0f, 1315.0f, 540.0f, 675.0f);
    ASSERT_TRUE(edge.addressBoxWidth && edge.browserHeight);
    EXPECT_EQ(0.0f, *edge.addressBoxWidth);
    EXPECT_EQ(0.0f, *edge.browserHeight);
    // Minimised: an empty client area.
    ResizeResult none = ResizeRule(0.0f, 0.0f, 540.0f, 675.0f);
    EXPECT_FALSE(none.addressBoxWidth || none.browserWidth || none.browserHeight);
}

TEST(ResizeRule, ComputesInSinglePrecision) {
    // 2^24 + 1 twips is not a float: the width is that of 2^24 less 100.
    ResizeResult r = ResizeRule(16777217.0f, 5130.0f, 540.0f, 675.0f);
    ASSERT_TRUE(r.addressBoxWidth);
    EXPECT_EQ(16777216.0f - 100.0f, *r.addressBoxWidth);
}

TEST(Layout, AddressBoxSitsBelowTheLabelAtLeft50) {
    // 45 and 50 twips are the same pixel at 96 dpi: only here do they differ.
    EXPECT_FLOAT_EQ(50.0f, AddressBoxLeft());
    EXPECT_FLOAT_EQ(330.0f, AddressBoxTop(kLabelTop, kLabelHeight));
}

TEST(Layout, TwipsAndPixelsAtOddScreens) {
    EXPECT_FLOAT_EQ(12.0f, TwipsPerPixel(120));
    EXPECT_FLOAT_EQ(15.0f, TwipsPerPixel(0));  // a screen that does not say
    EXPECT_EQ(0, TwipsToPixels(-100.0f, 15.0f));
    EXPECT_EQ(0, TwipsToPixels(100.0f, 0.0f));
    EXPECT_EQ(1000000, TwipsToPixels(1e30f, 15.0f));
}

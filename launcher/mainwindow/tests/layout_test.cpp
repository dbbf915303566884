// The panel's geometry: what lies where, and the display scale.
#include "Layout.h"

#include <gtest/gtest.h>

namespace {

using layout::HitKind;

TEST(Layout, HitTestPrefersBulletsThenHigherHotspots) {
    const layout::Rect region1 = layout::RegionRect(1, 196, 35);  // the install picture
    const struct {
        int x, y;
        HitKind kind;
        int index;
    } cases[] = {
        {20, 160, HitKind::Bullet, 4},
        {32, 160, HitKind::Bullet, 4},  // bullet 4 and hotspot 4 touch here
        {33, 160, HitKind::Region, 4},
        {100, 152, HitKind::Region, 4},  // hotspots 3 and 4 share this row
        {100, 60, HitKind::Region, 1},
        {240, 60, HitKind::Background, 0},  // right of the install picture
        {403, 100, HitKind::None, 0},       // the window's own strip
    };
    for (const auto& c : cases) {
        layout::Hit h = layout::HitTest(c.x, c.y, region1);
        EXPECT_EQ(h.kind, c.kind) << c.x << "," << c.y;
        EXPECT_EQ(h.index, c.index) << c.x << "," << c.y;
    }
}

// The window at a display's scale: size, the design pixel under a scaled
// one (rounded down, also left of the picture), and the picture set.
TEST(Layout, EveryDpiScalesTheWindowAndMapsPointsBack) {
    const struct {
        int dpi, width, height, designOf605, designOfMinus1, art;
    } cases[] = {
        {96, 404, 288, 605, -1, 1},  {120, 505, 360, 484, -1, 2}, {144, 606, 432, 403, -1, 2},
        {168, 707, 504, 345, -1, 2}, {192, 808, 576, 302, -1, 2}, {0, 404, 288, 605, -1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layout::ScaleToDpi(layout::ClientWidth(), c.dpi), c.width) << c.dpi;
        EXPECT_EQ(layout::ScaleToDpi(layout::ClientHeight(), c.dpi), c.height) << c.dpi;
        EXPECT_EQ(layout::DesignFromDpi(605, c.dpi), c.designOf605) << c.dpi;
        EXPECT_EQ(layout::DesignFromDpi(-1, c.dpi), c.designOfMinus1) << c.dpi;
        EXPECT_EQ(layout::ArtScaleForDpi(c.dpi), c.art) << c.dpi;
    }
}

// The keyboard's order is the panel's from top to bottom: 1 2 3 4 6 7 5.
TEST(Layout, KeysStepThroughThePanelInItsOrderAndWrap) {
    const int cases[][3] = {  // lit (-1, 0: none), step, lit after
        {0, +1, 1}, {-1, -1, 5}, {4, +1, 6}, {6, +1, 7}, {7, +1, 5}, {5, +1, 1},
        {1, -1, 5}, {6, -1, 4},  {5, -1, 7}, {8, +1, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(layout::NextInPanelOrder(c[0], c[1]), c[2]) << c[0];
    EXPECT_EQ(layout::FirstInPanelOrder(), 1);
    EXPECT_EQ(layout::LastInPanelOrder(), 5);
}

}  // namespace

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

TEST(Layout, WholeNumberScales) {
    // 150 %: drawn 1:1, never blurred.
    const int cases[][2] = {{96, 1}, {144, 1}, {191, 1}, {192, 2}, {288, 3}, {0, 1}};
    for (const auto& c : cases) EXPECT_EQ(layout::ScaleForDpi(c[0]), c[1]) << c[0];
}

}  // namespace

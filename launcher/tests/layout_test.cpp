// The panel's geometry: the table's twips in pixels, what lies where, and
// the display scale.
#include <gtest/gtest.h>

#include "Layout.h"

namespace {

TEST(Layout, ControlsSitWhereTheTablePutsThem) {
    EXPECT_EQ(layout::ClientWidth(), 404);
    EXPECT_EQ(layout::ClientHeight(), 288);
    layout::Rect p = layout::Picture2Rect();
    EXPECT_EQ(p.width, 403);
    EXPECT_EQ(p.height, 289);
    const int bulletTops[8] = {0, 52, 92, 122, 153, 243, 184, 213};
    for (int k = 1; k <= 7; ++k) {
        layout::Rect b = layout::BulletRect(k);
        EXPECT_EQ(b.left, 16);
        EXPECT_EQ(b.top, bulletTops[k]) << k;
        EXPECT_EQ(b.width, 17);
        EXPECT_EQ(b.height, 25);
    }
    // Hotspots 2 to 7: left, top, width, height in pixels (top to bottom
    // the buttons stand 1, 2, 3, 4, 6, 7, 5).
    const int regions[8][4] = {{},
                               {},
                               {32, 88, 177, 33},
                               {32, 120, 289, 33},
                               {32, 152, 217, 25},
                               {32, 240, 57, 25},
                               {32, 184, 265, 25},
                               {32, 208, 329, 33}};
    layout::Rect r;
    for (int k = 2; k <= 7; ++k) {
        r = layout::RegionRect(k, 0, 0);
        EXPECT_EQ(r.left, regions[k][0]) << k;
        EXPECT_EQ(r.top, regions[k][1]) << k;
        EXPECT_EQ(r.width, regions[k][2]) << k;
        EXPECT_EQ(r.height, regions[k][3]) << k;
    }
    // Button 1's hotspot takes the size of its picture.
    r = layout::RegionRect(1, 166, 34);
    EXPECT_EQ(r.left, 37);
    EXPECT_EQ(r.top, 48);
    EXPECT_EQ(r.width, 166);
    EXPECT_EQ(r.height, 34);
}

TEST(Layout, HitTestPrefersBulletsThenHigherHotspots) {
    layout::Rect r1 = layout::RegionRect(1, 196, 35);
    layout::Hit h = layout::HitTest(20, 160, r1);
    EXPECT_EQ(h.kind, layout::HitKind::Bullet);
    EXPECT_EQ(h.index, 4);
    h = layout::HitTest(32, 160, r1);  // bullet 4 and hotspot 4 touch here
    EXPECT_EQ(h.kind, layout::HitKind::Bullet);
    h = layout::HitTest(100, 160, r1);
    EXPECT_EQ(h.kind, layout::HitKind::Region);
    EXPECT_EQ(h.index, 4);
    h = layout::HitTest(100, 152, r1);  // hotspots 3 and 4 share this row
    EXPECT_EQ(h.index, 4);
    h = layout::HitTest(100, 60, r1);
    EXPECT_EQ(h.index, 1);
    h = layout::HitTest(240, 60, r1);  // right of the install picture
    EXPECT_EQ(h.kind, layout::HitKind::Background);
    h = layout::HitTest(403, 100, r1);  // the window's own strip
    EXPECT_EQ(h.kind, layout::HitKind::None);
}

TEST(Layout, WholeNumberScales) {
    EXPECT_EQ(layout::ScaleForDpi(96), 1);
    EXPECT_EQ(layout::ScaleForDpi(144), 1);  // 150 %: drawn 1:1, never blurred
    EXPECT_EQ(layout::ScaleForDpi(192), 2);
    EXPECT_EQ(layout::ScaleForDpi(288), 3);
    EXPECT_EQ(layout::ScaleForDpi(0), 1);
}

}  // namespace

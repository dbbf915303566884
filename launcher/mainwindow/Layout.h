// Where the main window's controls sit: the panel table in twips, its
// pixel rectangles, hit-testing and the display scale. Plain C++.
#pragma once

namespace layout {

constexpr int kTwipsPerPixel = 15;
constexpr int kButtonCount = 7;

// Pixels for a design length in twips, rounded to the nearest pixel.
int TwipsToPixels(int twips);

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool Contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
};

// One row of the button panel, as designed (twips).
struct PanelButton {
    int regionLeft, regionTop, regionWidth, regionHeight;
    int bulletTop;
    const char* regionTip;
    const char* bulletTip;
};

// Indexed 1 to 7 (entry 0 unused), as the MyButton/ButtonRegion arrays.
extern const PanelButton kButtons[kButtonCount + 1];

// Bullets: left 240, width 255, height 375 twips.
constexpr int kBulletLeftTwips = 240, kBulletWidthTwips = 255, kBulletHeightTwips = 375;
// Client area 6060 x 4320 twips; the background picture box 6045 x 4335.
constexpr int kClientWidthTwips = 6060, kClientHeightTwips = 4320;
constexpr int kPicture2WidthTwips = 6045, kPicture2HeightTwips = 4335;

int ClientWidth();   // 404
int ClientHeight();  // 288
Rect Picture2Rect(); // 0, 0, 403, 289
Rect BulletRect(int index);
// Hotspot of button index; button 1's takes the size of the picture it shows.
Rect RegionRect(int index, int pictureWidth, int pictureHeight);

// What lies under a point of the client area (design pixels). Bullets are
// windows above the hotspots; among overlapping hotspots the higher index
// lies on top.
enum class HitKind { None, Bullet, Region, Background };
struct Hit {
    HitKind kind = HitKind::None;
    int index = 0;
};
Hit HitTest(int x, int y, const Rect& region1);

// The window grows with its display: a design length in pixels (at 96 DPI)
// at dpi, rounded to the nearest pixel; and back, the design pixel that
// holds a scaled pixel. A dpi of 0 or less counts as 96.
int ScaleToDpi(int designPixels, int dpi);
int DesignFromDpi(int scaledPixels, int dpi);
// Which set of pictures a display draws from: the design-size set (1) at
// 96 DPI and below, the double-size set (2) above, reduced or enlarged to
// the window with a smoothing filter where the scale is not exactly 2.
int ArtScaleForDpi(int dpi);

// The button that the keyboard lights after `lit` (1..kButtonCount, or
// anything else for none) in the panel's top-to-bottom order 1, 2, 3, 4,
// 6, 7, 5: step +1 the next, -1 the previous, wrapping at either end. With
// none lit, +1 gives the first (1) and -1 the last (5).
int NextInPanelOrder(int lit, int step);
// The first and last buttons of that order.
int FirstInPanelOrder();
int LastInPanelOrder();

}  // namespace layout

// The panel table and its geometry (see Layout.h).
#include "Layout.h"

namespace layout {

// The drawn pictures' captions, bullets and button 1's pictures stand on
// these hotspots (tools/disc/artwork-places, held against this table by
// tools/disc/tests/artwork-tie-test); tools/disc/disc-project reads the table.
const PanelButton kButtons[kButtonCount + 1] = {
    {0, 0, 0, 0, 0, "", ""},
    {555, 720, 2655, 495, 780, "Click now to launch Kestrix Basic", "Run"},
    {480, 1320, 2655, 495, 1380, "Click now to install DirectX",
     "Click now to view our catalogue"},
    {480, 1800, 4335, 495, 1830, "Click now to install Internet Explorer",
     "Click now to view our Website"},
    {480, 2280, 3255, 375, 2300,
     "Click now to Install BRENVIK's Solvane Client to keep your PC Healthy",
     "Click now to Install BRENVIK's Solvane Client to keep your PC Healthy"},
    {480, 3600, 855, 375, 3650, "Click now to exit", "Click now to exit"},
    {480, 2760, 3975, 375, 2760, "Click now to view the Kestrix Basic Website",
     "Click now to Install BRENVIK's Solvane Client to keep your PC Healthy"},
    {480, 3120, 4935, 495, 3200, "Click now to view the Penwick Leisure website",
     "Click now to Install BRENVIK's Solvane Client to keep your PC Healthy"},
};

int TwipsToPixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

int ClientWidth() { return TwipsToPixels(kClientWidthTwips); }
int ClientHeight() { return TwipsToPixels(kClientHeightTwips); }

Rect Picture2Rect() {
    Rect r;
    r.width = TwipsToPixels(kPicture2WidthTwips);
    r.height = TwipsToPixels(kPicture2HeightTwips);
    return r;
}

Rect BulletRect(int index) {
    Rect r;
    if (index < 1 || index > kButtonCount) return r;
    r.left = TwipsToPixels(kBulletLeftTwips);
    r.top = TwipsToPixels(kButtons[index].bulletTop);
    r.width = TwipsToPixels(kBulletWidthTwips);
    r.height = TwipsToPixels(kBulletHeightTwips);
    return r;
}

Rect RegionRect(int index, int pictureWidth, int pictureHeight) {
    Rect r;
    if (index < 1 || index > kButtonCount) return r;
    const PanelButton& b = kButtons[index];
    r.left = TwipsToPixels(b.regionLeft);
    r.top = TwipsToPixels(b.regionTop);
    if (index == 1) {
        r.width = pictureWidth;
        r.height = pictureHeight;
    } else {
        r.width = TwipsToPixels(b.regionWidth);
        r.height = TwipsToPixels(b.regionHeight);
    }
    return r;
}

Hit HitTest(int x, int y, const Rect& region1) {
    Hit hit;
    for (int k = 1; k <= kButtonCount; ++k) {
        if (BulletRect(k).Contains(x, y)) {
            hit.kind = HitKind::Bullet;
            hit.index = k;
            return hit;
        }
    }
    for (int k = kButtonCount; k >= 1; --k) {
        Rect r = k == 1 ? region1 : RegionRect(k, 0, 0);
        if (r.Contains(x, y)) {
            hit.kind = HitKind::Region;
            hit.index = k;
            return hit;
        }
    }
    if (Picture2Rect().Contains(x, y)) hit.kind = HitKind::Background;
    return hit;
}

int ScaleToDpi(int designPixels, int dpi) {
    if (dpi <= 0) dpi = 96;
    long long v = static_cast<long long>(designPixels) * dpi;
    return static_cast<int>(v >= 0 ? (v + 48) / 96 : -((-v + 48) / 96));
}

int DesignFromDpi(int scaledPixels, int dpi) {
    if (dpi <= 0) dpi = 96;
    long long v = static_cast<long long>(scaledPixels) * 96;
    // Rounded down, also below zero, so that no pixel left of or above the
    // picture maps into it.
    return static_cast<int>(v >= 0 ? v / dpi : -((-v + dpi - 1) / dpi));
}

int ArtScaleForDpi(int dpi) { return dpi > 96 ? 2 : 1; }

namespace {
const int kPanelOrder[kButtonCount] = {1, 2, 3, 4, 6, 7, 5};
}

int NextInPanelOrder(int lit, int step) {
    int at = -1;
    for (int i = 0; i < kButtonCount; ++i)
        if (kPanelOrder[i] == lit) at = i;
    if (at < 0) return step > 0 ? FirstInPanelOrder() : LastInPanelOrder();
    return kPanelOrder[(at + (step > 0 ? 1 : kButtonCount - 1)) % kButtonCount];
}

int FirstInPanelOrder() { return kPanelOrder[0]; }
int LastInPanelOrder() { return kPanelOrder[kButtonCount - 1]; }

}  // namespace layout

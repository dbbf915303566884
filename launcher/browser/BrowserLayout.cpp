// Geometry rules of the browser window (see BrowserLayout.h).
#include "BrowserLayout.h"

#include <cmath>

namespace browser {
namespace layout {

namespace {

// A control cannot take a negative length: that step is skipped.
std::optional<float> Length(float value) {
    if (!(value >= 0.0f)) return std::nullopt;  // also rejects NaN
    return value;
}

}  // namespace

ResizeResult ResizeRule(float scaleWidth, float scaleHeight, float addressStripTop,
                        float addressStripHeight) {
    ResizeResult r;
    r.addressBoxWidth = Length(scaleWidth - 100.0f);
    r.browserWidth = Length(scaleWidth - 100.0f);
    r.browserHeight = Length(scaleHeight - (addressStripTop + addressStripHeight) - 100.0f);
    return r;
}

float AddressBoxLeft() {
    return 50.0f;
}

float AddressBoxTop(float labelTop, float labelHeight) {
    return labelTop + labelHeight + 15.0f;
}

float TwipsPerPixel(int dpi) {
    if (dpi <= 0) dpi = 96;
    return 1440.0f / static_cast<float>(dpi);
}

int TwipsToPixels(float twips, float twipsPerPixel) {
    if (!(twips > 0.0f) || !(twipsPerPixel > 0.0f)) return 0;
    float pixels = std::floor(twips / twipsPerPixel + 0.5f);
    if (pixels > 1000000.0f) return 1000000;  // far beyond any screen
    return static_cast<int>(pixels);
}

float PixelsToTwips(int pixels, float twipsPerPixel) {
    return static_cast<float>(pixels) * twipsPerPixel;
}

Spot CascadePosition(const Spot* last, Spot design, int width, int height, int step,
                     const Area& work) {
    if (!last) return design;
    Spot next = {last->x + step, last->y + step};
    if (next.x < work.left || next.y < work.top || next.x + width > work.right ||
        next.y + height > work.bottom)
        return design;
    return next;
}

}  // namespace layout
}  // namespace browser

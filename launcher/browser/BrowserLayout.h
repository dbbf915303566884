// Geometry rules of the browser window, in twips and single precision, kept
// apart from the window so that they can be checked without one.
#pragma once

#include <optional>

namespace browser {
namespace layout {

// Design values of the window and its controls, in twips.
constexpr float kDesignClientWidth = 6540.0f;
constexpr float kDesignClientHeight = 5130.0f;
constexpr float kDesignLeft = 3060.0f;
constexpr float kDesignTop = 3345.0f;
constexpr float kToolBarHeight = 540.0f;
constexpr float kAddressStripTop = 540.0f;
constexpr float kAddressStripHeight = 675.0f;
constexpr float kLabelLeft = 45.0f, kLabelTop = 60.0f, kLabelWidth = 3075.0f, kLabelHeight = 255.0f;
constexpr float kComboLeft = 45.0f, kComboTop = 300.0f, kComboWidth = 3795.0f,
                kComboHeight = 315.0f;
constexpr float kBrowserLeft = 50.0f, kBrowserTop = 1215.0f, kBrowserWidth = 5393.0f,
                kBrowserHeight = 3734.0f;

// What the resize rule sets; an empty field is a step that failed (its
// result was negative) and was skipped.
struct ResizeResult {
    std::optional<float> addressBoxWidth;
    std::optional<float> browserWidth;
    std::optional<float> browserHeight;
};

// The resize rule: the address box and the browser take the form's scale
// width less 100; the browser takes the height below the address strip less
// 100.
ResizeResult ResizeRule(float scaleWidth, float scaleHeight, float addressStripTop,
                        float addressStripHeight);

// Where Form_Load puts the address box: left 50, just below the label.
float AddressBoxLeft();
float AddressBoxTop(float labelTop, float labelHeight);

// Twips per pixel for a screen of dpi dots per inch (15 at 96 dpi).
float TwipsPerPixel(int dpi);
// Nearest whole pixel of a length in twips (never below zero), and back.
int TwipsToPixels(float twips, float twipsPerPixel);
float PixelsToTwips(int pixels, float twipsPerPixel);

// Where a new browser window opens, in screen pixels. The first opens at
// the design position; each further one is offset by step (the caption
// height) right and down from the last one opened, and starts again at the
// design position when it would not fit inside the work area.
struct Spot {
    int x, y;
};
struct Area {
    int left, top, right, bottom;
};
Spot CascadePosition(const Spot* last, Spot design, int width, int height, int step,
                     const Area& work);

}  // namespace layout
}  // namespace browser

// frmBrowser's geometry: the resize rule, the bars docked to the top, and
// the display scale (twips per pixel, font, the window's size at a DPI).
// Lengths are kept in twips and placed in pixels of the window's display.
#include "BrowserForm.h"
#include "BrowserLayout.h"
#include "Dpi.h"
#include "Scoped.h"

namespace browser {

void FrmBrowser::Form_Resize() {
    if (!hwnd_) return;
    layout::ResizeResult r =
        layout::ResizeRule(ScaleWidth(), ScaleHeight(), picRect_.top, picRect_.height);
    if (r.addressBoxWidth) {
        cboRect_.width = *r.addressBoxWidth;
        MoveAddressBox();
    }
    if (r.browserWidth) {
        brwRect_.width = *r.browserWidth;
        MoveBrowser();
    }
    if (r.browserHeight) {
        brwRect_.height = *r.browserHeight;
        MoveBrowser();
    }
}

// Moved to a display of another scale: the controls first, then the window,
// at the place the system suggests, with a client area as large in twips as
// before. A minimised or maximised window takes the rectangle suggested.
void FrmBrowser::Form_DpiChanged(int dpi, const RECT* suggested) {
    const float width = ScaleWidth(), height = ScaleHeight();
    ApplyDpi(dpi);
    if (!IsIconic(hwnd_) && !IsZoomed(hwnd_) && width > 0.0f && height > 0.0f)
        display::FitClient(hwnd_, Pixels(width), Pixels(height), dpi, suggested);
    else if (suggested)
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

// Before the window is first shown, as the main window: the scale of the
// monitor it opened on, and the design client area at that scale.
void FrmBrowser::FitToMonitor() {
    const int dpi = display::WindowDpi(hwnd_);
    ApplyDpi(dpi);
    display::FitClient(hwnd_, Pixels(layout::kDesignClientWidth),
                       Pixels(layout::kDesignClientHeight), dpi, nullptr);
}

void FrmBrowser::ApplyDpi(int dpi) {
    if (dpi <= 0) return;
    const int before = display::SystemDpi();
    twipsPerPixel_ = layout::TwipsPerPixel(dpi);
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (before > 0 && SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        ncm.lfMessageFont.lfHeight = MulDiv(ncm.lfMessageFont.lfHeight, dpi, before);
        scoped::GdiObject font(CreateFontIndirectA(&ncm.lfMessageFont));
        if (font) {
            for (HWND control : {lblAddress, cboAddress})
                if (control)
                    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
            font_ = std::move(font);
        }
    }
    if (lblAddress)
        SetWindowPos(lblAddress, nullptr, Pixels(layout::kLabelLeft), Pixels(layout::kLabelTop),
                     Pixels(layout::kLabelWidth), Pixels(layout::kLabelHeight),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FrmBrowser::MoveBrowser() {
    int left = Pixels(brwRect_.left);
    int top = Pixels(brwRect_.top);
    RECT rc = {left, top, left + Pixels(brwRect_.width), top + Pixels(brwRect_.height)};
    return SUCCEEDED(brwWebBrowser->SetRect(rc));
}

// The toolbar and the address strip keep the full width of the window, one
// above the other at the top.
void FrmBrowser::DockBars() {
    RECT client = {};
    if (!GetClientRect(hwnd_, &client) || client.right <= 0) return;
    picRect_.width = layout::PixelsToTwips(client.right, twipsPerPixel_);
    if (tbToolBar)
        SetWindowPos(tbToolBar, nullptr, 0, 0, client.right, Pixels(layout::kToolBarHeight),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    if (picAddress)
        SetWindowPos(picAddress, nullptr, 0, Pixels(picRect_.top), client.right,
                     Pixels(picRect_.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

float FrmBrowser::ScaleWidth() const {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    return layout::PixelsToTwips(client.right, twipsPerPixel_);
}

float FrmBrowser::ScaleHeight() const {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    return layout::PixelsToTwips(client.bottom, twipsPerPixel_);
}

int FrmBrowser::Pixels(float twips) const {
    return layout::TwipsToPixels(twips, twipsPerPixel_);
}

}  // namespace browser

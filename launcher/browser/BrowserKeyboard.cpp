// frmBrowser's keyboard: the window sees keyboard messages before they are
// dispatched (the launcher's message loop asks it), like a dialog: Alt and
// the label's letter, Tab round the address box and the page, and the
// accelerators of the page's engine.
#include <cctype>

#include "BrowserForm.h"

namespace browser {

namespace {

// The letter after the first single '&' of a caption, upper case; 0 if none.
int MnemonicOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(caption[i + 1]));
    }
    return 0;
}

}  // namespace

bool IsSelfOrChild(HWND parent, HWND hwnd) {
    return parent && hwnd && (parent == hwnd || IsChild(parent, hwnd));
}

bool FrmBrowser::PreTranslate(MSG* msg) {
    if (!msg || !msg->hwnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    FrmBrowser* self = FromWindow(GetAncestor(msg->hwnd, GA_ROOT));
    if (!self || self->windowGone_) return false;
    CallScope scope(self);
    try {
        return self->PreTranslateMessage(msg);
    } catch (...) {
        return false;
    }
}

bool FrmBrowser::PreTranslateMessage(MSG* msg) {
    // Alt + the label's letter: to the address box.
    if (msg->message == WM_SYSKEYDOWN && lblAddress && GetKeyState(VK_CONTROL) >= 0) {
        int letter = MnemonicOf(WindowText(lblAddress));
        if (letter && static_cast<int>(msg->wParam) == letter) {
            FocusAddressBox();
            return true;
        }
    }
    HWND view = brwWebBrowser ? brwWebBrowser->Window() : nullptr;
    if (IsSelfOrChild(view, msg->hwnd) && brwWebBrowser->TranslateAccelerator(msg) == S_OK)
        return true;
    // Tab and Shift+Tab go round the address box and the page.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        if (IsSelfOrChild(cboAddress, msg->hwnd) && view) {
            brwWebBrowser->Focus();
        } else {
            FocusAddressBox();
        }
        return true;
    }
    return false;
}

}  // namespace browser

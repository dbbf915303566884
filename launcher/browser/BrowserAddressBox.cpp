// cboAddress, the browser window's address box: a drop-down combo box whose
// list is the window's history, and whose edit field is subclassed so that
// Enter reaches cboAddress_KeyPress (see BrowserForm.h).
#include "BrowserForm.h"
#include "BrowserResources.h"

namespace browser {

namespace {

const char kDesignComboText[] = "Combo1";
// The combo box window includes its drop-down list.
const int kDroppedListHeight = 200;  // pixels
// Our subclass of the edit field, among any others it may have.
const UINT_PTR kEditSubclassId = 1;

}  // namespace

bool FrmBrowser::CreateAddressBox(HINSTANCE instance, HGDIOBJ font) {
    cboAddress = CreateWindowExA(
        0, "COMBOBOX", "",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        Pixels(cboRect_.left), Pixels(cboRect_.top), Pixels(cboRect_.width), kDroppedListHeight,
        picAddress, reinterpret_cast<HMENU>(ids::kAddressBox), instance, nullptr);
    if (!cboAddress) return false;
    SendMessageA(cboAddress, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowTextA(cboAddress, kDesignComboText);
    if (HWND edit = GetWindow(cboAddress, GW_CHILD))
        SetWindowSubclass(edit, AddressEditProc, kEditSubclassId,
                          reinterpret_cast<DWORD_PTR>(this));
    return true;
}

// Called while the window is destroyed, before its children go: the edit
// field calls into this object no more.
void FrmBrowser::ReleaseAddressBox() {
    if (HWND edit = cboAddress ? GetWindow(cboAddress, GW_CHILD) : nullptr)
        RemoveWindowSubclass(edit, AddressEditProc, kEditSubclassId);
}

// The address box's edit field: Enter raises cboAddress_KeyPress before the
// box sees the character (the box still gets it). With the list open, Enter
// first chooses the highlighted entry, which navigates through the box's own
// Click; only when it chose none does the typed text go out.
LRESULT CALLBACK FrmBrowser::AddressEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<FrmBrowser*>(data);
    if (!self || self->windowGone_) return DefSubclassProc(hwnd, msg, wParam, lParam);
    CallScope scope(self);
    try {
        if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
            self->listChoiceNavigated_ = false;
            self->listOpenAtEnter_ = SendMessageA(self->cboAddress, CB_GETDROPPEDSTATE, 0, 0) != 0;
        } else if (msg == WM_CHAR && wParam == 13 && self->listOpenAtEnter_) {
            // The list closes on the key-down or on this character, as the
            // system has it; either way the choice is known afterwards.
            self->listOpenAtEnter_ = false;
            LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
            bool chosen = self->listChoiceNavigated_;
            self->listChoiceNavigated_ = false;
            if (!chosen && !self->windowGone_) self->cboAddress_KeyPress(13);
            return result;
        } else if (msg == WM_CHAR) {
            self->cboAddress_KeyPress(static_cast<int>(wParam));
            if (!IsWindow(hwnd)) return 0;
        }
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// --- event handlers ----------------------------------------------------------

void FrmBrowser::cboAddress_Click() {
    if (mbListUpdating) return;
    SetTimerEnabled(true);
    brwWebBrowser->Navigate(AddressText());
}

void FrmBrowser::cboAddress_KeyPress(int keyAscii) {
    if (keyAscii == 13) cboAddress_Click();
}

// A list entry was chosen: the box shows it, then Click.
void FrmBrowser::cboAddress_ListChoice() {
    int index = static_cast<int>(SendMessageA(cboAddress, CB_GETCURSEL, 0, 0));
    if (index < 0) return;
    SetAddressText(AddressListItem(index));
    listChoiceNavigated_ = true;
    cboAddress_Click();
}

// --- properties ----------------------------------------------------------------

std::string FrmBrowser::AddressText() const {
    return cboAddress ? WindowText(cboAddress) : "";
}

void FrmBrowser::SetAddressText(const std::string& text) {
    if (cboAddress) SetWindowTextA(cboAddress, text.c_str());
}

int FrmBrowser::AddressListCount() const {
    if (!cboAddress) return 0;
    LRESULT n = SendMessageA(cboAddress, CB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<int>(n) : 0;
}

std::string FrmBrowser::AddressListItem(int index) const {
    if (!cboAddress) return std::string();
    LRESULT length = SendMessageA(cboAddress, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(cboAddress, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

bool FrmBrowser::AddressAddItem(const std::string& text, int index) {
    if (!cboAddress) return false;
    LRESULT r = index < 0 ? SendMessageA(cboAddress, CB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(text.c_str()))
                          : SendMessageA(cboAddress, CB_INSERTSTRING, index,
                                         reinterpret_cast<LPARAM>(text.c_str()));
    return r >= 0;
}

bool FrmBrowser::AddressRemoveItem(int index) {
    return cboAddress && SendMessageA(cboAddress, CB_DELETESTRING, index, 0) != CB_ERR;
}

// Setting the list index shows that entry and raises the box's Click, as a
// choice by the user would.
bool FrmBrowser::SetAddressListIndex(int index) {
    if (!cboAddress || SendMessageA(cboAddress, CB_SETCURSEL, index, 0) == CB_ERR) return false;
    cboAddress_Click();
    return true;
}

bool FrmBrowser::MoveAddressBox() {
    if (!cboAddress) return false;
    return SetWindowPos(cboAddress, nullptr, Pixels(cboRect_.left), Pixels(cboRect_.top),
                        Pixels(cboRect_.width), kDroppedListHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void FrmBrowser::FocusAddressBox() {
    if (!cboAddress) return;
    SetFocus(cboAddress);
    SendMessageA(cboAddress, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

}  // namespace browser

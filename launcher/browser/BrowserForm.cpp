// frmBrowser: window, controls and event handlers of the launcher's browser
// window. Handlers skip a step that fails and go on; nothing is ever shown
// to the user about a failure.
#include "BrowserForm.h"

#include "BrowserLayout.h"
#include "BrowserResources.h"
#include "BrowserToolBar.h"
#include "BrowserWindowList.h"
#include "Dpi.h"
#include "IcoFile.h"
#include "ResourceBytes.h"
#include "Scoped.h"

namespace browser {

namespace {

const char kFormClass[] = "WexaBrowserForm";
const char kStripClass[] = "WexaBrowserAddressStrip";
const char kLabelCaption[] = "&Address:";
const char kWorking[] = "Working...";
using Icon = scoped::Unique<scoped::NullTraits<HICON, BOOL, ::DestroyIcon>>;

// The window's icon, large or small, made from the .ico file in the
// resources. Made once; the window class keeps it for the process's life.
HICON WindowIcon(HINSTANCE instance, bool smallIcon) {
    static Icon icons[2];
    Icon& icon = icons[smallIcon ? 1 : 0];
    if (icon) return icon.get();
    const resbytes::Bytes ico = resbytes::Of(
        instance, FindResourceA(instance, MAKEINTRESOURCEA(IDR_FRMBROWSER_ICON), RT_RCDATA));
    int cx = GetSystemMetrics(smallIcon ? SM_CXSMICON : SM_CXICON);
    int cy = GetSystemMetrics(smallIcon ? SM_CYSMICON : SM_CYICON);
    ico::Image image;
    if (!ico.data || !ico::PickImage(ico.data, ico.size, cx, cy, &image)) return nullptr;
    icon.reset(CreateIconFromResourceEx(const_cast<PBYTE>(ico.data + image.offset),
                                        static_cast<DWORD>(image.size), TRUE, 0x00030000, cx, cy,
                                        LR_DEFAULTCOLOR));
    return icon.get();
}

bool RegisterClasses(HINSTANCE instance, WNDPROC formProc, WNDPROC stripProc) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExA(instance, kFormClass, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = formProc;
        wc.hInstance = instance;
        wc.hIcon = WindowIcon(instance, false);
        wc.hIconSm = WindowIcon(instance, true);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kFormClass;
        if (!RegisterClassExA(&wc)) return false;
    }
    WNDCLASSA strip = {};
    if (!GetClassInfoA(instance, kStripClass, &strip)) {
        strip = {};
        strip.lpfnWndProc = stripProc;
        strip.hInstance = instance;
        strip.hCursor = LoadCursor(nullptr, IDC_ARROW);
        strip.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        strip.lpszClassName = kStripClass;
        if (!RegisterClassA(&strip)) return false;
    }
    return true;
}

}  // namespace

FrmBrowser::FrmBrowser(std::unique_ptr<Engine> engine, const std::string& startingAddress)
    : brwWebBrowser(std::move(engine)), StartingAddress(startingAddress) {
    using namespace layout;
    cboRect_ = {kComboLeft, kComboTop, kComboWidth, kComboHeight};
    brwRect_ = {kBrowserLeft, kBrowserTop, kBrowserWidth, kBrowserHeight};
    picRect_ = {0.0f, kAddressStripTop, kDesignClientWidth, kAddressStripHeight};
}

FrmBrowser::~FrmBrowser() {
    if (brwWebBrowser) brwWebBrowser->Close();
}

HWND FrmBrowser::Open(HINSTANCE instance, const std::string& startingAddress,
                      std::unique_ptr<Engine> engine) {
    try {
        if (!engine) return nullptr;
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        if (!RegisterClasses(instance, WndProc, StripProc)) return nullptr;

        std::unique_ptr<FrmBrowser> form(new FrmBrowser(std::move(engine), startingAddress));
        const int systemDpi = display::SystemDpi();
        form->twipsPerPixel_ = layout::TwipsPerPixel(systemDpi);
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        const DWORD exStyle = WS_EX_CONTROLPARENT;
        const int clientWidth = form->Pixels(layout::kDesignClientWidth),
                  clientHeight = form->Pixels(layout::kDesignClientHeight);
        const SIZE outer =
            display::OuterSize(clientWidth, clientHeight, systemDpi, style, exStyle, false);
        layout::Spot at = windowlist::CascadeSpot(
            {form->Pixels(layout::kDesignLeft), form->Pixels(layout::kDesignTop)}, outer.cx,
            outer.cy);
        HWND hwnd =
            CreateWindowExA(exStyle, kFormClass, "", style, at.x, at.y, outer.cx, outer.cy,
                            windowlist::HiddenOwner(instance), nullptr, instance, form.get());
        if (!hwnd) return nullptr;  // the window never took the object: form deletes it
        FrmBrowser* self = form.release();
        self->ownedByWindow_ = true;
        self->FitToMonitor();
        windowlist::Add(hwnd);
        {
            CallScope scope(self);
            self->Form_Load();  // which shows the window first
        }
        return IsWindow(hwnd) ? hwnd : nullptr;
    } catch (...) {
        return nullptr;
    }
}

FrmBrowser* FrmBrowser::FromWindow(HWND hwnd) {
    if (!hwnd) return nullptr;
    char cls[64] = {};
    if (!GetClassNameA(hwnd, cls, sizeof(cls)) || lstrcmpA(cls, kFormClass) != 0) return nullptr;
    return reinterpret_cast<FrmBrowser*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

std::vector<HWND> FrmBrowser::OpenWindows() {
    return windowlist::Loaded();
}

// --- window procedures -------------------------------------------------------

LRESULT CALLBACK FrmBrowser::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    FrmBrowser* self = nullptr;
    if (msg == WM_NCCREATE) {
        // Only Open creates windows of this class, always with their object.
        self = static_cast<FrmBrowser*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (!self) return FALSE;
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<FrmBrowser*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    CallScope scope(self);
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// The address strip passes its children's notifications on to the form, and
// paints its label in the strip's own colours.
LRESULT CALLBACK FrmBrowser::StripProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT FrmBrowser::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return CreateControls() ? 0 : -1;
        case WM_SIZE:
            DockBars();
            Form_Resize();
            return 0;
        case display::kWmDpiChanged:
            Form_DpiChanged(display::NewDpi(wParam), display::SuggestedRect(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == ids::kTimTimer) {
                if (timTimerEnabled_) timTimer_Timer();
                return 0;
            }
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == ids::kAddressBox && HIWORD(wParam) == CBN_SELENDOK) {
                cboAddress_ListChoice();
                return 0;
            }
            if (const char* key = toolbar::ClickedKey(tbToolBar, wParam, lParam)) {
                tbToolBar_ButtonClick(key);
                return 0;
            }
            break;
        case WM_NOTIFY:
            if (toolbar::AnswerTooltip(lParam)) return 0;
            break;
        case WM_ACTIVATE:
            // Like a dialog: the focus comes back to where it was.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (IsSelfOrChild(hwnd_, focus) && focus != hwnd_) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_))
                    SetFocus(lastFocus_);
                else
                    FocusAddressBox();
                return 0;
            }
            break;
        case WM_DESTROY: {
            SetTimerEnabled(false);
            // The control goes first, while its parent windows still exist.
            if (brwWebBrowser) brwWebBrowser->Close();
            windowlist::Remove(hwnd_);
            ReleaseAddressBox();
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            windowGone_ = true;
            {
                HWND hwnd = hwnd_;
                hwnd_ = nullptr;
                return DefWindowProcA(hwnd, msg, wParam, lParam);
            }
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

// --- construction ------------------------------------------------------------

bool FrmBrowser::CreateControls() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        font_.reset(CreateFontIndirectA(&ncm.lfMessageFont));
    HGDIOBJ font = font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT);

    // picAddress: the strip that carries the address label and box.
    picAddress =
        CreateWindowExA(WS_EX_CONTROLPARENT, kStripClass, "",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, Pixels(picRect_.left),
                        Pixels(picRect_.top), Pixels(picRect_.width), Pixels(picRect_.height),
                        hwnd_, reinterpret_cast<HMENU>(ids::kAddressStrip), instance, nullptr);
    if (!picAddress) return false;

    if (!CreateAddressBox(instance, font)) return false;

    lblAddress = CreateWindowExA(
        0, "STATIC", kLabelCaption, WS_CHILD | WS_VISIBLE | SS_LEFT, Pixels(layout::kLabelLeft),
        Pixels(layout::kLabelTop), Pixels(layout::kLabelWidth), Pixels(layout::kLabelHeight),
        picAddress, reinterpret_cast<HMENU>(ids::kAddressLabel), instance, nullptr);
    if (lblAddress) SendMessageA(lblAddress, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    tbToolBar = toolbar::Create(hwnd_, Pixels(layout::kDesignClientWidth),
                                Pixels(layout::kToolBarHeight), imlToolbarIcons);

    RECT rc = {Pixels(brwRect_.left), Pixels(brwRect_.top),
               Pixels(brwRect_.left) + Pixels(brwRect_.width),
               Pixels(brwRect_.top) + Pixels(brwRect_.height)};
    // Without its engine the window still opens; every engine step then fails.
    brwWebBrowser->Create(hwnd_, rc, this);
    return true;
}

// --- event handlers ----------------------------------------------------------

void FrmBrowser::Form_Load() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    if (tbToolBar) {
        InvalidateRect(tbToolBar, nullptr, TRUE);
        UpdateWindow(tbToolBar);
    }
    Form_Resize();
    cboRect_.left = layout::AddressBoxLeft();
    cboRect_.top = layout::AddressBoxTop(layout::kLabelTop, layout::kLabelHeight);
    MoveAddressBox();

    if (StartingAddress.empty()) return;
    SetAddressText(StartingAddress);
    AddressAddItem(StartingAddress);
    SetTimerEnabled(true);
    brwWebBrowser->Navigate(StartingAddress);
}

void FrmBrowser::tbToolBar_ButtonClick(const std::string& key) {
    SetTimerEnabled(true);
    if (key == "Back") {
        brwWebBrowser->GoBack();
    } else if (key == "Forward") {
        brwWebBrowser->GoForward();
    } else if (key == "Refresh") {
        brwWebBrowser->Refresh();
    } else if (key == "Home") {
        brwWebBrowser->GoHome();
    } else if (key == "Search") {
        brwWebBrowser->GoSearch();
    } else if (key == "Stop") {
        SetTimerEnabled(false);
        brwWebBrowser->Stop();
        SetCaptionToLocationName();
    }
}

void FrmBrowser::timTimer_Timer() {
    bool busy = false;
    // An engine that cannot say counts as idle, so the timer does not run on.
    if (SUCCEEDED(brwWebBrowser->Busy(&busy)) && busy) {
        SetCaption(kWorking);
        return;
    }
    SetTimerEnabled(false);
    SetCaptionToLocationName();
}

void FrmBrowser::brwWebBrowser_DownloadComplete() {
    SetCaptionToLocationName();
}

void FrmBrowser::brwWebBrowser_NavigateComplete2() {
    SetCaptionToLocationName();
    std::string url;
    bool haveUrl = SUCCEEDED(brwWebBrowser->LocationURL(&url));
    int found = -1;
    if (haveUrl) {
        int count = AddressListCount();
        for (int i = 0; i < count; ++i) {
            if (AddressListItem(i) == url) {
                found = i;
                break;
            }
        }
    }
    mbListUpdating = true;
    if (found >= 0) AddressRemoveItem(found);
    if (haveUrl) AddressAddItem(url, 0);
    SetAddressListIndex(0);
    mbListUpdating = false;
}

void FrmBrowser::Engine_DownloadComplete() {
    RaisePageEvent(&FrmBrowser::brwWebBrowser_DownloadComplete);
}

void FrmBrowser::Engine_NavigateComplete2() {
    RaisePageEvent(&FrmBrowser::brwWebBrowser_NavigateComplete2);
}

// Page events arrive from inside the engine: the window may already be
// closing, and no exception may go back into the engine.
void FrmBrowser::RaisePageEvent(void (FrmBrowser::*handler)()) {
    if (windowGone_ || !hwnd_) return;
    CallScope scope(this);
    try {
        (this->*handler)();
    } catch (...) {
        mbListUpdating = false;
    }
}

// --- properties ----------------------------------------------------------------

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void FrmBrowser::SetCaption(const std::string& text) {
    if (hwnd_ && WindowText(hwnd_) != text) SetWindowTextA(hwnd_, text.c_str());
}

bool FrmBrowser::SetCaptionToLocationName() {
    std::string name;
    if (FAILED(brwWebBrowser->LocationName(&name))) return false;
    SetCaption(name);
    return true;
}

void FrmBrowser::SetTimerEnabled(bool enabled) {
    if (!hwnd_) {
        timTimerEnabled_ = false;
        return;
    }
    if (enabled) {
        // Enabling a running timer restarts its interval, as a reset would.
        timTimerEnabled_ = SetTimer(hwnd_, ids::kTimTimer, ids::kTimTimerInterval, nullptr) != 0;
    } else {
        KillTimer(hwnd_, ids::kTimTimer);
        timTimerEnabled_ = false;
    }
}

}  // namespace browser

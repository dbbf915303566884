// frmBrowser: window, controls and event handlers of the launcher's browser
// window. Handlers skip a step that fails and go on; nothing is ever shown
// to the user about a failure.
#include "BrowserForm.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <exception>

#include "BrowserLayout.h"
#include "BrowserResources.h"
#include "Dpi.h"
#include "IcoFile.h"
#include "Scoped.h"

namespace browser {

namespace {

const char kFormClass[] = "WexaBrowserForm";
const char kStripClass[] = "WexaBrowserAddressStrip";
const char kOwnerClass[] = "WexaBrowserOwner";
const char kDesignComboText[] = "Combo1";
const char kLabelCaption[] = "&Address:";
const char kWorking[] = "Working...";
// The combo box window includes its drop-down list.
const int kDroppedListHeight = 200;  // pixels

// Toolbar buttons, left to right: key (also the tooltip) and picture index.
const char* const kButtonKeys[] = {"Back", "Forward", "Stop", "Refresh", "Home", "Search"};
const int kButtonCount = 6;

struct ImageListTraits {
    using Type = HIMAGELIST;
    static HIMAGELIST invalid() noexcept { return nullptr; }
    static void close(HIMAGELIST v) noexcept { ImageList_Destroy(v); }
};
using ImageList = scoped::Unique<ImageListTraits>;

// Open windows in load order; CloseAllBrowserWindows takes them from the end.
std::vector<HWND>& LoadedWindows() {
    static std::vector<HWND> windows;
    return windows;
}

// All browser windows are owned by one hidden window, so that none of them
// has a taskbar button while each keeps its normal caption and icon.
HWND HiddenOwner(HINSTANCE instance) {
    static HWND owner = nullptr;
    if (owner && IsWindow(owner)) return owner;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = kOwnerClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    owner = CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                            nullptr);
    return owner;
}

using Icon = scoped::Unique<scoped::NullTraits<HICON, BOOL, ::DestroyIcon>>;

// The window's icon, large or small, made from the .ico file in the
// resources. Made once; the window class keeps it for the process's life.
HICON WindowIcon(HINSTANCE instance, bool smallIcon) {
    static Icon icons[2];
    Icon& icon = icons[smallIcon ? 1 : 0];
    if (icon) return icon.get();
    HRSRC info = FindResourceA(instance, MAKEINTRESOURCEA(IDR_FRMBROWSER_ICON), RT_RCDATA);
    HGLOBAL loaded = info ? LoadResource(instance, info) : nullptr;
    const auto* data = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
    DWORD size = info ? SizeofResource(instance, info) : 0;
    int cx = GetSystemMetrics(smallIcon ? SM_CXSMICON : SM_CXICON);
    int cy = GetSystemMetrics(smallIcon ? SM_CYSMICON : SM_CYICON);
    ico::Image image;
    if (!data || !ico::PickImage(data, size, cx, cy, &image)) return nullptr;
    icon.reset(CreateIconFromResourceEx(const_cast<PBYTE>(data + image.offset),
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

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

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

// Where the next window opens: cascaded from the last one still open, in
// the work area of that window's monitor (or the primary one).
layout::Spot CascadeSpot(layout::Spot design, int width, int height) {
    const std::vector<HWND>& open = LoadedWindows();
    RECT last = {};
    bool haveLast = !open.empty() && GetWindowRect(open.back(), &last);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    HMONITOR monitor = haveLast
                           ? MonitorFromWindow(open.back(), MONITOR_DEFAULTTOPRIMARY)
                           : MonitorFromPoint(POINT{design.x, design.y}, MONITOR_DEFAULTTOPRIMARY);
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoA(monitor, &mi)) work = mi.rcWork;
    layout::Spot lastSpot = {last.left, last.top};
    return layout::CascadePosition(haveLast ? &lastSpot : nullptr, design, width, height,
                                   GetSystemMetrics(SM_CYCAPTION),
                                   {work.left, work.top, work.right, work.bottom});
}

// Dots per inch of the screen; 0 when it cannot say.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

bool IsSelfOrChild(HWND parent, HWND hwnd) {
    return parent && hwnd && (parent == hwnd || IsChild(parent, hwnd));
}

// The address box's edit field keeps its own procedure in this property
// while ours runs in front of it.
const char kEditProcProperty[] = "WexaBrowserEditProc";

}  // namespace

// GDI and common-control objects a window owns.
struct FrmBrowser::Resources {
    scoped::GdiObject font;
    ImageList imlToolbarIcons;
};

// Keeps the object alive while one of its handlers runs, even if the window
// is destroyed inside it (a close from a nested message loop).
class FrmBrowser::CallScope {
public:
    explicit CallScope(FrmBrowser* form) : form_(form) { ++form_->callDepth_; }
    ~CallScope() {
        if (--form_->callDepth_ == 0 && form_->windowGone_ && form_->ownedByWindow_) delete form_;
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    FrmBrowser* form_;
};

FrmBrowser::FrmBrowser(std::unique_ptr<Engine> engine, const std::string& startingAddress)
    : brwWebBrowser(std::move(engine)), StartingAddress(startingAddress), res_(new Resources) {
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
        form->twipsPerPixel_ = layout::TwipsPerPixel(ScreenDpi());
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        const DWORD exStyle = WS_EX_CONTROLPARENT;
        RECT rc = {0, 0, form->Pixels(layout::kDesignClientWidth),
                   form->Pixels(layout::kDesignClientHeight)};
        AdjustWindowRectEx(&rc, style, FALSE, exStyle);
        const int width = rc.right - rc.left, height = rc.bottom - rc.top;
        layout::Spot at = CascadeSpot(
            {form->Pixels(layout::kDesignLeft), form->Pixels(layout::kDesignTop)}, width, height);
        HWND hwnd = CreateWindowExA(exStyle, kFormClass, "", style, at.x, at.y, width, height,
                                    HiddenOwner(instance), nullptr, instance, form.get());
        if (!hwnd) return nullptr;  // the window never took the object: form deletes it
        FrmBrowser* self = form.release();
        self->ownedByWindow_ = true;
        // Opened on a monitor of another scale than the primary one: sized
        // for that monitor before it is first shown.
        const int dpi = display::DpiOf(hwnd);
        if (dpi > 0 && dpi != ScreenDpi()) {
            self->ApplyDpi(dpi);
            RECT client = {0, 0, self->Pixels(layout::kDesignClientWidth),
                           self->Pixels(layout::kDesignClientHeight)};
            AdjustWindowRectEx(&client, style, FALSE, exStyle);
            SetWindowPos(hwnd, nullptr, 0, 0, client.right - client.left,
                         client.bottom - client.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        LoadedWindows().push_back(hwnd);
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
    return LoadedWindows();
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

// The address box's edit field: Enter raises cboAddress_KeyPress before the
// box sees the character (the box still gets it). With the list open, Enter
// first chooses the highlighted entry, which navigates through the box's own
// Click; only when it chose none does the typed text go out.
LRESULT CALLBACK FrmBrowser::AddressEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kEditProcProperty));
    auto callOriginal = [&] {
        return original ? CallWindowProcA(original, hwnd, msg, wParam, lParam)
                        : DefWindowProcA(hwnd, msg, wParam, lParam);
    };
    FrmBrowser* self = FromWindow(GetAncestor(hwnd, GA_ROOT));
    if (!self || self->windowGone_) return callOriginal();
    CallScope scope(self);
    try {
        if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
            self->listChoiceNavigated_ = false;
            self->listOpenAtEnter_ = SendMessageA(self->cboAddress, CB_GETDROPPEDSTATE, 0, 0) != 0;
        } else if (msg == WM_CHAR && wParam == 13 && self->listOpenAtEnter_) {
            // The list closes on the key-down or on this character, as the
            // system has it; either way the choice is known afterwards.
            self->listOpenAtEnter_ = false;
            LRESULT result = callOriginal();
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
    return callOriginal();
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
            // Moved to a display of another scale: the controls first, then
            // the window to the rectangle the system suggests.
            ApplyDpi(HIWORD(wParam));
            if (const RECT* r = reinterpret_cast<const RECT*>(lParam))
                SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left,
                             r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        case WM_TIMER:
            if (wParam == ids::kTimTimer) {
                if (timTimerEnabled_) timTimer_Timer();
                return 0;
            }
            break;
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            int code = HIWORD(wParam);
            if (id == ids::kAddressBox && code == CBN_SELENDOK) {
                // A list entry was chosen: the box shows it, then Click.
                int index = static_cast<int>(SendMessageA(cboAddress, CB_GETCURSEL, 0, 0));
                if (index >= 0) {
                    SetAddressText(AddressListItem(index));
                    listChoiceNavigated_ = true;
                    cboAddress_Click();
                }
                return 0;
            }
            if (reinterpret_cast<HWND>(lParam) == tbToolBar && id >= ids::kFirstButton &&
                id < ids::kFirstButton + kButtonCount) {
                tbToolBar_ButtonClick(kButtonKeys[id - ids::kFirstButton]);
                return 0;
            }
            break;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            int index = static_cast<int>(hdr->idFrom) - ids::kFirstButton;
            if (index < 0 || index >= kButtonCount) break;
            if (hdr->code == TTN_GETDISPINFOA) {
                auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
                info->lpszText = const_cast<char*>(kButtonKeys[index]);
                info->hinst = nullptr;
                return 0;
            }
            if (hdr->code == TTN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                MultiByteToWideChar(CP_ACP, 0, kButtonKeys[index], -1, info->szText,
                                    static_cast<int>(sizeof(info->szText) / sizeof(wchar_t)));
                info->lpszText = info->szText;
                info->hinst = nullptr;
                return 0;
            }
            break;
        }
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
            auto& windows = LoadedWindows();
            windows.erase(std::remove(windows.begin(), windows.end(), hwnd_), windows.end());
            if (HWND edit = cboAddress ? GetWindow(cboAddress, GW_CHILD) : nullptr) {
                if (HANDLE original = RemovePropA(edit, kEditProcProperty))
                    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            }
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
        res_->font.reset(CreateFontIndirectA(&ncm.lfMessageFont));
    HGDIOBJ font = res_->font ? res_->font.get() : GetStockObject(DEFAULT_GUI_FONT);

    // picAddress: the strip that carries the address label and box.
    picAddress =
        CreateWindowExA(WS_EX_CONTROLPARENT, kStripClass, "",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, Pixels(picRect_.left),
                        Pixels(picRect_.top), Pixels(picRect_.width), Pixels(picRect_.height),
                        hwnd_, reinterpret_cast<HMENU>(ids::kAddressStrip), instance, nullptr);
    if (!picAddress) return false;

    cboAddress = CreateWindowExA(
        0, "COMBOBOX", "",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        Pixels(cboRect_.left), Pixels(cboRect_.top), Pixels(cboRect_.width), kDroppedListHeight,
        picAddress, reinterpret_cast<HMENU>(ids::kAddressBox), instance, nullptr);
    if (!cboAddress) return false;
    SendMessageA(cboAddress, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowTextA(cboAddress, kDesignComboText);
    if (HWND edit = GetWindow(cboAddress, GW_CHILD)) {
        LONG_PTR original = GetWindowLongPtrA(edit, GWLP_WNDPROC);
        if (original && SetPropA(edit, kEditProcProperty, reinterpret_cast<HANDLE>(original)))
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AddressEditProc));
    }

    lblAddress = CreateWindowExA(
        0, "STATIC", kLabelCaption, WS_CHILD | WS_VISIBLE | SS_LEFT, Pixels(layout::kLabelLeft),
        Pixels(layout::kLabelTop), Pixels(layout::kLabelWidth), Pixels(layout::kLabelHeight),
        picAddress, reinterpret_cast<HMENU>(ids::kAddressLabel), instance, nullptr);
    if (lblAddress) SendMessageA(lblAddress, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    CreateToolBar();

    RECT rc = {Pixels(brwRect_.left), Pixels(brwRect_.top),
               Pixels(brwRect_.left) + Pixels(brwRect_.width),
               Pixels(brwRect_.top) + Pixels(brwRect_.height)};
    // Without its engine the window still opens; every engine step then fails.
    brwWebBrowser->Create(hwnd_, rc, this);
    return true;
}

void FrmBrowser::CreateToolBar() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    tbToolBar =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                            CCS_NOPARENTALIGN | CCS_NODIVIDER,
                        0, 0, Pixels(layout::kDesignClientWidth), Pixels(layout::kToolBarHeight),
                        hwnd_, reinterpret_cast<HMENU>(ids::kToolBar), instance, nullptr);
    if (!tbToolBar) return;
    SendMessageA(tbToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    // imlToolbarIcons: six 24 x 24 pictures, light grey is transparent.
    res_->imlToolbarIcons.reset(ImageList_Create(24, 24, ILC_COLOR24 | ILC_MASK, kButtonCount, 0));
    scoped::GdiObject strip(LoadImageA(instance, MAKEINTRESOURCEA(IDB_FRMBROWSER_TOOLBAR),
                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (res_->imlToolbarIcons && strip)
        ImageList_AddMasked(res_->imlToolbarIcons.get(), static_cast<HBITMAP>(strip.get()),
                            RGB(192, 192, 192));
    SendMessageA(tbToolBar, TB_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(res_->imlToolbarIcons.get()));

    TBBUTTON buttons[kButtonCount] = {};
    for (int i = 0; i < kButtonCount; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = ids::kFirstButton + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = -1;
    }
    SendMessageA(tbToolBar, TB_ADDBUTTONSA, kButtonCount, reinterpret_cast<LPARAM>(buttons));
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

void FrmBrowser::cboAddress_Click() {
    if (mbListUpdating) return;
    SetTimerEnabled(true);
    brwWebBrowser->Navigate(AddressText());
}

void FrmBrowser::cboAddress_KeyPress(int keyAscii) {
    if (keyAscii == 13) cboAddress_Click();
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

// --- keyboard ----------------------------------------------------------------

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

// --- properties ----------------------------------------------------------------

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

void FrmBrowser::ApplyDpi(int dpi) {
    if (dpi <= 0) return;
    const int before = ScreenDpi();
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
            res_->font = std::move(font);
        }
    }
    if (lblAddress)
        SetWindowPos(lblAddress, nullptr, Pixels(layout::kLabelLeft), Pixels(layout::kLabelTop),
                     Pixels(layout::kLabelWidth), Pixels(layout::kLabelHeight),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FrmBrowser::MoveAddressBox() {
    if (!cboAddress) return false;
    return SetWindowPos(cboAddress, nullptr, Pixels(cboRect_.left), Pixels(cboRect_.top),
                        Pixels(cboRect_.width), kDroppedListHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

bool FrmBrowser::MoveBrowser() {
    int left = Pixels(brwRect_.left);
    int top = Pixels(brwRect_.top);
    RECT rc = {left, top, left + Pixels(brwRect_.width), top + Pixels(brwRect_.height)};
    return SUCCEEDED(brwWebBrowser->SetRect(rc));
}

// The toolbar and the address strip keep the full width of the window.
void FrmBrowser::DockBars() {
    RECT client = {};
    if (!GetClientRect(hwnd_, &client) || client.right <= 0) return;
    picRect_.width = layout::PixelsToTwips(client.right, twipsPerPixel_);
    if (tbToolBar)
        SetWindowPos(tbToolBar, nullptr, 0, 0, client.right, Pixels(layout::kToolBarHeight),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    if (picAddress)
        SetWindowPos(picAddress, nullptr, 0, 0, client.right, Pixels(picRect_.height),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
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

void FrmBrowser::FocusAddressBox() {
    if (!cboAddress) return;
    SetFocus(cboAddress);
    SendMessageA(cboAddress, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

}  // namespace browser

// frmMain: window creation, setup.dat, the product poll, the panel, the
// commands and the settings written on close (see frmMain.h).
#include "frmMain.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <vector>

#include "Dpi.h"
#include "PngPicture.h"
#include "ProductCommand.h"
#include "Resource.h"
#include "SetupDat.h"

namespace launcher {

const char kSettingsKey[] = "Software\\Penwick Leisure\\Wexa Launcher\\Settings";
const char kProductCommandKey[] = "KestrixBasicFile\\Shell\\Open\\Command";
const char frmMain::kClassName[] = "WexaLauncherMain";
const char frmMain::kCaption[] = "Kestrix Basic";

namespace {

// The strip of the client area that the background picture does not cover
// takes the colour of the picture's right-hand frame.
const COLORREF kFrameColour = RGB(8, 20, 35);
const DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kExStyle = 0;

// setup.dat from the current folder, read through a buffered file handle.
class FileSource : public setupdat::ByteSource {
public:
    explicit FileSource(const char* name)
        : file_(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    bool ok() const { return static_cast<bool>(file_); }
    size_t Read(char* buffer, size_t size) override {
        DWORD read = 0;
        if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(size), &read, nullptr)) return 0;
        return read;
    }

private:
    scoped::FileHandle file_;
};

SIZE OuterSize(int clientWidth, int clientHeight, int dpi, bool hasMenu) {
    return display::OuterSize(clientWidth, clientHeight, dpi, kStyle, kExStyle, hasMenu);
}
using display::WindowDpi;

// A menu bar or popup menu, destroyed with the popups attached to it.
using MenuHandle = scoped::Unique<scoped::NullTraits<HMENU, BOOL, ::DestroyMenu>>;

// Attaches a popup to the menu bar, which owns it from then on.
void AppendPopup(HMENU bar, MenuHandle& popup, const char* caption) {
    if (popup && AppendMenuA(bar, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(popup.get()),
                             caption))
        popup.release();
}

// The main window's menu. Both top-level menus are switched off, so none of
// their items can be opened or chosen; they are kept as designed.
MenuHandle BuildMenu() {
    MenuHandle bar(CreateMenu()), mnuFile(CreatePopupMenu()), mnuHelp(CreatePopupMenu());
    if (!bar) return bar;
    if (mnuFile) {
        HMENU m = mnuFile.get();
        AppendMenuA(m, MF_STRING | MF_GRAYED, mnuRunInstall, "&Run/Install Product");
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);  // blank1
        AppendMenuA(m, MF_STRING, mnuInstallBrenvik, "&Install Brenvik Solvane");
        AppendMenuA(m, MF_STRING, mnuInstallDirectX, "Install &DirectX");
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);  // blank2
        AppendMenuA(m, MF_STRING, mnuViewTrouble, "View Our &Troubleshooting Guide");
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);  // blank3
        AppendMenuA(m, MF_STRING, mnuViewWebSite, "&View Web Site");
        AppendMenuA(m, MF_STRING, mnuViewCatalogue, "View Product &Catalogue");
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);  // mnuFileBar5
        AppendMenuA(m, MF_STRING | MF_GRAYED, mnuUnInstall, "UnInstall the product");
        AppendMenuA(m, MF_STRING, mnuFileExit, "E&xit");
    }
    if (mnuHelp) AppendMenuA(mnuHelp.get(), MF_STRING, mnuHelpAbout, "&About ");
    AppendPopup(bar.get(), mnuFile, "&Options");
    AppendPopup(bar.get(), mnuHelp, "&Help");
    return bar;
}

SIZE BitmapSize(HGDIOBJ bitmap) {
    BITMAP bm = {};
    SIZE s = {0, 0};
    if (bitmap && GetObjectA(bitmap, sizeof(bm), &bm)) {
        s.cx = bm.bmWidth;
        s.cy = bm.bmHeight;
    }
    return s;
}

void DrawPicture(HDC dc, HDC source, HGDIOBJ bitmap, int x, int y, int width, int height) {
    if (!bitmap) return;
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
}

std::string CurrentFolder() {
    DWORD n = GetCurrentDirectoryA(0, nullptr);
    if (n == 0) return std::string();
    std::vector<char> buffer(n + 1, '\0');
    DWORD got = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (got == 0 || got >= buffer.size()) return std::string();
    return std::string(buffer.data(), got);
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Makes a folder current, its drive first (as "D:", so that a missing
// folder leaves that drive's own current folder). Only a folder that starts
// with a drive name changes the drive. A drive without its disc fails
// quietly instead of asking for it: the launcher shows no messages. The
// error mode is put back at once, so started programs never inherit it.
void ChangeFolder(const std::string& folder) {
    if (folder.empty()) return;
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS);
    if (folder.size() >= 2 && folder[1] == ':' && IsDriveLetter(folder[0])) {
        const char drive[3] = {folder[0], ':', '\0'};
        SetCurrentDirectoryA(drive);
    }
    SetCurrentDirectoryA(folder.c_str());
    SetErrorMode(mode);
}

}  // namespace

frmMain::frmMain(HINSTANCE instance, Services& services, Options options)
    : instance_(instance), services_(services), options_(std::move(options)) {}

frmMain::~frmMain() {
    if (accessible_) accessible_->Disconnect();
    if (hwnd_) {
        // Destroyed without closing (tests): no unload, no quit message.
        options_.quitWhenClosed = false;
        DestroyWindow(hwnd_);
    }
}

// A picture that cannot be loaded leaves its place empty; nothing else
// depends on it.
void frmMain::LoadPictures() {
    // Plain device-dependent bitmaps: the pictures are stored run-length
    // encoded, which DIB sections cannot hold.
    auto load = [this](int id) {
        return scoped::GdiObject(
            LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    };
    pictures_.picture2 = load(IDB_BACKGROUND);
    pictures_.button = load(IDB_BUTTON);
    pictures_.buttonHot = load(IDB_BUTTONHOT);
    pictures_.instKX = load(IDB_INSTKX);
    pictures_.runKX = load(IDB_RUNKX);
}

// The double set is decoded the first time a scaled display needs it. A
// picture missing from it makes the whole set unused: the design-size
// set, enlarged, is drawn instead.
void frmMain::LoadDoublePictures() {
    if (doubleLoaded_) return;
    doubleLoaded_ = true;
    auto load = [this](int id) {
        return scoped::GdiObject(LoadPngPicture(instance_, IDP_DOUBLE + (id - 100)));
    };
    doublePictures_.picture2 = load(IDB_BACKGROUND);
    doublePictures_.button = load(IDB_BUTTON);
    doublePictures_.buttonHot = load(IDB_BUTTONHOT);
    doublePictures_.instKX = load(IDB_INSTKX);
    doublePictures_.runKX = load(IDB_RUNKX);
}

const frmMain::PictureSet& frmMain::PicturesFor(int artScale) const {
    const PictureSet& d = doublePictures_;
    bool whole = d.picture2 && d.button && d.buttonHot && d.instKX && d.runKX;
    return artScale == 2 && whole ? d : pictures_;
}

bool frmMain::Load() {
    if (hwnd_) return true;
    LoadPictures();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;  // a double-click is one click, not two
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    // Shared icons belong to the system: nothing to free.
    wc.hIcon = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON, 0,
                                             0, LR_DEFAULTSIZE | LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);  // already registered by an earlier instance: fine

    MenuHandle menu = BuildMenu();
    SIZE outer = OuterSize(layout::ClientWidth(), layout::ClientHeight(), 96, bool(menu));
    hwnd_ = CreateWindowExA(kExStyle, kClassName, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            outer.cx, outer.cy, nullptr, menu.get(), instance_, this);
    if (!hwnd_) return false;
    menu.release();  // the window destroys its menu
    ApplyDpi(WindowDpi(hwnd_), nullptr);
    Form_Load();
    return true;
}

void frmMain::Show(int showCommand) {
    if (!hwnd_) return;
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    // The panel answers the keyboard: the window takes the focus.
    if (!IsIconic(hwnd_)) SetFocus(hwnd_);
}

// ---------------------------------------------------------------------------
// Start-up and close

void frmMain::Form_Load() {
    state_.InstalledState = 0;
    startFolder_ = CurrentFolder();

    std::vector<std::string> fields;
    FileSource file("setup.dat");
    if (file.ok()) fields = setupdat::ReadFields(file);
    setupdat::Config config = setupdat::ConfigFromFields(fields);
    state_.RunPath = config.RunPath;
    state_.Program2 = config.Program2;
    state_.Program3 = config.Program3;
    state_.Program4 = config.Program4;
    state_.WebSiteAddress = config.WebSiteAddress;
    state_.CatalogueAddress = config.CatalogueAddress;
    state_.UninstallKeyName = config.UninstallKeyName;
    state_.SetupPath = state_.RunPath;

    SetTimer(hwnd_, ID_MAINTIMER, 1000, nullptr);
    // The sound and the tooltips wait for the window to be on screen (see
    // kShownMessage): their libraries load slower than the whole window.
    PostMessageA(hwnd_, kShownMessage, 0, 0);
    state_.WorkFolder.clear();
    ToggleInstallRunButton();
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    services_.CloseBrowserWindows();
    if (hwnd_ && !IsIconic(hwnd_)) WriteWindowRectangle();
}

// The rectangle in twips of the window's own display (1440 twips an inch).
// Failures to write are ignored: the values are never read back.
void frmMain::WriteWindowRectangle() {
    RECT r;
    if (!GetWindowRect(hwnd_, &r)) return;
    int dpi = WindowDpi(hwnd_);
    auto twips = [dpi](LONG px) { return MulDiv(px, 1440, dpi); };
    const struct {
        const char* name;
        int value;
    } values[] = {{"MainLeft", twips(r.left)},
                  {"MainTop", twips(r.top)},
                  {"MainWidth", twips(r.right - r.left)},
                  {"MainHeight", twips(r.bottom - r.top)}};
    scoped::Key key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return;
    for (const auto& v : values) {
        std::string text = std::to_string(v.value);
        RegSetValueExA(key.get(), v.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
}

std::string frmMain::GetSettingString(HKEY hKey, const std::string& strPath,
                                      const std::string& strValue, const std::string& Default) {
    std::string result = Default;
    scoped::Key key;
    // Read access only: the poll asks every second and never writes.
    if (RegOpenKeyExA(hKey, strPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return result;
    const char* name = strValue.empty() ? nullptr : strValue.c_str();
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return result;
    std::string buffer(size, ' ');
    DWORD got = size;
    if (RegQueryValueExA(key.get(), name, nullptr, &type,
                         reinterpret_cast<BYTE*>(&buffer[0]), &got) != ERROR_SUCCESS ||
        type != REG_SZ)
        return result;  // changed between the two queries
    if (got < buffer.size()) buffer.resize(got);
    size_t nul = buffer.find('\0');
    return nul == std::string::npos ? buffer : buffer.substr(0, nul);
}

// ---------------------------------------------------------------------------
// Product detection

std::string frmMain::DetermineIfInstalled(const std::string& path) {
    if (options_.ProductName == "KestrixBasic") return DetermineIf_KestrixBasic_IsInstalled(path);
    return std::string();
}

std::string frmMain::DetermineIf_KestrixBasic_IsInstalled(const std::string&) {
    std::string s = GetSettingString(HKEY_CLASSES_ROOT, kProductCommandKey, std::string());
    product::OpenCommand command;
    if (s.empty() || !product::ParseOpenCommand(s, &command)) {
        // Not installed (again): the Install button starts the CD's setup
        // from the launcher's own folder, not from a removed product's.
        state_.RunPath = state_.SetupPath;
        state_.WorkFolder.clear();
        return std::string();
    }
    state_.RunPath = command.exe;
    state_.WorkFolder = command.folder;
    return command.exe;
}

void frmMain::ToggleInstallRunButton() {
    std::string installed = DetermineIfInstalled(std::string());
    state_.InstalledState = installed.empty() ? 0 : 1;
    SetButton1Picture(state_.InstalledState != 0);
}

void frmMain::MainTimer_Timer() { ToggleInstallRunButton(); }

// ---------------------------------------------------------------------------
// Button panel

void frmMain::MyButton_MouseMove(short Index) { DoButtonHighlight(Index); }

void frmMain::ButtonRegion_MouseMove(short Index) { DoButtonHighlight(Index); }

void frmMain::DoButtonHighlight(short Index) {
    if (Index == state_.HotButton) return;
    if (Index < 1 || Index > layout::kButtonCount) return;
    for (int k = 1; k <= layout::kButtonCount; ++k)
        if (k != Index) SetBulletPicture(k, false);
    SetBulletPicture(Index, true);
    state_.HotButton = Index;
    AnnounceFocus();
    DoSound("mouseout.wav");
}

void frmMain::Picture2_MouseMove() {
    if (state_.HotButton == -1) return;
    for (int k = 1; k <= layout::kButtonCount; ++k) SetBulletPicture(k, false);
    state_.HotButton = -1;
    AnnounceFocus();
}

void frmMain::DoSound(const std::string& Sound) { services_.PlaySoundFile(Sound, SND_ASYNC); }

bool frmMain::BulletLit(int index) const {
    return index >= 1 && index <= layout::kButtonCount && bulletLit_[index];
}

void frmMain::SetBulletPicture(int index, bool lit) {
    if (bulletLit_[index] == lit) return;  // same picture: nothing to redraw
    bulletLit_[index] = lit;
    InvalidateDesignRect(layout::BulletRect(index));
}

layout::Rect frmMain::Region1() const {
    // The design-size picture sets the hotspot at every scale.
    SIZE s = BitmapSize(button1Run_ ? pictures_.runKX.get() : pictures_.instKX.get());
    return layout::RegionRect(1, s.cx, s.cy);
}

void frmMain::SetButton1Picture(bool run) {
    if (run == button1Run_ && hwnd_) {
        // Assigned again on every poll; only a change needs drawing.
        return;
    }
    layout::Rect before = Region1();
    button1Run_ = run;
    InvalidateDesignRect(before);
    InvalidateDesignRect(Region1());
    MoveTools();
    // Button 1's name follows its picture.
    if (hwnd_) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, 1);
}

std::string frmMain::ButtonName(int index) const {
    if (index < 1 || index > layout::kButtonCount) return std::string();
    char text[256] = {};
    UINT id = index == 1 && button1Run_ ? IDS_RUNNAME : IDS_BUTTONNAME + index;
    int n = LoadStringA(instance_, id, text, sizeof(text));
    return std::string(text, n > 0 ? n : 0);
}

RECT frmMain::ButtonClientRect(int index) const { return ToClient(RegionOf(index)); }

int frmMain::ButtonAt(int clientX, int clientY) const {
    int id = ControlAt(clientX, clientY);
    if (id > ID_BUTTONREGION_BASE) return id - ID_BUTTONREGION_BASE;
    if (id > ID_MYBUTTON_BASE) return id - ID_MYBUTTON_BASE;
    return id == 1 ? 0 : -1;
}

int frmMain::FocusedChild() const {
    if (!hwnd_ || GetFocus() != hwnd_) return -1;
    const int lit = state_.HotButton;
    return lit >= 1 && lit <= layout::kButtonCount ? lit : 0;
}

void frmMain::AnnounceFocus() {
    const int focus = FocusedChild();
    if (focus == announcedFocus_) return;
    announcedFocus_ = focus;
    if (focus >= 0) NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, focus);
}

layout::Rect frmMain::RegionOf(int index) const {
    return index == 1 ? Region1() : layout::RegionRect(index, 0, 0);
}

// The tooltip shows the first of its tools that holds the pointer, so the
// tools are added in the order HitTest looks: bullets, then the hotspots
// from the highest index down. Where two controls touch, the tip then
// belongs to the control that the mouse events go to.
template <typename F>
void frmMain::ForEachTool(F f) const {
    for (int k = 1; k <= layout::kButtonCount; ++k)
        f(ID_MYBUTTON_BASE + k, layout::BulletRect(k), layout::kButtons[k].bulletTip);
    for (int k = layout::kButtonCount; k >= 1; --k)
        f(ID_BUTTONREGION_BASE + k, RegionOf(k), layout::kButtons[k].regionTip);
}

// Puts every tool back on its control: after a change of scale or of
// button 1's picture.
void frmMain::MoveTools() {
    if (!tooltip_) return;
    ForEachTool([this](UINT id, const layout::Rect& r, const char*) {
        TTTOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.hwnd = hwnd_;
        ti.uId = id;
        ti.rect = ToClient(r);
        SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    });
}

void frmMain::CreateTooltips() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               instance_, nullptr);
    if (!tooltip_) return;
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
    ForEachTool([this](UINT id, const layout::Rect& r, const char* text) {
        TTTOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = id;
        ti.rect = ToClient(r);
        ti.lpszText = const_cast<char*>(text);
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    });
}

// ---------------------------------------------------------------------------
// Commands

void frmMain::ButtonRegion_Click(short Index) { MyButton_Click(Index); }

void frmMain::MyButton_Click(short Index) {
    switch (Index) {
        case 1: RunProduct(); break;
        case 2: services_.StartProgram(state_.Program2); break;
        case 3: services_.StartProgram(state_.Program3); break;
        case 4: services_.StartProgram(state_.Program4); break;
        case 5:
            if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
            break;
        case 6:
            services_.OpenBrowserWindow(
                instance_, setupdat::ResolveFileAddress(state_.WebSiteAddress, startFolder_));
            break;
        case 7:
            services_.OpenBrowserWindow(
                instance_, setupdat::ResolveFileAddress(state_.CatalogueAddress, startFolder_));
            break;
        default: break;
    }
}

// Starts RunPath with WorkFolder (and its drive) current, then puts the
// launcher's own folder back, so that sounds and the other commands keep
// resolving against the CD. Every step that fails is skipped.
void frmMain::RunProduct() {
    std::string saved = CurrentFolder();
    ChangeFolder(state_.WorkFolder);
    services_.StartProgram(state_.RunPath);
    ChangeFolder(saved);
}

// ---------------------------------------------------------------------------
// Window

void frmMain::ApplyDpi(int dpi, const RECT* suggested) {
    dpi_ = dpi > 0 ? dpi : 96;
    if (layout::ArtScaleForDpi(dpi_) == 2) LoadDoublePictures();
    display::FitClient(hwnd_, layout::ScaleToDpi(layout::ClientWidth(), dpi_),
                       layout::ScaleToDpi(layout::ClientHeight(), dpi_), dpi_, suggested);
    MoveTools();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

RECT frmMain::ToClient(const layout::Rect& r) const {
    RECT c = {layout::ScaleToDpi(r.left, dpi_), layout::ScaleToDpi(r.top, dpi_),
              layout::ScaleToDpi(r.left + r.width, dpi_),
              layout::ScaleToDpi(r.top + r.height, dpi_)};
    return c;
}

void frmMain::InvalidateDesignRect(const layout::Rect& r) {
    if (!hwnd_) return;
    RECT c = ToClient(r);
    InflateRect(&c, 1, 1);  // a smoothed picture blends the pixels around it in
    InvalidateRect(hwnd_, &c, FALSE);
}

// Control id under a client point: ID_MYBUTTON_BASE + k for a bullet,
// ID_BUTTONREGION_BASE + k for a hotspot, 1 for the free background, 0 for
// the window's own strip outside the picture.
int frmMain::ControlAt(int clientX, int clientY) const {
    if (clientX < 0 || clientY < 0) return 0;
    layout::Hit hit = layout::HitTest(layout::DesignFromDpi(clientX, dpi_),
                                      layout::DesignFromDpi(clientY, dpi_), Region1());
    switch (hit.kind) {
        case layout::HitKind::Bullet: return ID_MYBUTTON_BASE + hit.index;
        case layout::HitKind::Region: return ID_BUTTONREGION_BASE + hit.index;
        case layout::HitKind::Background: return 1;
        default: return 0;
    }
}

void frmMain::OnMouseMove(int clientX, int clientY) {
    // While the left button is held the pressed control keeps the mouse.
    int id = pressed_ ? pressed_ : ControlAt(clientX, clientY);
    if (id > ID_BUTTONREGION_BASE)
        ButtonRegion_MouseMove(static_cast<short>(id - ID_BUTTONREGION_BASE));
    else if (id > ID_MYBUTTON_BASE)
        MyButton_MouseMove(static_cast<short>(id - ID_MYBUTTON_BASE));
    else if (id == 1)
        Picture2_MouseMove();
}

void frmMain::OnButtonDown(int clientX, int clientY) {
    // Only a bullet or a hotspot takes the mouse; the background has no click.
    int id = ControlAt(clientX, clientY);
    pressed_ = id > 1 ? id : 0;
    if (pressed_) SetCapture(hwnd_);
}

void frmMain::OnButtonUp(int clientX, int clientY) {
    int pressed = pressed_;
    pressed_ = 0;
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (pressed == 0 || ControlAt(clientX, clientY) != pressed) return;
    if (pressed > ID_BUTTONREGION_BASE)
        ButtonRegion_Click(static_cast<short>(pressed - ID_BUTTONREGION_BASE));
    else if (pressed > ID_MYBUTTON_BASE)
        MyButton_Click(static_cast<short>(pressed - ID_MYBUTTON_BASE));
}

bool frmMain::OnKeyDown(UINT vk, bool repeated) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    int lit = state_.HotButton;
    switch (vk) {
        case VK_DOWN: lit = layout::NextInPanelOrder(lit, +1); break;
        case VK_UP: lit = layout::NextInPanelOrder(lit, -1); break;
        case VK_TAB: lit = layout::NextInPanelOrder(lit, shift ? -1 : +1); break;
        case VK_HOME: lit = layout::FirstInPanelOrder(); break;
        case VK_END: lit = layout::LastInPanelOrder(); break;
        case VK_RETURN:
        case VK_SPACE:
            // Held down, the key repeats; the command runs on the press only.
            if (!repeated && lit >= 1 && lit <= layout::kButtonCount)
                MyButton_Click(static_cast<short>(lit));
            return true;
        default: return false;
    }
    DoButtonHighlight(static_cast<short>(lit));
    return true;
}

// The hand over what can be clicked (bullets and hotspots), the class's
// arrow elsewhere.
bool frmMain::OnSetCursor() {
    POINT p;
    if (!GetCursorPos(&p) || !ScreenToClient(hwnd_, &p)) return false;
    if (ControlAt(p.x, p.y) <= 1) return false;
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    return true;
}

void frmMain::Render(HDC dc, int artScale) const {
    const PictureSet& set = PicturesFor(artScale);
    // A set that could not be had at the double size is drawn at design size.
    const int k = &set == &pictures_ ? 1 : 2;
    auto scaled = [k](const layout::Rect& r) {
        return layout::Rect{r.left * k, r.top * k, r.width * k, r.height * k};
    };
    RECT all = {0, 0, layout::ClientWidth() * k, layout::ClientHeight() * k};
    scoped::GdiObject frame(CreateSolidBrush(kFrameColour));
    if (frame) FillRect(dc, &all, static_cast<HBRUSH>(frame.get()));
    scoped::MemoryDC source(CreateCompatibleDC(dc));
    if (!source) return;
    layout::Rect p2 = scaled(layout::Picture2Rect());
    SIZE bg = BitmapSize(set.picture2.get());
    DrawPicture(dc, source.get(), set.picture2.get(), 0, 0, bg.cx < p2.width ? bg.cx : p2.width,
                bg.cy < p2.height ? bg.cy : p2.height);
    for (int i = 1; i <= layout::kButtonCount; ++i) {
        layout::Rect b = scaled(layout::BulletRect(i));
        DrawPicture(dc, source.get(), bulletLit_[i] ? set.buttonHot.get() : set.button.get(),
                    b.left, b.top, b.width, b.height);
    }
    layout::Rect r1 = scaled(Region1());
    DrawPicture(dc, source.get(), button1Run_ ? set.runKX.get() : set.instKX.get(), r1.left,
                r1.top, r1.width, r1.height);
}

// The picture is composed at the size of its set, then copied to the window:
// pixel for pixel at 100 % and 200 %, smoothed (HALFTONE) in between.
void frmMain::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (!dc) return;
    const int artScale = &PicturesFor(layout::ArtScaleForDpi(dpi_)) == &pictures_ ? 1 : 2;
    const int w = layout::ClientWidth() * artScale, h = layout::ClientHeight() * artScale;
    const int cw = layout::ScaleToDpi(layout::ClientWidth(), dpi_),
              ch = layout::ScaleToDpi(layout::ClientHeight(), dpi_);
    scoped::MemoryDC frame(CreateCompatibleDC(dc));
    scoped::GdiObject bitmap(CreateCompatibleBitmap(dc, w, h));
    if (frame && bitmap) {
        HGDIOBJ old = SelectObject(frame.get(), bitmap.get());
        Render(frame.get(), artScale);
        if (cw == w && ch == h) {
            BitBlt(dc, 0, 0, w, h, frame.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, cw, ch, frame.get(), 0, 0, w, h, SRCCOPY);
        }
        SelectObject(frame.get(), old);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK frmMain::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    frmMain* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<frmMain*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // Nothing may leave a window procedure; the event is simply lost.
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    switch (msg) {
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_TIMER:
            if (wParam == ID_MAINTIMER) MainTimer_Timer();
            return 0;
        case WM_MOUSEMOVE: OnMouseMove(x, y); return 0;
        case WM_LBUTTONDOWN: OnButtonDown(x, y); return 0;
        case WM_LBUTTONDBLCLK:
            // The second press of a double-click: the first press already
            // made its click, and a double-click runs its command only once.
            return 0;
        case WM_LBUTTONUP: OnButtonUp(x, y); return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(static_cast<UINT>(wParam), (lParam & 0x40000000) != 0)) return 0;
            break;
        case WM_SETFOCUS:
            AnnounceFocus();
            break;
        case WM_KILLFOCUS:
            announcedFocus_ = -1;  // the window that takes it raises its own event
            break;
        case WM_GETOBJECT:
            if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
                if (!accessible_) {
                    apartment_.reset(new scoped::ComApartment());
                    accessible_ = scoped::ComPtr<PanelAccessible>::Attach(new PanelAccessible(this));
                }
                if (LRESULT r = AnswerGetObject(accessible_.get(), wParam)) return r;
            }
            break;
        case kShownMessage:
            DoSound("formload.wav");
            CreateTooltips();
            return 0;
        case kPressButtonMessage:
            if (wParam >= 1 && wParam <= layout::kButtonCount)
                MyButton_Click(static_cast<short>(wParam));
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd &&
                OnSetCursor())
                return TRUE;
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) pressed_ = 0;
            return 0;
        case display::kWmDpiChanged:
            ApplyDpi(display::NewDpi(wParam), display::SuggestedRect(lParam));
            return 0;
        case WM_CLOSE:
            Form_Unload();
            DestroyWindow(hwnd);
            return 0;
        case WM_ENDSESSION:
            // Windows is ending: the process ends without WM_CLOSE.
            if (wParam) Form_Unload();
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, ID_MAINTIMER);
            if (options_.quitWhenClosed) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            // The window is gone after this message: forget it, and let the
            // system free what it keeps for the window.
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            if (accessible_) {
                accessible_->Disconnect();
                accessible_.reset();
            }
            hwnd_ = nullptr;
            tooltip_ = nullptr;
            break;
        default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace launcher

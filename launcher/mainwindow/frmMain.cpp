// frmMain: window creation, setup.dat, the product poll, the commands, the
// window's messages and the settings written on close (see frmMain.h).
#include "frmMain.h"

#include <mmsystem.h>

#include <vector>

#include "DiscCheck.h"
#include "Dpi.h"
#include "ProductCommand.h"
#include "Resource.h"
#include "SetupDat.h"
#include "VerifyWindow.h"

namespace launcher {

const char kSettingsKey[] = "Software\\Penwick Leisure\\Wexa Launcher\\Settings";
const char kProductCommandKey[] = "KestrixBasicFile\\Shell\\Open\\Command";
const char frmMain::kClassName[] = "WexaLauncherMain";
const wchar_t frmMain::kClassNameW[] = L"WexaLauncherMain";
const char frmMain::kCaption[] = "Kestrix Basic";

namespace {

const DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kExStyle = 0;

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
    : instance_(instance),
      services_(services),
      options_(std::move(options)),
      ui_(instance),
      caption_(ui_.String(IDS_CAPTION, kCaption)),
      productKey_(UiLanguage::ToAnsi(ui_.NeutralString(IDS_PRODUCTKEY, kProductCommandKey))),
      settingsKey_(UiLanguage::ToAnsi(ui_.NeutralString(IDS_SETTINGSKEY, kSettingsKey))),
      panel_(instance, *this, ui_, caption_) {}

frmMain::~frmMain() {
    if (hwnd_) {
        // Destroyed without closing (tests): no unload, no quit message.
        options_.quitWhenClosed = false;
        DestroyWindow(hwnd_);
    }
}

bool frmMain::Load() {
    if (hwnd_) return true;
    panel_.LoadPictures();
    // A Unicode window, so that a caption outside the ANSI code page shows.
    WNDCLASSEXW wc = {};
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
    wc.lpszClassName = kClassNameW;
    RegisterClassExW(&wc);  // already registered by an earlier instance: fine

    MenuHandle menu = BuildMenu();
    SIZE outer = OuterSize(layout::ClientWidth(), layout::ClientHeight(), 96, bool(menu));
    hwnd_ = CreateWindowExW(kExStyle, wc.lpszClassName, caption_.c_str(), kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, outer.cx, outer.cy, nullptr, menu.get(), instance_,
                            this);
    if (!hwnd_) return false;
    menu.release();  // the window destroys its menu
    panel_.ApplyDpi(WindowDpi(hwnd_), nullptr);
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
    startFolder_ = CurrentFolderW();

    // Read once: the disc check vouches for these very bytes.
    setupDat_ = disccheck::ReadSetupDat(startFolder_);
    std::vector<std::string> fields;
    if (setupDat_.present) {
        setupdat::MemorySource bytes(setupDat_.bytes);
        fields = setupdat::ReadFields(bytes);
    }
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
    if (settingsKey_.empty() ||
        RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
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
    std::string s = productKey_.empty()
                        ? std::string()
                        : GetSettingString(HKEY_CLASSES_ROOT, productKey_, std::string());
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
    panel_.SetButton1Picture(state_.InstalledState != 0);
}

void frmMain::MainTimer_Timer() { ToggleInstallRunButton(); }

// ---------------------------------------------------------------------------
// Button panel

void frmMain::MyButton_MouseMove(short Index) { DoButtonHighlight(Index); }

void frmMain::ButtonRegion_MouseMove(short Index) { DoButtonHighlight(Index); }

void frmMain::DoButtonHighlight(short Index) { panel_.DoButtonHighlight(Index); }

void frmMain::Picture2_MouseMove() { panel_.DarkenAll(); }

void frmMain::DoSound(const std::string& Sound) { services_.PlaySoundFile(Sound, SND_ASYNC); }

// ---------------------------------------------------------------------------
// Commands

void frmMain::ButtonRegion_Click(short Index) { MyButton_Click(Index); }

void frmMain::MyButton_Click(short Index) {
    if (disccheck::CheckInProgress()) return;  // one command at a time
    // The pages' folder for the browser, which reads the ANSI code page.
    const std::string root = AnsiPath(startFolder_);
    switch (Index) {
        case 1: RunProduct(); break;
        case 2: StartFromDisc(state_.Program2); break;
        case 3: StartFromDisc(state_.Program3); break;
        case 4: StartFromDisc(state_.Program4); break;
        case 5:
            if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
            break;
        case 6:
            services_.OpenBrowserWindow(instance_,
                                        setupdat::ResolveFileAddress(state_.WebSiteAddress, root));
            break;
        case 7:
            services_.OpenBrowserWindow(
                instance_, setupdat::ResolveFileAddress(state_.CatalogueAddress, root));
            break;
        default: break;
    }
}

// A program of the disc: where the disc carries its list, exactly the file
// the check vouched for, held open until it has started; otherwise the
// command as written.
void frmMain::StartFromDisc(const std::string& command) {
    disccheck::Checked checked;
    switch (disccheck::CheckBeforeStart(hwnd_, instance_, command, startFolder_, setupDat_,
                                        &checked)) {
        case disccheck::Verdict::AsEver: services_.StartProgram(command); break;
        case disccheck::Verdict::Checked:
            services_.StartFile(checked.program.path, checked.program.commandLine);
            break;
        default: break;
    }
}

// Starts RunPath with WorkFolder (and its drive) current, then puts the
// launcher's own folder back, so that sounds and the other commands keep
// resolving against the CD. Every step that fails is skipped. The installed
// product is not the disc's to vouch for; its setup is.
void frmMain::RunProduct() {
    if (state_.InstalledState == 0) {
        StartFromDisc(state_.RunPath);
        return;
    }
    std::string saved = CurrentFolder();
    ChangeFolder(state_.WorkFolder);
    services_.StartProgram(state_.RunPath);
    ChangeFolder(saved);
}

// ---------------------------------------------------------------------------
// Window

LRESULT CALLBACK frmMain::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    frmMain* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
        self->panel_.Attach(hwnd);
    } else {
        self = reinterpret_cast<frmMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // Nothing may leave a window procedure; the event is simply lost.
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    switch (msg) {
        case WM_PAINT: panel_.Paint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_TIMER:
            if (wParam == ID_MAINTIMER) MainTimer_Timer();
            return 0;
        case WM_MOUSEMOVE: panel_.OnMouseMove(x, y); return 0;
        case WM_LBUTTONDOWN: panel_.OnButtonDown(x, y); return 0;
        case WM_LBUTTONDBLCLK:
            // The second press of a double-click: the first press already
            // made its click, and a double-click runs its command only once.
            return 0;
        case WM_LBUTTONUP: panel_.OnButtonUp(x, y); return 0;
        case WM_KEYDOWN:
            if (panel_.OnKeyDown(static_cast<UINT>(wParam), (lParam & 0x40000000) != 0)) return 0;
            break;
        case WM_SETFOCUS: panel_.AnnounceFocus(); break;
        case WM_KILLFOCUS: panel_.OnKillFocus(); break;
        case WM_GETOBJECT:
            if (LRESULT r = panel_.OnGetObject(wParam, lParam)) return r;
            break;
        case kShownMessage:
            DoSound("formload.wav");
            panel_.CreateTooltips();
            discverify::AddMenuItem(hwnd, instance_);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != discverify::kVerifyCommand) break;
            discverify::ShowVerifyWindow(hwnd, instance_, startFolder_);
            return 0;
        case Panel::kPressButtonMessage:  // disabled meanwhile: dropped, as a click would be
            if (IsWindowEnabled(hwnd_)) panel_.OnPressButton(wParam);
            return 0;
        case WM_SETCURSOR:
            if (disccheck::CheckInProgress()) {
                SetCursor(LoadCursor(nullptr, IDC_WAIT));
                return TRUE;
            }
            if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd &&
                panel_.OnSetCursor())
                return TRUE;
            break;
        case WM_CAPTURECHANGED: panel_.OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return 0;
        case display::kWmDpiChanged:
            panel_.ApplyDpi(display::NewDpi(wParam), display::SuggestedRect(lParam));
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
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            panel_.Detach();
            hwnd_ = nullptr;
            break;
        default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace launcher

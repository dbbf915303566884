// frmMain on a real window under Wine, with recorders in place of sound,
// process start and browser windows: load, hover, tooltips, menu, commands
// (command lines and current folders), the product poll, GetSettingString
// and the rectangle written on close.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Resource.h"
#include "Testkit.h"
#include "WindowRectangle.h"
#include "frmMain.h"

namespace {

using launcher::frmMain;

const char kProductRoot[] = "KestrixBasicFile";
const char kTestValuesKey[] = "Software\\Penwick Leisure\\launcher-test";

std::string Cwd() {
    char buffer[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof(buffer), buffer);
    return buffer;
}

// Records what the window asks of the system.
class Recorder : public launcher::Services {
public:
    struct Sound {
        std::string name;
        UINT flags;
    };
    struct Start {
        std::string commandLine;
        std::string folder;  // current folder at the moment of the start
        UINT errorMode;      // inherited by the started program
    };
    std::vector<Sound> sounds;
    std::vector<Start> starts;
    std::vector<std::string> browsers;
    int closeBrowserCalls = 0;
    std::function<void()> onCloseBrowsers;

    void PlaySoundFile(const std::string& name, UINT flags) override {
        sounds.push_back({name, flags});
    }
    void StartProgram(const std::string& commandLine) override {
        starts.push_back({commandLine, Cwd(), GetErrorMode()});
    }
    void OpenBrowserWindow(HINSTANCE, const std::string& address) override {
        browsers.push_back(address);
    }
    void CloseBrowserWindows() override {
        ++closeBrowserCalls;
        if (onCloseBrowsers) onCloseBrowsers();
    }
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pumps messages until pred holds or timeoutMs has passed.
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        Pump();
    }
    return true;
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// Centres of the controls, in client pixels (scale 1 under the test prefix).
POINT BulletCentre(int k) {
    layout::Rect r = layout::BulletRect(k);
    return {r.left + r.width / 2, r.top + r.height / 2};
}
POINT RegionCentre(int k) {
    layout::Rect r = layout::RegionRect(k, 166, 34);
    return {r.left + r.width / 2 + (k == 1 ? 0 : 20), r.top + r.height / 2};
}
const POINT kBackground = {380, 30};

class FrmMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The real pointer stays clear of the window: the test moves a mouse of its own.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        savedFolder_ = Cwd();
        folder_ = testkit::BinDir() + "\\frmmain-test-" + std::to_string(GetCurrentProcessId());
        testkit::RemoveTree(folder_);
        ASSERT_TRUE(testkit::MakeFolders(folder_));
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, kProductRoot);
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, launcher::kSettingsKey);
    }
    void TearDown() override {
        form_.reset();
        Pump();
        SetCurrentDirectoryA(savedFolder_.c_str());
        testkit::RemoveTree(folder_);
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, kProductRoot);
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, launcher::kSettingsKey);
    }

    frmMain& Open(launcher::Options options = launcher::Options()) {
        options.quitWhenClosed = false;
        form_.reset(new frmMain(GetModuleHandleA(nullptr), recorder_, options));
        EXPECT_TRUE(form_->Load());
        form_->Show();
        Pump();
        return *form_;
    }
    void Move(POINT p) { SendMessageA(form_->hwnd(), WM_MOUSEMOVE, 0, Point(p.x, p.y)); }
    void Click(POINT p) { Click(p, p); }
    void Click(POINT down, POINT up) {
        HWND w = form_->hwnd();
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, Point(down.x, down.y));
        SendMessageA(w, WM_LBUTTONUP, 0, Point(up.x, up.y));
    }
    void WriteSetupDat(const std::string& text) {
        ASSERT_TRUE(testkit::WriteTextFile(folder_ + "\\setup.dat", text));
    }
    void RegisterProduct(const std::string& command, DWORD type = REG_SZ) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, launcher::kProductCommandKey, 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(k, nullptr, 0, type, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
        RegCloseKey(k);
    }
    size_t SoundCount(const char* name) const {
        size_t n = 0;
        for (const auto& s : recorder_.sounds) n += s.name == name;
        return n;
    }

    Recorder recorder_;
    std::unique_ptr<frmMain> form_;
    std::string folder_, savedFolder_;
};

TEST_F(FrmMainTest, LoadReadsSetupDatAndShowsTheFixedPictureWindow) {
    WriteSetupDat("  \"kx\\setup.exe /lang=en,fr\",dx\\dx.exe\r\n\"ie\\ie.exe\"\r\n");
    form_.reset(new frmMain(GetModuleHandleA(nullptr), recorder_, launcher::Options()));
    ASSERT_TRUE(form_->Load());
    HWND w = form_->hwnd();
    EXPECT_FALSE(IsWindowVisible(w));  // loaded first, shown afterwards
    const launcher::LauncherState& s = form_->state();
    EXPECT_EQ(s.RunPath, "kx\\setup.exe /lang=en,fr");
    EXPECT_EQ(s.SetupPath, s.RunPath);
    EXPECT_EQ(s.Program2, "dx\\dx.exe");
    EXPECT_EQ(s.Program3, "ie\\ie.exe");
    EXPECT_EQ(s.Program4, "http://www.penwickleisure.com/support");  // the rest: defaults
    EXPECT_EQ(s.UninstallKeyName, "");
    EXPECT_EQ(s.WorkFolder, "");
    EXPECT_EQ(s.InstalledState, 0);
    EXPECT_EQ(s.HotButton, 0);
    ASSERT_EQ(recorder_.sounds.size(), 1u);
    EXPECT_EQ(recorder_.sounds[0].name, "formload.wav");
    EXPECT_EQ(recorder_.sounds[0].flags, static_cast<UINT>(SND_ASYNC));
    EXPECT_FALSE(form_->Button1ShowsRun());
    EXPECT_EQ(form_->Region1().width, 196);
    EXPECT_EQ(form_->Region1().height, 35);

    form_->Show();
    EXPECT_TRUE(IsWindowVisible(w));
    char caption[64] = {};
    GetWindowTextA(w, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Kestrix Basic");
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 404);
    EXPECT_EQ(client.bottom, 288);
    LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
}

TEST_F(FrmMainTest, WithoutSetupDatEveryCommandUsesItsDefault) {
    Open();
    for (short k = 1; k <= 4; ++k) form_->MyButton_Click(k);
    form_->MyButton_Click(6);
    form_->MyButton_Click(7);
    form_->MyButton_Click(0);  // not a command
    form_->MyButton_Click(8);
    ASSERT_EQ(recorder_.starts.size(), 4u);
    EXPECT_EQ(recorder_.starts[0].commandLine, "setup.exe");
    EXPECT_EQ(recorder_.starts[1].commandLine, "brenvik\\brenvik.exe");
    EXPECT_EQ(recorder_.starts[2].commandLine, "directx\\directx.exe");
    EXPECT_EQ(recorder_.starts[3].commandLine, "http://www.penwickleisure.com/support");
    for (const auto& start : recorder_.starts) EXPECT_EQ(start.folder, folder_);
    EXPECT_EQ(recorder_.browsers,
              (std::vector<std::string>{"http://www.penwickleisure.com/", "file://catalog.htm"}));
    EXPECT_EQ(Cwd(), folder_);
}

TEST_F(FrmMainTest, HoverLightsOneBulletAtATimeWithOneSoundEach) {
    Open();
    recorder_.sounds.clear();
    // The first move over the background marks "none lit", silently; the
    // window's own strip right of the picture is not the background.
    EXPECT_EQ(form_->state().HotButton, 0);
    Move({403, 150});
    EXPECT_EQ(form_->state().HotButton, 0);
    Move(kBackground);
    EXPECT_EQ(form_->state().HotButton, -1);
    EXPECT_TRUE(recorder_.sounds.empty());

    Move(BulletCentre(2));
    Move(RegionCentre(3));
    Move(RegionCentre(4));
    EXPECT_EQ(form_->state().HotButton, 4);
    EXPECT_EQ(SoundCount("mouseout.wav"), 3u);
    for (const auto& s : recorder_.sounds) EXPECT_EQ(s.flags, static_cast<UINT>(SND_ASYNC));
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(form_->BulletLit(k), k == 4) << k;

    // Bullet and hotspot of the same button: nothing changes, no sound.
    Move(BulletCentre(4));
    Move(RegionCentre(4));
    Move(BulletCentre(4));
    EXPECT_EQ(recorder_.sounds.size(), 3u);
    EXPECT_TRUE(form_->BulletLit(4));

    // The free background darkens everything, silently, once.
    Move(kBackground);
    EXPECT_EQ(form_->state().HotButton, -1);
    for (int k = 1; k <= 7; ++k) EXPECT_FALSE(form_->BulletLit(k));
    Move({kBackground.x - 10, kBackground.y + 5});
    EXPECT_EQ(recorder_.sounds.size(), 3u);

    // Leaving the window straight from a button leaves its bullet lit.
    Move(RegionCentre(6));
    SendMessageA(form_->hwnd(), WM_MOUSELEAVE, 0, 0);
    SendMessageA(form_->hwnd(), WM_NCMOUSEMOVE, HTCAPTION, 0);
    EXPECT_TRUE(form_->BulletLit(6));
    EXPECT_EQ(form_->state().HotButton, 6);
    EXPECT_EQ(SoundCount("mouseout.wav"), 4u);
}

TEST_F(FrmMainTest, ScaledDisplayScalesPictureAndHitAreasTogether) {
    Open();
    RECT suggested;
    GetWindowRect(form_->hwnd(), &suggested);
    SendMessageA(form_->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form_->Scale(), 2);
    RECT client;
    GetClientRect(form_->hwnd(), &client);
    EXPECT_GE(client.right, 808);
    EXPECT_GE(client.bottom, 576);
    POINT r3 = RegionCentre(3), b6 = BulletCentre(6);
    Move({r3.x * 2, r3.y * 2});
    EXPECT_EQ(form_->state().HotButton, 3);
    Move({r3.x, r3.y});  // the same point unscaled is another place of the picture
    EXPECT_NE(form_->state().HotButton, 3);
    Click({b6.x * 2, b6.y * 2});
    EXPECT_EQ(recorder_.browsers.size(), 1u);
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = form_->hwnd();
    ti.uId = ID_BUTTONREGION_BASE + 3;
    ASSERT_TRUE(SendMessageA(form_->Tooltip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.rect.left, 64);
    EXPECT_EQ(ti.rect.right - ti.rect.left, 2 * 289);

    // 150 %: drawn 1:1 again rather than blurred.
    SendMessageA(form_->hwnd(), 0x02E0, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form_->Scale(), 1);
    Move(RegionCentre(4));
    EXPECT_EQ(form_->state().HotButton, 4);
}

// Id of the tooltip tool at a client point (0 for none) and its text.
UINT ToolAt(HWND tip, HWND main, POINT p, std::string* text = nullptr) {
    TTHITTESTINFOA hit = {};
    hit.hwnd = main;
    hit.pt = p;
    hit.ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (!SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit))) return 0;
    if (text) {
        char buffer[256] = {};
        TTTOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.hwnd = main;
        ti.uId = hit.ti.uId;
        ti.lpszText = buffer;
        SendMessageA(tip, TTM_GETTEXTA, sizeof(buffer), reinterpret_cast<LPARAM>(&ti));
        *text = buffer;
    }
    return static_cast<UINT>(hit.ti.uId);
}

TEST_F(FrmMainTest, EveryBulletAndHotspotShowsItsOwnTipWhereTheMouseGoesToIt) {
    Open();
    HWND tip = form_->Tooltip(), main = form_->hwnd();
    ASSERT_TRUE(tip);
    ASSERT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 14);
    const char kSolvane[] = "Click now to Install BRENVIK's Solvane Client to keep your PC Healthy";
    const struct {
        const char* hotspot;
        const char* bullet;
    } tips[8] = {{},
                 {"Click now to launch Kestrix Basic", "Run"},
                 {"Click now to install DirectX", "Click now to view our catalogue"},
                 {"Click now to install Internet Explorer", "Click now to view our Website"},
                 {kSolvane, kSolvane},
                 {"Click now to exit", "Click now to exit"},
                 {"Click now to view the Kestrix Basic Website", kSolvane},
                 {"Click now to view the Penwick Leisure website", kSolvane}};
    for (int k = 1; k <= 7; ++k) {
        std::string text;
        EXPECT_EQ(ToolAt(tip, main, RegionCentre(k), &text), UINT(ID_BUTTONREGION_BASE + k)) << k;
        EXPECT_EQ(text, tips[k].hotspot) << k;
        EXPECT_EQ(ToolAt(tip, main, BulletCentre(k), &text), UINT(ID_MYBUTTON_BASE + k)) << k;
        EXPECT_EQ(text, tips[k].bullet) << k;
    }
    // Down every column where controls touch or overlap, row by row: the tip
    // is the one of the control that gets the mouse there.
    for (int x : {16, 32, 33, 100, 300}) {
        for (int y = 0; y < 288; ++y) {
            layout::Hit hit = layout::HitTest(x, y, form_->Region1());
            UINT expected = hit.kind == layout::HitKind::Bullet   ? ID_MYBUTTON_BASE + hit.index
                            : hit.kind == layout::HitKind::Region ? ID_BUTTONREGION_BASE + hit.index
                                                                  : 0;
            ASSERT_EQ(ToolAt(tip, main, {x, y}), expected) << x << "," << y;
        }
    }
}

TEST_F(FrmMainTest, MenuBarIsThereButSwitchedOff) {
    Open();
    HMENU bar = GetMenu(form_->hwnd());
    ASSERT_TRUE(bar);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    auto text = [](HMENU m, int pos) {
        char buffer[128] = {};
        GetMenuStringA(m, pos, buffer, sizeof(buffer), MF_BYPOSITION);
        return std::string(buffer);
    };
    EXPECT_EQ(text(bar, 0), "&Options");
    EXPECT_EQ(text(bar, 1), "&Help");
    EXPECT_TRUE(GetMenuState(bar, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_GRAYED);
    // (The items inside can never be opened; their list is BuildMenu's own.)
    // Choosing an item anyway does nothing.
    SendMessageA(form_->hwnd(), WM_COMMAND, mnuFileExit, 0);
    Pump();
    EXPECT_TRUE(IsWindow(form_->hwnd()));
}

TEST_F(FrmMainTest, BulletAndHotspotClicksRunTheSameCommand) {
    WriteSetupDat("a,b,c,d,http://www.kestrixbasic.com/,file://catalog.htm\r\n");
    Open();
    Click(BulletCentre(6));
    Click(RegionCentre(6));
    Click(RegionCentre(6));
    Click(BulletCentre(7));
    EXPECT_EQ(recorder_.browsers,
              (std::vector<std::string>{"http://www.kestrixbasic.com/",
                                        "http://www.kestrixbasic.com/",
                                        "http://www.kestrixbasic.com/", "file://catalog.htm"}));
    // Pressed on one button and released on another: no click.
    Click(RegionCentre(2), RegionCentre(3));
    Click(BulletCentre(2), kBackground);
    EXPECT_TRUE(recorder_.starts.empty());
    Click(BulletCentre(2));
    Click(RegionCentre(3));
    Click(BulletCentre(4));
    ASSERT_EQ(recorder_.starts.size(), 3u);
    // A double-click is one click: its second press makes no second start.
    ASSERT_TRUE(GetClassLongA(form_->hwnd(), GCL_STYLE) & CS_DBLCLKS);
    POINT r4 = RegionCentre(4);
    Click(r4);
    SendMessageA(form_->hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(r4.x, r4.y));
    SendMessageA(form_->hwnd(), WM_LBUTTONUP, 0, Point(r4.x, r4.y));
    ASSERT_EQ(recorder_.starts.size(), 4u);
    EXPECT_EQ(recorder_.starts[0].commandLine, "b");
    EXPECT_EQ(recorder_.starts[1].commandLine, "c");
    EXPECT_EQ(recorder_.starts[2].commandLine, "d");
}

TEST_F(FrmMainTest, PollFollowsTheProductBeingInstalledAndRemoved) {
    WriteSetupDat("kx\\setup.exe\r\n");
    Open();
    ASSERT_EQ(folder_.substr(0, 2), "Z:");  // the launcher runs from another drive than C:
    std::string apps = "C:\\frmmain-test apps\\Kestrix Basic";
    ASSERT_TRUE(testkit::MakeFolders(apps));
    RegisterProduct("\"" + apps + "\\KestrixBasic.exe\" \"%1\"");

    ASSERT_TRUE(PumpUntil([&] { return form_->state().InstalledState == 1; }));
    EXPECT_EQ(form_->state().RunPath, "\"" + apps + "\\KestrixBasic.exe\"");
    EXPECT_EQ(form_->state().WorkFolder, apps);
    EXPECT_TRUE(form_->Button1ShowsRun());
    EXPECT_EQ(form_->Region1().width, 166);
    EXPECT_EQ(form_->Region1().height, 34);
    // The tooltip of button 1 follows its new size.
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = form_->hwnd();
    ti.uId = ID_BUTTONREGION_BASE + 1;
    ASSERT_TRUE(SendMessageA(form_->Tooltip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.rect.right - ti.rect.left, 166);

    // Run: the product's folder (and drive) current while it starts, ours after.
    Click(RegionCentre(1));
    ASSERT_EQ(recorder_.starts.size(), 1u);
    EXPECT_EQ(recorder_.starts[0].commandLine, "\"" + apps + "\\KestrixBasic.exe\"");
    EXPECT_EQ(recorder_.starts[0].folder, apps);
    EXPECT_EQ(Cwd(), folder_);

    testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, kProductRoot);
    ASSERT_TRUE(PumpUntil([&] { return form_->state().InstalledState == 0; }));
    EXPECT_EQ(form_->state().RunPath, "kx\\setup.exe");
    EXPECT_EQ(form_->state().WorkFolder, "");
    EXPECT_FALSE(form_->Button1ShowsRun());
    Click(RegionCentre(1));
    ASSERT_EQ(recorder_.starts.size(), 2u);
    EXPECT_EQ(recorder_.starts[1].commandLine, "kx\\setup.exe");
    EXPECT_EQ(recorder_.starts[1].folder, folder_);
    testkit::RemoveTree("C:\\frmmain-test apps");
}

TEST_F(FrmMainTest, MissingDriveOrFolderOfTheProductLeavesTheRestToTheSystem) {
    Open();
    const UINT errorMode = GetErrorMode();
    // A drive that does not exist: neither drive nor folder changes.
    RegisterProduct("\"Q:\\Nowhere\\kb.exe\"");
    form_->ToggleInstallRunButton();
    EXPECT_EQ(form_->state().WorkFolder, "Q:\\Nowhere");
    form_->MyButton_Click(1);
    ASSERT_EQ(recorder_.starts.size(), 1u);
    EXPECT_EQ(recorder_.starts[0].folder, folder_);
    EXPECT_EQ(Cwd(), folder_);

    // A missing folder on drive C: C: becomes current, in its current folder.
    char expected[MAX_PATH] = {};
    GetFullPathNameA("C:", MAX_PATH, expected, nullptr);
    RegisterProduct("\"C:\\no-such-folder-here\\kb.exe\" %1");
    form_->ToggleInstallRunButton();
    form_->MyButton_Click(1);
    ASSERT_EQ(recorder_.starts.size(), 2u);
    EXPECT_EQ(recorder_.starts[1].commandLine, "\"C:\\no-such-folder-here\\kb.exe\"");
    EXPECT_EQ(recorder_.starts[1].folder, expected);
    EXPECT_EQ(Cwd(), folder_);

    // A folder without a drive name (a relative program path) is taken from
    // the launcher's folder; its first letter names no drive.
    ASSERT_TRUE(testkit::MakeFolders(folder_ + "\\cd-apps"));
    RegisterProduct("\"cd-apps\\kb.exe\"");
    form_->ToggleInstallRunButton();
    form_->MyButton_Click(1);
    ASSERT_EQ(recorder_.starts.size(), 3u);
    EXPECT_EQ(recorder_.starts[2].folder, folder_ + "\\cd-apps");
    EXPECT_EQ(Cwd(), folder_);
    // The started programs get the launcher's error mode, unchanged.
    for (const auto& start : recorder_.starts) EXPECT_EQ(start.errorMode, errorMode);
    EXPECT_EQ(GetErrorMode(), errorMode);
}

TEST_F(FrmMainTest, BlankOrExpandableCommandsAndOtherProfilesMeanNotInstalled) {
    Open();
    RegisterProduct("\"C:\\Kestrix\\kb.exe\"");
    form_->ToggleInstallRunButton();
    ASSERT_EQ(form_->state().InstalledState, 1);
    // Blank: not installed, and no failure of the poll.
    RegisterProduct("   ");
    form_->ToggleInstallRunButton();
    EXPECT_EQ(form_->state().InstalledState, 0);
    EXPECT_EQ(form_->state().RunPath, form_->state().SetupPath);
    // REG_EXPAND_SZ: not installed.
    RegisterProduct("\"%ProgramFiles%\\Kestrix\\kb.exe\"", REG_EXPAND_SZ);
    form_->ToggleInstallRunButton();
    EXPECT_EQ(form_->state().InstalledState, 0);
    EXPECT_FALSE(form_->Button1ShowsRun());

    // A profile name the launcher does not know (compared exactly): never
    // installed, whatever the registry holds.
    RegisterProduct("\"C:\\Kestrix\\kb.exe\"");
    launcher::Options options;
    options.ProductName = "kestrixbasic";
    Open(options);
    EXPECT_EQ(form_->state().InstalledState, 0);
    EXPECT_FALSE(form_->Button1ShowsRun());
    EXPECT_EQ(form_->DetermineIfInstalled(""), "");
    EXPECT_EQ(form_->state().RunPath, "setup.exe");
}

TEST(GetSettingString, ReadsOnlyRegSzUpToTheFirstNul) {
    testkit::DeleteKeyTree(HKEY_CURRENT_USER, kTestValuesKey);
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestValuesKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &k, nullptr),
              ERROR_SUCCESS);
    auto set = [k](const char* name, DWORD type, const void* data, DWORD size) {
        RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size);
    };
    set("plain", REG_SZ, "value", 6);
    set(nullptr, REG_SZ, "unnamed", 8);
    set("expand", REG_EXPAND_SZ, "%TEMP%\\x", 9);
    set("nul", REG_SZ, "before\0after", 13);
    set("unterminated", REG_SZ, "abc", 3);
    set("empty", REG_SZ, "", 1);
    DWORD number = 7;
    set("number", REG_DWORD, &number, sizeof(number));
    RegCloseKey(k);

    auto get = [](const char* name, const char* def) {
        return frmMain::GetSettingString(HKEY_CURRENT_USER, kTestValuesKey, name, def);
    };
    EXPECT_EQ(get("plain", "d"), "value");
    EXPECT_EQ(get("", "d"), "unnamed");
    EXPECT_EQ(get("expand", "d"), "d");
    EXPECT_EQ(get("nul", "d"), "before");
    EXPECT_EQ(get("unterminated", "d"), "abc");
    EXPECT_EQ(get("empty", "d"), "");
    EXPECT_EQ(get("number", "d"), "d");
    EXPECT_EQ(get("missing", "d"), "d");
    EXPECT_EQ(frmMain::GetSettingString(HKEY_CURRENT_USER, "Software\\no such key here", "x"), "");
    testkit::DeleteKeyTree(HKEY_CURRENT_USER, kTestValuesKey);
}

TEST_F(FrmMainTest, ClosingClosesBrowserWindowsThenWritesTheRectangleInTwips) {
    Open();
    SetWindowPos(form_->hwnd(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT r;
    GetWindowRect(form_->hwnd(), &r);
    bool writtenBeforeBrowsersClosed = true;
    recorder_.onCloseBrowsers = [&] {
        writtenBeforeBrowsersClosed =
            testkit::ValueExists(HKEY_CURRENT_USER, launcher::kSettingsKey, "MainLeft");
    };
    Click(RegionCentre(5));  // Exit
    ASSERT_TRUE(PumpUntil([&] { return form_->hwnd() == nullptr; }));
    EXPECT_EQ(recorder_.closeBrowserCalls, 1);
    EXPECT_FALSE(writtenBeforeBrowsersClosed);

    launchertest::ExpectRectangleWritten(r);
    EXPECT_EQ(r.left * 15, 750);
    EXPECT_STREQ(launcher::kSettingsKey, launchertest::kSettingsKey);
}

BOOL CALLBACK CountBrowserWindow(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<std::pair<HWND, int>*>(lp);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (w != s->first && IsWindowVisible(w) && lstrcmpiA(cls, "tooltips_class32") != 0)
        ++s->second;
    return TRUE;
}

// Other visible top-level windows of this thread: the browser windows.
int BrowserWindows(HWND main) {
    std::pair<HWND, int> s(main, 0);
    EnumThreadWindows(GetCurrentThreadId(), CountBrowserWindow, reinterpret_cast<LPARAM>(&s));
    return s.second;
}

TEST_F(FrmMainTest, RealBrowserWindowsOpenPerClickAndCloseBeforeTheMainWindow) {
    launcher::SystemServices system;
    form_.reset(new frmMain(GetModuleHandleA(nullptr), system, [] {
        launcher::Options o;
        o.quitWhenClosed = false;
        return o;
    }()));
    ASSERT_TRUE(form_->Load());
    form_->Show();
    HWND main = form_->hwnd();
    form_->MyButton_Click(6);
    form_->MyButton_Click(6);
    form_->MyButton_Click(7);
    Pump();
    EXPECT_EQ(BrowserWindows(main), 3);
    form_->MyButton_Click(5);
    ASSERT_TRUE(PumpUntil([&] { return form_->hwnd() == nullptr; }));
    EXPECT_EQ(BrowserWindows(nullptr), 0);
    EXPECT_TRUE(testkit::ValueExists(HKEY_CURRENT_USER, launcher::kSettingsKey, "MainHeight"));
}

TEST(StartProcess, OnlyProgramsStartAndNothingIsShownOtherwise) {
    // A web address and a document are not programs: nothing happens.
    EXPECT_FALSE(launcher::StartProcess("http://www.penwickleisure.com/support"));
    std::string doc = testkit::BinDir() + "\\startprocess-test.txt";
    testkit::WriteTextFile(doc, "not a program");
    EXPECT_FALSE(launcher::StartProcess("\"" + doc + "\""));
    DeleteFileA(doc.c_str());
    EXPECT_FALSE(launcher::StartProcess(""));
    EXPECT_TRUE(launcher::StartProcess("cmd.exe /c exit 0"));
}

}  // namespace

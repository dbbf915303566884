// frmMain on a real window under Wine, with a recorder in place of sound,
// process start and browser windows.
#include "frmMain.h"  // and with it <windows.h>, which the other system headers need

#include <commctrl.h>
#include <gtest/gtest.h>
#include <mmsystem.h>

#include <algorithm>
#include <memory>
#include <set>

#include "DiscCheck.h"
#include "Gui.h"
#include "Resource.h"
#include "Testkit.h"
#include "WideText.h"
#include "WindowRectangle.h"

namespace {

using launcher::frmMain;
using Strings = std::vector<std::string>;

std::string Cwd() {
    char buffer[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof(buffer), buffer);
    return buffer;
}

// Records what the window asks of the system.
struct Recorder : launcher::Services {
    const UINT errorMode = GetErrorMode();  // the launcher's: started programs inherit it
    Strings sounds;                         // names; a sound not played asynchronously is marked
    Strings starts;  // command line|current folder, marked when the error mode differs
    Strings browsers;
    std::function<void()> onCloseBrowsers;
    launcher::Services* real = nullptr;  // opens real browser windows too

    void PlaySoundFile(const std::string& name, UINT flags) override {
        sounds.push_back(flags == SND_ASYNC ? name : name + " (not async)");
    }
    void StartProgram(const std::string& c) override {
        starts.push_back(c + "|" + Cwd() + (GetErrorMode() == errorMode ? "" : "|error mode"));
    }
    void StartFile(const std::wstring&, const std::wstring& commandLine) override {
        StartProgram(widetext::Narrow(commandLine));
    }
    void OpenBrowserWindow(HINSTANCE i, const std::string& a) override {
        browsers.push_back(a);
        if (real) real->OpenBrowserWindow(i, a);
    }
    void CloseBrowserWindows() override {
        if (onCloseBrowsers) onCloseBrowsers();
        if (real) real->CloseBrowserWindows();
    }
};

// Centre of hotspot k (right of it but for button 1) or bullet k, at scale 1.
const bool kBullet = true;
POINT Centre(int k, bool bullet = false) {
    layout::Rect r = bullet ? layout::BulletRect(k) : layout::RegionRect(k, 166, 34);
    return {r.left + r.width / 2 + (bullet || k == 1 ? 0 : 20), r.top + r.height / 2};
}
const POINT kBackground = {380, 30};

RECT ToolRect(const launcher::Panel& panel, UINT id) {
    TTTOOLINFOA ti = {TTTOOLINFOA_V2_SIZE, 0, panel.hwnd(), id, {}, nullptr, nullptr, 0, nullptr};
    EXPECT_TRUE(SendMessageA(panel.Tooltip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
    return ti.rect;
}

class FrmMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The real pointer stays clear of the window: the test moves a mouse of its own.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        savedFolder_ = Cwd();
        folder_ = testkit::BinDir() + "\\frmmain-test-" + std::to_string(GetCurrentProcessId());
        TearDown();
        ASSERT_TRUE(testkit::MakeFolders(folder_));
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    }
    void TearDown() override {
        form_.reset();
        testkit::Pump();
        SetCurrentDirectoryA(savedFolder_.c_str());
        testkit::RemoveTree(folder_);
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, "KestrixBasicFile");
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, launcher::kSettingsKey);
    }

    void Open(launcher::Options options = launcher::Options(), bool show = true) {
        options.quitWhenClosed = false;
        form_.reset(new frmMain(GetModuleHandleA(nullptr), recorder_, options));
        EXPECT_TRUE(form_->Load());
        if (show) form_->Show();
        testkit::Pump();
    }
    void Send(UINT msg, POINT p, WPARAM keys = MK_LBUTTON) {
        SendMessageA(form_->hwnd(), msg, keys, MAKELPARAM(p.x, p.y));
    }
    void Move(POINT p) { Send(WM_MOUSEMOVE, p, 0); }
    void Click(POINT down, POINT up) {
        Send(WM_LBUTTONDOWN, down);
        Send(WM_LBUTTONUP, up, 0);
    }
    void Click(POINT p) { Click(p, p); }
    Recorder recorder_;
    std::unique_ptr<frmMain> form_;
    std::string folder_, savedFolder_;
};

TEST_F(FrmMainTest, LoadReadsSetupDatAndShowsTheFixedPictureWindow) {
    testkit::WriteTextFile("setup.dat",
                           "  \"kx\\setup.exe /lang=en,fr\",dx\\dx.exe\r\n\"ie\\ie.exe\"\r\n");
    Open(launcher::Options(), false);
    HWND w = form_->hwnd();
    EXPECT_FALSE(IsWindowVisible(w));  // loaded first, shown afterwards
    EXPECT_EQ(form_->state().RunPath, "kx\\setup.exe /lang=en,fr");
    EXPECT_EQ(form_->state().UninstallKeyName, "");
    EXPECT_EQ(recorder_.sounds, Strings{"formload.wav"});
    EXPECT_FALSE(form_->panel().Button1ShowsRun());
    EXPECT_EQ(form_->panel().Region1().height, 35);  // the install picture's (width: the poll test)

    form_->Show();
    EXPECT_TRUE(IsWindowVisible(w));
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 404);
    EXPECT_EQ(client.bottom, 288);
    DWORD style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              DWORD(WS_CAPTION | WS_SYSMENU));
    // Its two menus are there but switched off: nothing in them can be chosen.
    HMENU bar = GetMenu(w);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    for (int pos : {0, 1}) EXPECT_TRUE(GetMenuState(bar, pos, MF_BYPOSITION) & MF_GRAYED) << pos;
}

TEST_F(FrmMainTest, HoverLightsOneBulletAtATimeWithOneSoundEach) {
    Open();
    recorder_.sounds.clear();
    // The strip right of the picture is no background; the background lights none, silently.
    Move({403, 150});
    EXPECT_EQ(form_->HotButton(), 0);
    Move(kBackground);
    EXPECT_EQ(form_->HotButton(), -1);
    // Bullet and hotspot of one button are one: no second sound.
    for (POINT p : {Centre(2, kBullet), Centre(3), Centre(4), Centre(4, kBullet)}) Move(p);
    EXPECT_EQ(form_->HotButton(), 4);
    EXPECT_EQ(recorder_.sounds, Strings(3, "mouseout.wav"));
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(form_->panel().BulletLit(k), k == 4) << k;

    // The free background darkens everything.
    Move(kBackground);
    EXPECT_EQ(form_->HotButton(), -1);
    for (int k = 1; k <= 7; ++k) EXPECT_FALSE(form_->panel().BulletLit(k)) << k;

    // The hand over what can be clicked, the arrow elsewhere.
    const std::pair<POINT, LPCSTR> cursors[] = {
        {Centre(2, kBullet), IDC_HAND}, {Centre(3), IDC_HAND}, {kBackground, IDC_ARROW}};
    for (auto c : cursors) {
        ClientToScreen(form_->hwnd(), &c.first);
        SetCursorPos(c.first.x, c.first.y);
        SendMessageA(form_->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->hwnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, c.second));
    }
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    // Leaving the window straight from a button leaves its bullet lit.
    Move(Centre(6));
    SendMessageA(form_->hwnd(), WM_MOUSELEAVE, 0, 0);
    SendMessageA(form_->hwnd(), WM_NCMOUSEMOVE, HTCAPTION, 0);
    EXPECT_TRUE(form_->panel().BulletLit(6));
    EXPECT_EQ(form_->HotButton(), 6);
    EXPECT_EQ(recorder_.sounds.size(), 4u);
}

TEST_F(FrmMainTest, ScaledDisplayScalesPictureAndHitAreasTogether) {
    Open();
    RECT suggested = {20, 20, 0, 0};  // only its position counts
    const struct {
        int dpi, width, height, tipLeft, tipRight;  // client size, hotspot 3's tool
    } cases[] = {{144, 606, 432, 48, 482}, {192, 808, 576, 64, 642}};
    for (const auto& c : cases) {
        SendMessageA(form_->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(c.dpi, c.dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT client;
        GetClientRect(form_->hwnd(), &client);
        EXPECT_EQ(client.right, c.width);
        EXPECT_EQ(client.bottom, c.height);
        auto scaled = [&](POINT p) { return POINT{p.x * c.dpi / 96, p.y * c.dpi / 96}; };
        Move(scaled(Centre(3)));
        EXPECT_EQ(form_->HotButton(), 3) << c.dpi;
        Click(scaled(Centre(6, kBullet)));
        RECT tool = ToolRect(form_->panel(), ID_BUTTONREGION_BASE + 3);
        EXPECT_EQ(tool.left, c.tipLeft);
        EXPECT_EQ(tool.right, c.tipRight);
    }
    // No setup.dat: the default site, once for each click.
    EXPECT_EQ(recorder_.browsers, Strings(2, "http://www.penwickleisure.com/"));
}

TEST_F(FrmMainTest, EveryPointShowsTheTipOfTheControlThatGetsTheMouseThere) {
    Open();
    HWND tip = form_->panel().Tooltip();
    ASSERT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 14);
    // Down columns where controls touch or overlap and through all, row by row.
    for (int x : {16, 32, 33, 100, 300}) {
        for (int y = 0; y < 288; ++y) {
            layout::Hit hit = layout::HitTest(x, y, form_->panel().Region1());
            const layout::PanelButton& b = layout::kButtons[hit.index];
            std::string expected = hit.kind == layout::HitKind::Bullet   ? b.bulletTip
                                   : hit.kind == layout::HitKind::Region ? b.regionTip
                                                                         : "";
            TTHITTESTINFOA test = {form_->hwnd(), {x, y}, {}};
            test.ti.cbSize = TTTOOLINFOA_V2_SIZE;
            char text[256] = {};
            if (SendMessageA(tip, TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&test))) {
                test.ti.lpszText = text;
                SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&test.ti));
            }
            ASSERT_EQ(text, expected) << x << "," << y;
        }
    }
}

TEST_F(FrmMainTest, BulletAndHotspotClicksRunTheSameCommandOncePerClick) {
    testkit::WriteTextFile("setup.dat",
                           "a,b,c,d,http://www.kestrixbasic.com/,file://catalog.htm\r\n");
    Open();
    for (POINT p : {Centre(6, kBullet), Centre(6), Centre(6), Centre(7, kBullet)}) Click(p);
    const std::string site = "http://www.kestrixbasic.com/";
    // A file: page without a folder lies in the launcher's start folder.
    EXPECT_EQ(recorder_.browsers, (Strings{site, site, site, folder_ + "\\catalog.htm"}));
    // Pressed on one button and released on another: no click.
    Click(Centre(2), Centre(3));
    Click(Centre(2, kBullet), kBackground);
    for (short k : {0, 8}) form_->MyButton_Click(k);  // no buttons, no commands
    EXPECT_TRUE(recorder_.starts.empty());
    Click(Centre(2, kBullet));
    Click(Centre(3));
    // A double-click is one click: its second press makes no second start.
    ASSERT_TRUE(GetClassLongA(form_->hwnd(), GCL_STYLE) & CS_DBLCLKS);
    Click(Centre(4));
    Send(WM_LBUTTONDBLCLK, Centre(4));
    Send(WM_LBUTTONUP, Centre(4), 0);
    // From the launcher's folder, which stays current.
    EXPECT_EQ(recorder_.starts, (Strings{"b|" + folder_, "c|" + folder_, "d|" + folder_}));
}

TEST_F(FrmMainTest, PollFollowsTheRegisteredCommandWhichButtonOneStartsFromItsFolder) {
    testkit::WriteTextFile("setup.dat", "kx\\setup.exe\r\n");
    Open();
    ASSERT_EQ(folder_.substr(0, 2), "Z:");  // the launcher runs from another drive than C:
    const std::string apps = "C:\\frmmain-test apps\\Kestrix Basic";
    ASSERT_TRUE(testkit::MakeFolders(apps));
    ASSERT_TRUE(testkit::MakeFolders(folder_ + "\\cd-apps"));
    char cCurrent[MAX_PATH] = {};  // drive C:'s own current folder
    GetFullPathNameA("C:", MAX_PATH, cCurrent, nullptr);
    const std::string setup = "kx\\setup.exe";  // started while not installed
    const struct {
        std::string value;
        DWORD type;
        std::string started, folder;
    } cases[] = {
        // The product's folder (and drive) current while it starts, ours after.
        {"\"" + apps + "\\KestrixBasic.exe\" \"%1\"", REG_SZ, "\"" + apps + "\\KestrixBasic.exe\"",
         apps},
        // A drive that does not exist: neither drive nor folder changes.
        {"\"Q:\\Nowhere\\kb.exe\"", REG_SZ, "\"Q:\\Nowhere\\kb.exe\"", folder_},
        {"   ", REG_SZ, setup, folder_},  // blank, and no failure of the poll
        // A missing folder on drive C: C: becomes current, in its current folder.
        {"\"C:\\no-such-folder\\kb.exe\" %1", REG_SZ, "\"C:\\no-such-folder\\kb.exe\"", cCurrent},
        {"\"%ProgramFiles%\\kb.exe\"", REG_EXPAND_SZ, setup, folder_},
        // A folder without a drive name is taken from the launcher's folder;
        // its first letter names no drive.
        {"\"cd-apps\\kb.exe\"", REG_SZ, "\"cd-apps\\kb.exe\"", folder_ + "\\cd-apps"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, launcher::kProductCommandKey, nullptr, c.type,
                                  c.value.c_str(), static_cast<DWORD>(c.value.size() + 1)),
                  ERROR_SUCCESS);
        ASSERT_TRUE(testkit::PumpUntil([&] { return form_->state().RunPath == c.started; }))
            << c.value;
        // Button 1's picture, and with it its hotspot and tip.
        const int width = c.started == setup ? 196 : 166;
        EXPECT_EQ(form_->panel().Button1ShowsRun(), c.started != setup) << c.value;
        EXPECT_EQ(form_->panel().Region1().width, width) << c.value;
        EXPECT_EQ(form_->panel().Region1().height, width == 166 ? 34 : 35) << c.value;
        RECT tool = ToolRect(form_->panel(), ID_BUTTONREGION_BASE + 1);
        EXPECT_EQ(tool.right - tool.left, width) << c.value;
        recorder_.starts.clear();
        Click(Centre(1));
        EXPECT_EQ(recorder_.starts, Strings{c.started + "|" + c.folder}) << c.value;
        EXPECT_EQ(Cwd(), folder_) << c.value;
    }
    EXPECT_EQ(GetErrorMode(), recorder_.errorMode);
    testkit::RemoveTree("C:\\frmmain-test apps");

    // A profile name the launcher does not know (compared exactly): never
    // installed, whatever the registry holds.
    Open(launcher::Options{"kestrixbasic", false});
    EXPECT_EQ(form_->state().InstalledState, 0);
    EXPECT_FALSE(form_->panel().Button1ShowsRun());
    EXPECT_EQ(form_->DetermineIfInstalled(""), "");
    EXPECT_EQ(form_->state().RunPath, setup);
}

TEST(GetSettingString, ReadsOnlyRegSzUpToTheFirstNul) {
    const char key[] = "Software\\Penwick Leisure\\launcher-test";
    const DWORD number = 7;
    const struct {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
        const char* expected;  // "d" is the default
    } cases[] = {{"nul", REG_SZ, "before\0after", 13, "before"},
                 {"unterminated", REG_SZ, "abc", 3, "abc"},
                 {"empty", REG_SZ, "", 1, ""},
                 {"number", REG_DWORD, &number, sizeof(number), "d"}};
    testkit::DeleteKeyTree(HKEY_CURRENT_USER, key);
    for (const auto& c : cases)
        RegSetKeyValueA(HKEY_CURRENT_USER, key, c.name, c.type, c.data, c.size);
    for (const auto& c : cases)
        EXPECT_EQ(frmMain::GetSettingString(HKEY_CURRENT_USER, key, c.name, "d"), c.expected)
            << c.name;
    EXPECT_EQ(frmMain::GetSettingString(HKEY_CURRENT_USER, key, "missing", "d"), "d");
    testkit::DeleteKeyTree(HKEY_CURRENT_USER, key);
}

// Windows keeps the display language apart from the regional format; Wine
// sets both from LC_MESSAGES. The launcher speaks the display language.
LANGID display;
LANGID WINAPI Display() { return display; }
LCID WINAPI Regional() { return display ^ 0x0407 ^ 0x0409; }  // the other one
TEST(FrmMain, SpeaksTheDisplayLanguageNotTheRegionalFormats) {
    testkit::RedirectImports(&GetUserDefaultUILanguage, Display);
    testkit::RedirectImports(&GetUserDefaultLCID, Regional);
    Recorder recorder;
    for (LANGID language : {0x0407, 0x0409}) {
        display = language;
        EXPECT_EQ(frmMain(GetModuleHandleA(nullptr), recorder, {}).panel().ButtonName(5),
                  language == 0x0407 ? L"Ende" : L"Exit");
    }
    testkit::RedirectImports(Display, &GetUserDefaultUILanguage);
}

TEST_F(FrmMainTest, ExitClosesTheBrowserWindowsThenWritesTheRectangleInTwips) {
    // Real browser windows, each on its address (local: nothing goes to the network).
    testkit::WriteTextFile("setup.dat", "a,b,c,d,file://site.htm,file://catalog.htm\r\n");
    launcher::SystemServices system;
    recorder_.real = &system;
    Open();
    for (short k : {6, 6, 7}) form_->MyButton_Click(k);
    testkit::Pump();
    Strings shown;
    for (HWND w : testkit::TopWindows(GetCurrentProcessId(), "WexaBrowserForm"))
        shown.push_back(testkit::WindowText(testkit::FindChild(w, "ComboBox")));
    std::sort(shown.begin(), shown.end());
    const std::string site = folder_ + "\\site.htm";
    EXPECT_EQ(shown, (Strings{folder_ + "\\catalog.htm", site, site}));
    // Each opens a caption's height lower and to the right of the one before.
    std::vector<HWND> opened = testkit::TopWindows(GetCurrentProcessId(), "WexaBrowserForm");
    std::vector<LONG> lefts;
    for (HWND w : opened) {
        RECT wr;
        GetWindowRect(w, &wr);
        lefts.push_back(wr.left);
    }
    std::sort(lefts.begin(), lefts.end());
    ASSERT_EQ(lefts.size(), 3u);
    for (int i : {1, 2}) EXPECT_EQ(lefts[i] - lefts[i - 1], GetSystemMetrics(SM_CYCAPTION));
    // The "&Address:" label shows its text, not one flat block of colour.
    HWND label = testkit::FindChild(opened.front(), "Static");
    RECT lr;
    GetWindowRect(label, &lr);
    std::set<COLORREF> colours;
    for (LONG x = lr.left; x < lr.right; x += 2)
        colours.insert(testkit::ScreenPixel({x, (lr.top + lr.bottom) / 2}));
    EXPECT_GE(colours.size(), 2u);

    RECT r;
    GetWindowRect(form_->hwnd(), &r);
    bool writtenFirst = true;
    int calls = 0;
    recorder_.onCloseBrowsers = [&] {
        ++calls;
        writtenFirst = testkit::ValueExists(HKEY_CURRENT_USER, launcher::kSettingsKey, "MainLeft");
    };
    Click(Centre(5));  // Exit
    ASSERT_TRUE(testkit::PumpUntil([&] { return form_->hwnd() == nullptr; }));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(writtenFirst);
    EXPECT_TRUE(testkit::TopWindows(GetCurrentProcessId(), "WexaBrowserForm").empty());
    launchertest::ExpectRectangleWritten(r);
}

TEST(StartProcess, OnlyProgramsStartAndNothingIsShownOtherwise) {
    std::string doc = testkit::BinDir() + "\\startprocess-test.txt";
    testkit::WriteTextFile(doc, "not a program");
    // A web address and a document are not programs: nothing happens.
    for (const std::string& notProgram :
         Strings{"http://www.penwickleisure.com/", "\"" + doc + "\"", ""})
        EXPECT_FALSE(launcher::StartProcess(notProgram)) << notProgram;
    EXPECT_TRUE(launcher::StartProcess("cmd.exe /c exit 0"));
    DeleteFileA(doc.c_str());
}

// Windows refuses a program that asks for elevation (740) to CreateProcess;
// the shell starts it instead, after its consent prompt.
BOOL WINAPI AskForElevation(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                            DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
    SetLastError(740);
    return FALSE;
}
BOOL WINAPI NotFound(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                     LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}
Strings shellStarts;  // program|parameters|folder|show, and what else was asked
BOOL WINAPI RecordShellStart(SHELLEXECUTEINFOA* i) {
    shellStarts.push_back(std::string(i->lpFile) + "|" + (i->lpParameters ? i->lpParameters : "") +
                          "|" + (i->lpDirectory ? i->lpDirectory : "") + "|" +
                          std::to_string(i->nShow) + (i->lpVerb ? "|verb" : "") +
                          (i->fMask & SEE_MASK_FLAG_NO_UI ? "" : "|error boxes"));
    return FALSE;  // refused at the prompt
}

TEST(StartProcess, ProgramsAskingForElevationStartThroughTheShell) {
    launcher::ProcessStartCalls calls;
    calls.createProcess = AskForElevation;
    calls.shellExecuteEx = RecordShellStart;
    EXPECT_FALSE(launcher::StartProcess("kx\\setup.exe /lang=en", calls));
    EXPECT_FALSE(launcher::StartProcess("\"C:\\Kestrix Setup\\setup.exe\" \"%1\"", calls));
    calls.createProcess = NotFound;  // any other failure: no second try
    EXPECT_FALSE(launcher::StartProcess("kx\\setup.exe", calls));
    const std::string tail = "|" + Cwd() + "|" + std::to_string(SW_SHOWNORMAL);
    EXPECT_EQ(shellStarts, (Strings{"kx\\setup.exe|/lang=en" + tail,
                                    "C:\\Kestrix Setup\\setup.exe|\"%1\"" + tail}));

    // Through the real shell the program starts, with its parameters, here.
    std::string cd = testkit::BinDir() + "\\..\\cd", journal = Cwd() + "\\elevated.txt";
    SetEnvironmentVariableA("CDSTANDIN_JOURNAL", journal.c_str());
    SetEnvironmentVariableA("CDSTANDIN_QUIET", "1");
    calls.createProcess = AskForElevation;
    calls.shellExecuteEx = nullptr;
    EXPECT_TRUE(launcher::StartProcess("\"" + cd + "\\directx\\dxsetup.exe\" /q", calls));
    ASSERT_TRUE(testkit::WaitFor([&] { return !testkit::ReadLines(journal).empty(); }));
    std::string line = testkit::ReadLines(journal)[0];
    EXPECT_EQ(line.substr(0, 8), "directx|") << line;
    EXPECT_NE(line.find("dxsetup.exe\" /q|" + Cwd()), std::string::npos) << line;
    DeleteFileA(journal.c_str());
}

// A checked program asking for elevation goes to the shell by its resolved
// path, with the arguments its command gave.
BOOL WINAPI AskForElevationW(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                             DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION) {
    SetLastError(740);
    return FALSE;
}
BOOL WINAPI RecordShellStartW(SHELLEXECUTEINFOW* i) {
    shellStarts.push_back(widetext::Narrow(i->lpFile) + "|" +
                          widetext::Narrow(i->lpParameters ? i->lpParameters : L""));
    return FALSE;
}
TEST(StartProcess, ACheckedProgramAskingForElevationStartsByItsPath) {
    launcher::ProcessStartCalls calls;
    calls.createProcessW = AskForElevationW;
    calls.shellExecuteExW = RecordShellStartW;
    shellStarts.clear();
    EXPECT_FALSE(launcher::StartFileProcess(L"D:\\kx\\setup.exe", L"kx\\setup /lang=en", calls));
    EXPECT_FALSE(launcher::StartFileProcess(L"D:\\A B\\c.exe", L"\"A B\\c.exe\"", calls));
    EXPECT_EQ(shellStarts, (Strings{"D:\\kx\\setup.exe|/lang=en", "D:\\A B\\c.exe|"}));
}

// What is checked is what starts: until the launcher lets go of the file it
// checked, nobody changes, renames or deletes it.
TEST(DiscCheck, TheCheckedFileCannotBeSwappedWhileHeld) {
    const std::string path = testkit::BinDir() + "\\held.bin", moved = path + ".old";
    ASSERT_TRUE(testkit::WriteTextFile(path, "abc"));
    disclist::Entry entry = {{0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40,
                              0xde, 0x5d, 0xae, 0x22, 0x23, 0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17,
                              0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad},
                             3, "held.bin"};  // SHA-256 of "abc"
    scoped::FileHandle held;
    ASSERT_EQ(disccheck::CheckFile(widetext::Widen(path), entry, nullptr, {}, &held),
              disccheck::FileState::Good);
    EXPECT_FALSE(MoveFileExA(path.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(scoped::FileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 7, nullptr,
                                                OPEN_EXISTING, 0, nullptr)));
    held.reset();
    EXPECT_TRUE(MoveFileExA(path.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    DeleteFileA(moved.c_str());
}

}  // namespace

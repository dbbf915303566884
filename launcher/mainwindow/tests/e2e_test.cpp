// The real Setup.exe on the demo CD under Wine, driven by mouse and keyboard
// input and read through its accessibility object: what is on screen, what it
// starts (the stand-ins' journal), what it writes.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include "DebugCapture.h"
#include "Gui.h"
#include "Resource.h"
#include "Scoped.h"
#include "Testkit.h"
#include "WindowRectangle.h"

namespace {

using launchertest::kSettingsKey;
using testkit::WaitFor;
using Strings = std::vector<std::string>;
const char kInstallDir[] = "C:\\e2e kestrix\\Kestrix Basic";

// A picture inside Setup.exe, read from the file itself, loaded once.
struct Picture {
    scoped::GdiObject bitmap;
    scoped::MemoryDC dc{CreateCompatibleDC(nullptr)};
    Picture(HMODULE exe, int id)
        : bitmap(LoadImageA(exe, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)) {
        SelectObject(dc.get(), bitmap.get());
    }
    Picture(HMODULE exe, int id, LANGID language) {  // the 8-bit picture of one language
        HRSRC r = FindResourceExW(exe, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(id), language);
        auto* bmi = r ? static_cast<BITMAPINFO*>(LockResource(LoadResource(exe, r))) : nullptr;
        scoped::WindowDC screen(nullptr);  // (256 colours: the pixels follow)
        if (bmi) bitmap.reset(CreateDIBitmap(screen.get(), &bmi->bmiHeader, CBM_INIT,
                                             bmi->bmiColors + 256, bmi, DIB_RGB_COLORS));
        SelectObject(dc.get(), bitmap.get());
    }
    COLORREF Pixel(int x, int y) const { return bitmap ? GetPixel(dc.get(), x, y) : CLR_INVALID; }
};

class LauncherE2E : public ::testing::Test {
protected:
    void SetUp() override {
        std::string bin = testkit::BinDir();
        char root[MAX_PATH] = "";  // E2E_CD_ROOT: a drive's root ("D:\\"), else the build's CD
        GetEnvironmentVariableA("E2E_CD_ROOT", root, sizeof(root));
        cd_ = *root ? root : bin.substr(0, bin.rfind('\\')) + "\\cd";
        journal_ = bin + "\\e2e-journal-" + std::to_string(GetCurrentProcessId()) + ".txt";
        TearDown();
        // Inherited by Setup.exe and from it by the stand-ins it starts.
        SetEnvironmentVariableA("CDSTANDIN_JOURNAL", journal_.c_str());
        SetEnvironmentVariableA("CDSTANDIN_QUIET", "1");
        SetEnvironmentVariableA("CDSTANDIN_INSTALL_DIR", kInstallDir);
    }
    void TearDown() override {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        if (process_) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
            CloseHandle(process_);
            process_ = nullptr;
        }
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, "KestrixBasicFile");
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, ".kxb");
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
        testkit::RemoveTree("C:\\e2e kestrix");
        DeleteFileA(journal_.c_str());
    }
    std::string OnCd(const std::string& name) const {
        return cd_ + (cd_.back() == '\\' ? "" : "\\") + name;
    }
    // Setup.exe from the CD's root, as autorun starts it, or exe from folder.
    void StartSetup(int show = -1, std::string exe = "", const std::string& folder = "") {
        if (exe.empty()) exe = OnCd("Setup.exe");
        process_ = testkit::Start("\"" + exe + "\"", folder.empty() ? cd_ : folder, show);
        ASSERT_TRUE(process_);
        auto mine = [&] { return testkit::TopWindows(GetProcessId(process_), "WexaLauncherMain"); };
        ASSERT_TRUE(WaitFor([&] { return !mine().empty(); }));  // its window, shown
        main_ = mine()[0];
    }
    DWORD SecondStart() const {  // its exit code: 0 when it has handed over
        return testkit::RunAndWait("\"" + OnCd("Setup.exe") + "\"", 30000, cd_);
    }
    void Close() {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForSingleObject(process_, testkit::kPatienceMs), WAIT_OBJECT_0);
    }
    POINT Screen(int x, int y) const {
        POINT p = {x, y};
        ClientToScreen(main_, &p);
        return p;
    }
    void ClickAt(int x, int y) { testkit::Click(Screen(x, y)); }
    // The stand-ins' journal, role|command line|current folder a line: waits
    // for line n (from 1) and returns it.
    std::string JournalLine(size_t n) const {
        WaitFor([&] { return testkit::ReadLines(journal_).size() >= n; });
        Strings lines = testkit::ReadLines(journal_);
        return lines.size() >= n ? lines[n - 1] : "(missing)";
    }
    std::string cd_, journal_;
    HANDLE process_ = nullptr;
    HWND main_ = nullptr;
};

TEST_F(LauncherE2E, InstallRunEveryCommandAndCloseFromTheDemoCd) {
    HMODULE exe = LoadLibraryExA(OnCd("Setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe) << cd_;
    if (cd_.size() == 3) {  // a disc in a CD-ROM drive, read-only
        EXPECT_EQ(GetDriveTypeA(cd_.c_str()), static_cast<UINT>(DRIVE_CDROM));
        EXPECT_TRUE(GetFileAttributesA(OnCd("Setup.exe").c_str()) & FILE_ATTRIBUTE_READONLY);
    }
    StartSetup();
    // Right of where browser windows open, so that they never cover the panel.
    SetWindowPos(main_, nullptr, GetSystemMetrics(SM_CXSCREEN) - 560, 40, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);

    // On screen: the panel with its bullets dark, then one lit under the pointer.
    const COLORREF normal = Picture(exe, IDB_BUTTON).Pixel(8, 12);
    const COLORREF hot = Picture(exe, IDB_BUTTONHOT).Pixel(8, 12);
    ASSERT_NE(normal, hot);
    auto bullet = [&](int top) { return testkit::ScreenPixel(Screen(16 + 8, top + 12)); };
    EXPECT_TRUE(WaitFor([&] { return bullet(122) == normal; }));
    testkit::MoveMouse(Screen(150, 136));  // hotspot 3
    EXPECT_TRUE(WaitFor([&] { return bullet(122) == hot; })) << "bullet 3 did not light";
    EXPECT_EQ(bullet(92), normal);
    testkit::MoveMouse(Screen(300, 275));  // free background
    EXPECT_TRUE(WaitFor([&] { return bullet(122) == normal; }));

    // Install: the CD's setup starts from the CD's folder and registers the
    // product; within a second button 1 shows the run picture.
    ClickAt(100, 65);
    EXPECT_EQ(JournalLine(1), "kxsetup|kx\\setup.exe|" + cd_);
    POINT differs = {-1, -1};
    const Picture runPicture(exe, IDB_RUNKX), installPicture(exe, IDB_INSTKX);
    for (int y = 0; y < 34 && differs.x < 0; ++y)
        for (int x = 0; x < 166 && differs.x < 0; ++x)
            if (runPicture.Pixel(x, y) != installPicture.Pixel(x, y)) differs = {x, y};
    ASSERT_GE(differs.x, 0);
    const COLORREF run = runPicture.Pixel(differs.x, differs.y);
    FreeLibrary(exe);
    EXPECT_TRUE(WaitFor([&] {
        return testkit::ScreenPixel(Screen(37 + differs.x, 48 + differs.y)) == run;
    })) << "button 1 did not switch to the run picture";

    // Run, in the product's own folder (clicked a little away from the first
    // click, so that the two never make a double-click); then the other
    // programs, from the CD's folder, by bullet or by caption; then the web
    // site and the catalogue, a browser window each.
    const std::string product = std::string("\"") + kInstallDir + "\\KestrixBasic.exe\"";
    const struct {
        POINT at;
        std::string line;  // the journal's next line ("": a browser window opens)
    } clicks[] = {{{130, 65}, "kestrix|" + product + "|" + kInstallDir},
                  {{24, 104}, "directx|directx\\dxsetup.exe|" + cd_},   // bullet 2
                  {{150, 136}, "iesetup|ie\\iesetup.exe|" + cd_},       // hotspot 3
                  {{120, 164}, "solvane|brenvik\\brenvik.exe|" + cd_},  // hotspot 4
                  {{24, 196}, ""},                                      // bullet 6
                  {{150, 224}, ""}};                                    // hotspot 7
    size_t lines = 1, browsers = 0;
    for (const auto& c : clicks) {
        ClickAt(c.at.x, c.at.y);
        EXPECT_EQ(c.line.empty() ? "" : JournalLine(++lines), c.line);
        EXPECT_TRUE(WaitFor([&] {
            return testkit::TopWindows(GetProcessId(process_), "WexaBrowserForm").size() ==
                   browsers + c.line.empty();
        })) << c.at.x
            << "," << c.at.y;
        browsers += c.line.empty();
    }
    std::string addresses = "|";  // the catalogue page opens from the CD's folder
    for (HWND b : testkit::TopWindows(GetProcessId(process_), "WexaBrowserForm"))
        addresses += testkit::WindowText(testkit::FindChild(b, "ComboBox")) + "|";
    EXPECT_NE(addresses.find("|" + OnCd("catalog.htm") + "|"), std::string::npos) << addresses;

    // Exit: browser windows and the launcher close, the rectangle is written.
    RECT r;
    ASSERT_TRUE(GetWindowRect(main_, &r));
    ClickAt(50, 252);  // hotspot 5
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(main_); })) << "Exit was not taken";
    ASSERT_EQ(WaitForSingleObject(process_, testkit::kPatienceMs), WAIT_OBJECT_0)
        << "closed, but still running";
    DWORD code = 1;
    GetExitCodeProcess(process_, &code);
    EXPECT_EQ(code, 0u);
    launchertest::ExpectRectangleWritten(r);
    EXPECT_EQ(testkit::ReadLines(journal_).size(), 5u);  // nothing else was started
}

TEST_F(LauncherE2E, StartsMinimisedWhenAskedAndThenLeavesTheRectangleAlone) {
    ASSERT_TRUE(testkit::WriteString(HKEY_CURRENT_USER, kSettingsKey, "MainLeft", "1234"));
    StartSetup(SW_SHOWMINNOACTIVE);  // as a shortcut set to "Minimized" starts it
    EXPECT_TRUE(IsIconic(main_));
    Close();
    std::string left;  // the earlier value stays, nothing is added
    EXPECT_TRUE(testkit::ReadString(HKEY_CURRENT_USER, kSettingsKey, "MainLeft", &left));
    EXPECT_EQ(left, "1234");
    for (const char* name : {"MainTop", "MainWidth", "MainHeight"})
        EXPECT_FALSE(testkit::ValueExists(HKEY_CURRENT_USER, kSettingsKey, name)) << name;
}

// The demo's setup.dat as a text editor saves it, in UTF-8 and in UTF-16 LE,
// each with its mark, on a copy of the CD: commands 1 and 3 start fields 1 and 3.
TEST_F(LauncherE2E, ReadsSetupDatSavedAsUnicodeByATextEditor) {
    std::string text = testkit::ReadTextFile(cd_ + "\\setup.dat"), utf16 = "\xFF\xFE";
    for (char c : text) utf16 += {c, '\0'};
    for (const std::string& saved : {"\xEF\xBB\xBF" + text, utf16}) {
        SetUp();
        cd_ += "-marked";
        ASSERT_TRUE(testkit::WriteTextFile(cd_ + "\\setup.dat", saved));
        StartSetup();
        ClickAt(100, 65);
        EXPECT_EQ(JournalLine(1), "kxsetup|kx\\setup.exe|" + cd_) << saved.size();
        ClickAt(150, 136);
        EXPECT_EQ(JournalLine(2), "iesetup|ie\\iesetup.exe|" + cd_) << saved.size();
        const char kDone[] = "KestrixBasicFile\\Shell\\Open\\Command";  // the CD's setup is done
        EXPECT_TRUE(WaitFor([&] { return testkit::ValueExists(HKEY_CLASSES_ROOT, kDone, ""); }));
        Close();
    }
}

// Started from a console elsewhere the launcher finds its CD beside itself;
// autorun's "open=bin\\Setup.exe" keeps the root current (command 3's folder).
TEST_F(LauncherE2E, FindsItsCdFromAnyStartFolder) {
    const std::string copy = cd_ + "-marked";
    ASSERT_TRUE(testkit::MakeFolders(copy + "\\bin"));
    ASSERT_TRUE(
        CopyFileA((copy + "\\Setup.exe").c_str(), (copy + "\\bin\\Setup.exe").c_str(), FALSE));
    const struct {
        std::string exe, folder, cd;
    } starts[] = {{OnCd("Setup.exe"), "C:\\users", cd_}, {copy + "\\bin\\Setup.exe", copy, copy}};
    for (const auto& s : starts) {
        SetUp();
        StartSetup(-1, s.exe, s.folder);
        ClickAt(150, 136);
        EXPECT_EQ(JournalLine(1), "iesetup|ie\\iesetup.exe|" + s.cd) << s.exe;
        Close();
    }
}

// A first launcher that has stopped answering (a minimised window on this
// thread, which answers nothing meanwhile) never holds up a second start;
// with the name held and no window at all, the second start opens its own.
TEST_F(LauncherE2E, ASecondStartNeverWaitsOnTheFirstLauncher) {
    HANDLE name = CreateMutexA(nullptr, FALSE, "Local\\WexaLauncher.KestrixBasic");
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.lpszClassName = "WexaLauncherMain";
    RegisterClassA(&c);
    scoped::Window hung(CreateWindowA(c.lpszClassName, "", WS_POPUP | WS_MINIMIZE | WS_VISIBLE, 0,
                                      0, 9, 9, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(SecondStart(), 0u) << "the second start waits on the first";
    hung.reset();
    StartSetup();  // the name still held, no window: this one opens its own
    Close();
    CloseHandle(name);
}

// Another disc's launcher is not a second start of this one: with the
// demo's window open, the second test disc's Setup.exe opens its own.
TEST_F(LauncherE2E, AnotherDiscsLauncherOpensItsOwnWindow) {
    StartSetup();
    const HANDLE demo = process_;
    const HWND demoWindow = main_;
    const std::string bin = testkit::BinDir(), atlas = bin.substr(0, bin.rfind('\\')) + "\\atlas-cd";
    process_ = nullptr;
    StartSetup(-1, atlas + "\\Setup.exe", atlas);
    Close();
    CloseHandle(process_);
    process_ = demo;
    main_ = demoWindow;
    Close();
}

// IID_IAccessible: the import library's symbol does not link as data here.
const IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Setup.exe in a folder with DLLs planted under system libraries' names
// (uxtheme: the first window; msacm32: WINMM's import, the first sound),
// then with every library it loads late missing: it takes no planted copy,
// and through a sound, a browser window, a screen reader's question and Exit
// a missing library never raises the delay-load helper's exception (Wine
// would swallow it inside a window procedure; Windows would not).
struct DebuggedSetup {
    std::string commandLine, folder;
    testkit::CapturedRun run;
};
DWORD WINAPI RunDebugged(void* s) {
    auto* setup = static_cast<DebuggedSetup*>(s);
    setup->run = testkit::RunCapturingDebugOutput(setup->commandLine, setup->folder);
    return 0;
}

TEST_F(LauncherE2E, LateLibrariesComeFromTheSystemFolderOrFailQuietly) {
    const std::string planted = testkit::BinDir() + "\\..\\planted\\", cd = cd_;
    const char kOverrides[] = "Software\\Wine\\AppDefaults\\Setup.exe\\DllOverrides";
    const char* const dlls[] = {"uxtheme.dll", "msacm32.dll"};
    const struct {
        const char* dlls[6];
        const char* order;  // Wine's load order for them: native first, or none
    } runs[] = {{{"uxtheme", "msacm32"}, "native,builtin"},
                {{"winmm", "oleacc", "comctl32", "ole32", "oleaut32", "shell32"}, ""}};
    for (const auto& r : runs) {
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kOverrides);
        for (const char* dll : r.dlls)
            EXPECT_TRUE(!dll || testkit::WriteString(HKEY_CURRENT_USER, kOverrides, dll, r.order));
        cd_ = testkit::BinDir() + "\\e2e-planted";
        testkit::RemoveTree(cd_);
        ASSERT_TRUE(testkit::MakeFolders(cd_));
        for (std::string file : {cd + "\\Setup.exe", cd + "\\setup.dat", planted + dlls[0],
                                 planted + dlls[1]})
            ASSERT_TRUE(CopyFileA(file.c_str(), OnCd(file.substr(file.rfind('\\') + 1)).c_str(),
                                  FALSE));
        static DebuggedSetup setup;  // outlives a failed case's debugger thread
        setup = {"\"" + OnCd("Setup.exe") + "\"", cd_, {}};
        scoped::Handle debugger(CreateThread(nullptr, 0, RunDebugged, &setup, 0, nullptr));
        main_ = testkit::WaitForWindow("WexaLauncherMain", "Kestrix Basic");
        ASSERT_TRUE(main_) << r.dlls[0];  // (the debugged launcher then ends with the test)
        testkit::MoveMouse(Screen(150, 196));  // hotspot 6: lit, with its sound
        ClickAt(150, 196);                     // a browser window
        DWORD_PTR answer = 0;  // a screen reader's first question
        SendMessageTimeoutA(main_, WM_GETOBJECT, 0, OBJID_CLIENT, 0, 30000, &answer);
        ClickAt(50, 252);  // Exit, after the click before it
        ASSERT_EQ(WaitForSingleObject(debugger.get(), testkit::kPatienceMs), WAIT_OBJECT_0)
            << r.dlls[0];
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kOverrides);
        EXPECT_EQ(setup.run.exitCode, 0u) << r.dlls[0];
        for (DWORD code : setup.run.exceptions)  // VcppException(severity error, ...)
            EXPECT_NE(code & 0xFFFF0000, 0xC06D0000u) << r.dlls[0] << std::hex << code;
        for (const char* dll : dlls)
            EXPECT_FALSE(testkit::FileExists(OnCd(dll) + ".loaded")) << dll;
        testkit::RemoveTree(cd_);
    }
}

VARIANT Child(long k) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = k;
    return v;
}

std::vector<long> focusEvents;  // the launcher's focus events, by child
void CALLBACK RecordFocus(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) focusEvents.push_back(child);
}

std::string Utf8(BSTR b) {
    std::string s;
    for (UINT i = 0; b && i < SysStringLen(b); ++i) s += static_cast<char>(b[i]);
    SysFreeString(b);
    return s;
}

// What a screen reader hears: the buttons by their captions, as push buttons
// with their tips, the lit one as the focus, following the keys.
TEST_F(LauncherE2E, KeyboardAndScreenReaderWorkThePanelAndASecondStartEndsAtOnce) {
    StartSetup();
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main_; }));
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IAccessible* panel = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(main_, OBJID_CLIENT, kIAccessible,
                                         reinterpret_cast<void**>(&panel)),
              S_OK);
    long count = 0;
    EXPECT_EQ(panel->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 7);
    const char* names[] = {"Install Kestrix Basic", "Install DirectX",
                           "Install Internet Explorer", "Install Solvane Client", "Exit",
                           "Visit the Kestrix Basic website", "Visit the Penwick Leisure website"};
    for (long k = 1; k <= 7; ++k) {
        BSTR name = nullptr, action = nullptr;
        VARIANT role;
        panel->get_accName(Child(k), &name);
        panel->get_accDefaultAction(Child(k), &action);
        panel->get_accRole(Child(k), &role);
        EXPECT_EQ(Utf8(name), names[k - 1]);
        EXPECT_EQ(Utf8(action), "Press");
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    }
    BSTR tip = nullptr;
    panel->get_accDescription(Child(5), &tip);
    EXPECT_EQ(Utf8(tip), "Click now to exit");
    long x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(panel->accLocation(&x, &y, &w, &h, Child(3)), S_OK);
    POINT corner = Screen(32, 120);  // hotspot 3's top left
    EXPECT_EQ(x, corner.x);
    EXPECT_EQ(y, corner.y);
    VARIANT hit;
    EXPECT_EQ(panel->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 3);

    auto focus = [&] {
        VARIANT f;
        VariantInit(&f);
        panel->get_accFocus(&f);
        return f.vt == VT_I4 ? f.lVal : -1;
    };
    const struct {
        WORD vk;
        bool shift;
        long lit;
    } keys[] = {{VK_DOWN, false, 1}, {VK_TAB, false, 2}, {VK_TAB, false, 3},
                {VK_TAB, false, 4},  {VK_TAB, false, 6}, {VK_TAB, true, 4},
                {VK_HOME, false, 1}, {VK_UP, false, 5},  {VK_TAB, false, 1},
                {VK_END, false, 5},  {VK_UP, false, 7},  {VK_HOME, false, 1},
                {VK_DOWN, false, 2}, {VK_DOWN, false, 3}};
    for (const auto& k : keys) {
        testkit::Key(k.vk, k.shift);
        EXPECT_TRUE(WaitFor([&] { return focus() == k.lit; })) << k.vk << " gave " << focus();
    }
    testkit::Key(VK_SPACE);  // runs button 3
    EXPECT_EQ(JournalLine(1), "iesetup|ie\\iesetup.exe|" + cd_);
    // Held down, Enter and Space repeat: button 3 does not run again.
    for (WPARAM vk : {VK_RETURN, VK_SPACE}) PostMessageA(main_, WM_KEYDOWN, vk, 0x40000001);
    EXPECT_EQ(panel->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(JournalLine(2), "directx|directx\\dxsetup.exe|" + cd_);
    testkit::Key(VK_RETURN);  // Enter presses the lit button as Space does
    EXPECT_EQ(JournalLine(3), "iesetup|ie\\iesetup.exe|" + cd_);

    // The focus is the lit button's only while the launcher has the keyboard
    // focus, and each change of it is told (hot: the button lit, 0 none).
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                                         RecordFocus, GetProcessId(process_), 0, 0);
    scoped::Window other(CreateWindowA("Button", "other", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                       nullptr, nullptr));
    ShowWindow(other.get(), SW_SHOWNOACTIVATE);
    const long kNoEvent = -2;
    auto hot = [&](long k) {
        VARIANT v;
        return !k ||
               (panel->get_accState(Child(k), &v) == S_OK && v.lVal & STATE_SYSTEM_HOTTRACKED);
    };
    const struct {
        const char* step;
        std::function<void()> act;
        long hot, focus, event;
    } steps[] = {
        {"pointer onto hotspot 6", [&] { testkit::MoveMouse(Screen(150, 196)); }, 6, 6, 6},
        {"pointer onto the background", [&] { testkit::MoveMouse(Screen(300, 275)); }, 0, 0, 0},
        {"another window active", [&] { SetForegroundWindow(other.get()); }, 0, -1, kNoEvent},
        {"pointer onto hotspot 3", [&] { testkit::MoveMouse(Screen(150, 136)); }, 3, -1, kNoEvent},
        {"launcher active again", [&] { SetForegroundWindow(main_); }, 3, 3, 3},
        {"other active, 3 lit", [&] { SetForegroundWindow(other.get()); }, 3, -1, kNoEvent},
        {"launcher back, pointer still", [&] { SetForegroundWindow(main_); }, 3, 3, 3},
    };
    for (const auto& s : steps) {
        focusEvents.clear();
        s.act();
        EXPECT_TRUE(testkit::PumpUntil([&] {
            return hot(s.hot) && focus() == s.focus &&
                   (s.event == kNoEvent || (!focusEvents.empty() && focusEvents.back() == s.event));
        })) << s.step
            << ": focus " << focus();
        testkit::Pump();
        EXPECT_TRUE(s.event != kNoEvent || focusEvents.empty()) << s.step;
    }
    UnhookWinEvent(hook);
    // A second start (autorun, then a double-click on the disc) ends at once,
    // with the first launcher in front: restored, or raised over another window.
    RECT r;
    GetWindowRect(main_, &r);
    for (bool minimised : {true, false}) {
        if (!minimised)
            SetWindowPos(other.get(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         0);
        // Asked again while it does not hold: the first launcher may still be
        // finishing its last hand-over, which can take the foreground back.
        ASSERT_TRUE(testkit::PumpUntil([&] {
            if (minimised ? IsIconic(main_) : GetForegroundWindow() == other.get()) return true;
            minimised ? ShowWindow(main_, SW_MINIMIZE) : SetForegroundWindow(other.get());
            return false;
        })) << minimised;
        EXPECT_EQ(SecondStart(), 0u);
        EXPECT_TRUE(testkit::PumpUntil([&] {
            HWND top = GetTopWindow(nullptr);  // the first of the two in Z-order
            while (top && top != main_ && top != other.get()) top = GetWindow(top, GW_HWNDNEXT);
            return !IsIconic(main_) && GetForegroundWindow() == main_ && top == main_;
        })) << (minimised ? "minimised" : "covered")
            << ": foreground "
            << (GetForegroundWindow() == main_         ? "launcher"
                : GetForegroundWindow() == other.get() ? "other"
                                                       : "neither")
            << ", iconic " << IsIconic(main_) << ", launcher on top "
            << (GetWindow(main_, GW_HWNDPREV) == nullptr);
    }
    // Once the launcher has gone, the reader's object fails but holds.
    Close();
    EXPECT_TRUE(FAILED(panel->get_accChildCount(&count)));
    EXPECT_EQ(testkit::ReadLines(journal_).size(), 3u);  // no repeated command
    panel->Release();
    CoUninitialize();
}

// At the display's scale (150 % when the scaled-display test runs it): the
// client area is the design size times dpi/96, and the hotspots are where
// the scaled picture shows them.
TEST_F(LauncherE2E, WindowAndHotspotsFollowTheDisplayScale) {
    const int dpi = testkit::ScreenDpi();
    ASSERT_EQ(dpi, testkit::ExpectedDpi());
    StartSetup();
    RECT client;
    GetClientRect(main_, &client);
    EXPECT_EQ(client.right, MulDiv(404, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(288, dpi, 96));
    ClickAt(MulDiv(150, dpi, 96), MulDiv(136, dpi, 96));  // hotspot 3
    EXPECT_EQ(JournalLine(1), "iesetup|ie\\iesetup.exe|" + cd_);
}

// In the user's language (Wine's follows LC_ALL, as Setup.exe's does): German
// names, tips and pictures; for a language the demo lacks, its first: English.
TEST_F(LauncherE2E, SpeaksTheUsersLanguageElseTheDemosFirst) {
    const bool german = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN;
    const LANGID shown = german ? 0x0407 : 0x0409, other = german ? 0x0409 : 0x0407;
    HMODULE exe = LoadLibraryExA(OnCd("Setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    StartSetup();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IAccessible* panel = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(main_, OBJID_CLIENT, kIAccessible,
                                         reinterpret_cast<void**>(&panel)),
              S_OK);
    const char* names[][2] = {
        {"Install Kestrix Basic", "Kestrix installieren"},
        {"Install DirectX", "DirectX installieren"},
        {"Install Internet Explorer", "Internet Explorer installieren"},
        {"Install Solvane Client", "Solvane installieren"},
        {"Exit", "Ende"},
        {"Visit the Kestrix Basic website", "Zur Kestrix-Basic-Website"},
        {"Visit the Penwick Leisure website", "Zur Website von Penwick Leisure"}};
    BSTR text = nullptr;
    for (long k = 1; k <= 7; ++k, text = nullptr) {
        panel->get_accName(Child(k), &text);
        EXPECT_EQ(Utf8(text), names[k - 1][german]) << k;
    }
    panel->Release();
    CoUninitialize();

    // On screen, where the two languages' pictures differ: the chosen one's.
    const struct { int id, left, top; } pictures[] = {{IDB_BACKGROUND, 0, 0}, {IDB_INSTKX, 37, 48}};
    for (const auto& p : pictures) {
        const Picture mine(exe, p.id, shown), theirs(exe, p.id, other);
        BITMAP bm = {};
        GetObjectA(mine.bitmap.get(), sizeof(bm), &bm);  // none: no pixel differs, and fails
        POINT at = {-1, -1};
        for (int y = 0; y < bm.bmHeight && at.x < 0; ++y)
            for (int x = 0; x < bm.bmWidth && at.x < 0; ++x)
                if (mine.Pixel(x, y) != theirs.Pixel(x, y)) at = {x, y};
        POINT screen = Screen(p.left + at.x, p.top + at.y);
        EXPECT_TRUE(WaitFor([&] { return testkit::ScreenPixel(screen) == mine.Pixel(at.x, at.y); }))
            << p.id << " at " << at.x << "," << at.y;
    }
    FreeLibrary(exe);
}

}  // namespace

// The real Setup.exe started from the demo CD folder under Wine, driven by
// mouse input like a user: what is on screen, which programs were started
// (read from the stand-ins' journal) and what is in the registry after it
// closed; and Setup's browser windows, three for three clicks on button 6,
// all closed by Exit.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>  // before the other system headers, which need it
#include <commctrl.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

#include "Resource.h"
#include "Testkit.h"
#include "WindowRectangle.h"

namespace {

using launchertest::kSettingsKey;
const char kInstallDir[] = "C:\\e2e kestrix\\Kestrix Basic";

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 2] = {};
    DWORD n = GetFullPathNameA(path.c_str(), sizeof(buffer), buffer, nullptr);
    return n && n < sizeof(buffer) ? std::string(buffer, n) : path;
}

bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs = 20000) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

struct JournalLine {
    std::string role, commandLine, folder;
};

std::vector<JournalLine> ReadJournal(const std::string& file) {
    std::vector<JournalLine> lines;
    std::string text = testkit::ReadTextFile(file);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) break;  // a line still being written
        std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        size_t a = line.find('|'), b = line.rfind('|');
        if (a == std::string::npos || a == b) continue;
        lines.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return lines;
}

// Pixels of the pictures inside Setup.exe, read from the file itself.
class SetupPictures {
public:
    explicit SetupPictures(const std::string& exe)
        : module_(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~SetupPictures() {
        if (module_) FreeLibrary(module_);
    }
    bool ok() const { return module_ != nullptr; }
    COLORREF Pixel(int id, int x, int y) const {
        HBITMAP b = static_cast<HBITMAP>(
            LoadImageA(module_, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
        if (!b) return CLR_INVALID;
        HDC screen = GetDC(nullptr);
        HDC m = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(m, b);
        COLORREF c = GetPixel(m, x, y);
        SelectObject(m, old);
        DeleteDC(m);
        ReleaseDC(nullptr, screen);
        DeleteObject(b);
        return c;
    }

private:
    HMODULE module_;
};

COLORREF ScreenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    HDC m = CreateCompatibleDC(screen);
    HBITMAP b = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ old = SelectObject(m, b);
    BitBlt(m, 0, 0, 1, 1, screen, p.x, p.y, SRCCOPY);
    COLORREF c = GetPixel(m, 0, 0);
    SelectObject(m, old);
    DeleteObject(b);
    DeleteDC(m);
    ReleaseDC(nullptr, screen);
    return c;
}

// A control's text in another process: GetWindowText would not ask it.
std::string RemoteText(HWND hwnd) {
    char buffer[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return buffer;
}

struct BrowserSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectBrowser(HWND hwnd, LPARAM lp) {
    BrowserSearch* s = reinterpret_cast<BrowserSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == s->pid && IsWindowVisible(hwnd) && lstrcmpA(cls, "WexaBrowserForm") == 0)
        s->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK FindCombo(HWND hwnd, LPARAM lp) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (lstrcmpiA(cls, "ComboBox") != 0) return TRUE;
    *reinterpret_cast<HWND*>(lp) = hwnd;
    return FALSE;
}

class LauncherE2E : public ::testing::Test {
protected:
    void SetUp() override {
        cd_ = FullPath(testkit::BinDir() + "\\..\\cd");
        journal_ = testkit::BinDir() + "\\e2e-journal-" + std::to_string(GetCurrentProcessId()) +
                   ".txt";
        DeleteFileA(journal_.c_str());
        Uninstall();
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
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
        }
        Uninstall();
        testkit::RemoveTree("C:\\e2e kestrix");
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
        DeleteFileA(journal_.c_str());
    }
    void Uninstall() {
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, "KestrixBasicFile");
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, ".kxb");
    }

    POINT Screen(int x, int y) const {
        POINT p = {x, y};
        ClientToScreen(main_, &p);
        return p;
    }
    static void Send(DWORD flags, POINT p) {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof(in));
    }
    void MoveTo(int x, int y) {
        Send(0, Screen(x, y));
        Sleep(100);
    }
    void ClickAt(int x, int y) {
        POINT p = Screen(x, y);
        Send(0, p);
        Sleep(100);
        Send(MOUSEEVENTF_LEFTDOWN, p);
        Sleep(50);
        Send(MOUSEEVENTF_LEFTUP, p);
        Sleep(100);
    }
    bool JournalHas(const std::string& role, JournalLine* found = nullptr) {
        return WaitFor([&] {
            for (const JournalLine& l : ReadJournal(journal_))
                if (l.role == role) {
                    if (found) *found = l;
                    return true;
                }
            return false;
        });
    }
    struct WindowSearch {
        DWORD pid;
        HWND main;
        int count;
    };
    static BOOL CALLBACK CountWindow(HWND w, LPARAM lp) {
        WindowSearch* s = reinterpret_cast<WindowSearch*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof(cls));
        if (pid == s->pid && w != s->main && IsWindowVisible(w) &&
            lstrcmpiA(cls, "tooltips_class32") != 0) {
            ++s->count;
            // Out of the way of the launcher's panel, which the test goes on clicking.
            SetWindowPos(w, HWND_BOTTOM, GetSystemMetrics(SM_CXSCREEN) - 200,
                         GetSystemMetrics(SM_CYSCREEN) - 150, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return TRUE;
    }
    // Visible top-level windows of Setup other than its main window.
    int OtherVisibleWindows() const {
        WindowSearch s = {pid_, main_, 0};
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&s));
        return s.count;
    }

    // Setup's browser windows.
    std::vector<HWND> BrowserWindows() const {
        BrowserSearch s = {pid_, {}};
        EnumWindows(CollectBrowser, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    std::string cd_, journal_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
};

TEST_F(LauncherE2E, InstallRunEveryCommandAndCloseFromTheDemoCd) {
    std::string setup = cd_ + "\\Setup.exe";
    ASSERT_TRUE(testkit::FileExists(setup)) << setup;
    SetupPictures pictures(setup);
    ASSERT_TRUE(pictures.ok());

    process_ = testkit::Start("\"" + setup + "\"", cd_);
    ASSERT_TRUE(process_);
    pid_ = GetProcessId(process_);
    main_ = testkit::WaitForWindow("WexaLauncherMain", "Kestrix Basic", 30000);
    ASSERT_TRUE(main_);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main_) != FALSE; }));

    // On screen: the panel with its bullets dark, then one lit under the pointer.
    const COLORREF normal = pictures.Pixel(IDB_BUTTON, 8, 12);
    const COLORREF hot = pictures.Pixel(IDB_BUTTONHOT, 8, 12);
    ASSERT_NE(normal, hot);
    auto bullet = [&](int top) { return ScreenPixel(Screen(16 + 8, top + 12)); };
    EXPECT_TRUE(WaitFor([&] { return bullet(122) == normal; }));
    MoveTo(150, 136);  // hotspot 3
    EXPECT_TRUE(WaitFor([&] { return bullet(122) == hot; })) << "bullet 3 did not light";
    EXPECT_EQ(bullet(92), normal);
    MoveTo(300, 275);  // free background
    EXPECT_TRUE(WaitFor([&] { return bullet(122) == normal; }));

    // Install: the CD's setup starts from the CD's folder and registers the
    // product; within a second button 1 shows the run picture.
    ClickAt(100, 65);
    JournalLine line;
    ASSERT_TRUE(JournalHas("kxsetup", &line));
    EXPECT_EQ(line.commandLine, "kx\\setup.exe");
    EXPECT_EQ(FullPath(line.folder), cd_);
    POINT differs = {-1, -1};
    for (int y = 0; y < 34 && differs.x < 0; ++y)
        for (int x = 0; x < 166 && differs.x < 0; ++x)
            if (pictures.Pixel(IDB_RUNKX, x, y) != pictures.Pixel(IDB_INSTKX, x, y))
                differs = {x, y};
    ASSERT_GE(differs.x, 0);
    const COLORREF runPixel = pictures.Pixel(IDB_RUNKX, differs.x, differs.y);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(Screen(37 + differs.x, 48 + differs.y)) == runPixel; }))
        << "button 1 did not switch to the run picture";

    // Run: the installed product starts in its own folder. (Clicked a little
    // away from the first click, so that the two never make a double-click.)
    ClickAt(130, 65);
    ASSERT_TRUE(JournalHas("kestrix", &line));
    EXPECT_EQ(line.commandLine, std::string("\"") + kInstallDir + "\\KestrixBasic.exe\"");
    EXPECT_EQ(line.folder, kInstallDir);

    // The other programs, from the CD's folder, by bullet or by caption.
    ClickAt(24, 104);  // bullet 2
    ASSERT_TRUE(JournalHas("directx", &line));
    EXPECT_EQ(line.commandLine, "directx\\dxsetup.exe");
    EXPECT_EQ(FullPath(line.folder), cd_);
    ClickAt(150, 136);  // hotspot 3
    ASSERT_TRUE(JournalHas("iesetup", &line));
    EXPECT_EQ(line.commandLine, "ie\\iesetup.exe");
    ClickAt(120, 164);  // hotspot 4
    ASSERT_TRUE(JournalHas("solvane", &line));
    EXPECT_EQ(line.commandLine, "brenvik\\brenvik.exe");
    EXPECT_EQ(FullPath(line.folder), cd_);

    // Web site and catalogue: a browser window each.
    ClickAt(24, 196);  // bullet 6
    EXPECT_TRUE(WaitFor([&] { return OtherVisibleWindows() == 1; }));
    ClickAt(150, 224);  // hotspot 7
    EXPECT_TRUE(WaitFor([&] { return OtherVisibleWindows() == 2; }));

    // Exit: browser windows and the launcher close, the rectangle is written.
    RECT r;
    ASSERT_TRUE(GetWindowRect(main_, &r));
    ClickAt(50, 252);  // hotspot 5
    ASSERT_EQ(WaitForSingleObject(process_, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process_, &code);
    EXPECT_EQ(code, 0u);
    launchertest::ExpectRectangleWritten(r);

    // Nothing else was started.
    std::vector<JournalLine> all = ReadJournal(journal_);
    EXPECT_EQ(all.size(), 5u);
}

TEST_F(LauncherE2E, StartsMinimisedWhenAskedAndThenLeavesTheRectangleAlone) {
    ASSERT_TRUE(testkit::WriteString(HKEY_CURRENT_USER, kSettingsKey, "MainLeft", "1234"));
    // Started as a shortcut set to "Minimized" starts it.
    std::string cmd = "\"" + cd_ + "\\Setup.exe\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, cd_.c_str(),
                               &si, &pi));
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    main_ = testkit::WaitForWindow("WexaLauncherMain", "Kestrix Basic", 30000);
    ASSERT_TRUE(main_);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main_) != FALSE; }));
    EXPECT_TRUE(IsIconic(main_));

    // Closed while minimised: the earlier values stay, nothing is added.
    PostMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process_, 30000), WAIT_OBJECT_0);
    std::string left;
    ASSERT_TRUE(testkit::ReadString(HKEY_CURRENT_USER, kSettingsKey, "MainLeft", &left));
    EXPECT_EQ(left, "1234");
    EXPECT_FALSE(testkit::ValueExists(HKEY_CURRENT_USER, kSettingsKey, "MainTop"));
}

TEST_F(LauncherE2E, ButtonSixThriceOpensThreeBrowserWindowsAndExitClosesThem) {
    // A CD of the test's own whose web site address is a page on the local
    // disk: nothing goes to the network.
    cd_ = FullPath(testkit::BinDir() + "\\..\\browser-e2e-cd");
    testkit::RemoveTree(cd_);
    ASSERT_TRUE(testkit::MakeFolders(cd_));
    const std::string page = cd_ + "\\site.htm";
    ASSERT_TRUE(testkit::WriteTextFile(page, "<html><title>Site</title></html>\r\n"));
    std::string site = "file:///" + page;
    for (char& c : site)
        if (c == '\\') c = '/';
    ASSERT_TRUE(testkit::WriteTextFile(
        cd_ + "\\setup.dat", "\"kx\\setup.exe\",\"a.exe\",\"b.exe\",\"c.exe\"\r\n\"" + site +
                                  "\",\"file://catalog.htm\"\r\n\"\",\"\",\"\",\"\"\r\n"));

    process_ = testkit::Start("\"" + testkit::BinPath("Setup.exe") + "\"", cd_);
    ASSERT_TRUE(process_);
    pid_ = GetProcessId(process_);
    main_ = testkit::WaitForWindow("WexaLauncherMain", "Kestrix Basic", 30000);
    ASSERT_TRUE(main_);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main_) != FALSE; }));
    // Right of where the browser windows open, so that they never cover the
    // buttons the test clicks.
    SetWindowPos(main_, nullptr, GetSystemMetrics(SM_CXSCREEN) - 560, 40, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    Sleep(200);

    // Bullet and hotspot in turn: two clicks on one spot in quick succession
    // are a double-click, which runs the command once.
    for (size_t n = 1; n <= 3; ++n) {
        if (n % 2)
            ClickAt(24, 196);  // bullet 6
        else
            ClickAt(120, 196);  // hotspot 6
        ASSERT_TRUE(WaitFor([&] { return BrowserWindows().size() == n; }))
            << "after click " << n << ": " << BrowserWindows().size() << " windows";
    }
    const std::vector<HWND> windows = BrowserWindows();
    for (HWND w : windows) {
        HWND toolbar = FindWindowExA(w, nullptr, TOOLBARCLASSNAMEA, nullptr);
        ASSERT_TRUE(toolbar);
        EXPECT_EQ(6, SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
        HWND combo = nullptr;
        EnumChildWindows(w, FindCombo, reinterpret_cast<LPARAM>(&combo));
        ASSERT_TRUE(combo);
        // Each on the web site address, with it alone in its own list.
        EXPECT_EQ(site, RemoteText(combo));
        EXPECT_EQ(1, SendMessageA(combo, CB_GETCOUNT, 0, 0));
        // Not owned by the launcher's window: it can go behind it.
        EXPECT_NE(main_, GetWindow(w, GW_OWNER));
    }

    // Exit: the browser windows and the launcher close, the rectangle is written.
    RECT r;
    ASSERT_TRUE(GetWindowRect(main_, &r));
    ClickAt(50, 252);  // hotspot 5
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_, 30000));
    DWORD code = 1;
    GetExitCodeProcess(process_, &code);
    EXPECT_EQ(0u, code);
    for (HWND w : windows) EXPECT_FALSE(IsWindow(w));
    launchertest::ExpectRectangleWritten(r);
    testkit::RemoveTree(cd_);
}

}  // namespace

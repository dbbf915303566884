// End to end: the real Setup.exe under Wine on a CD folder of our own, whose
// web site address is a page on the local disk (nothing goes to the
// network). Button 6 clicked three times opens three browser windows on that
// address; button 5 then closes them all and the launcher, which writes its
// four window values.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>  // before the other system headers, which need it
#include <commctrl.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

#include "Testkit.h"

namespace {

const char kSettingsKey[] = "Software\\Penwick Leisure\\Wexa Launcher\\Settings";
const char kBrowserClass[] = "WexaBrowserForm";

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 2] = {};
    DWORD n = GetFullPathNameA(path.c_str(), sizeof(buffer), buffer, nullptr);
    return n && n < sizeof(buffer) ? std::string(buffer, n) : path;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

// A control's text in another process: GetWindowText would not ask it.
std::string Text(HWND hwnd) {
    char buffer[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return buffer;
}

struct Search {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectBrowser(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == s->pid && IsWindowVisible(hwnd) && lstrcmpA(cls, kBrowserClass) == 0)
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

class BrowserE2E : public ::testing::Test {
protected:
    void SetUp() override {
        cd_ = FullPath(testkit::BinDir() + "\\..\\browser-e2e-cd");
        testkit::RemoveTree(cd_);
        ASSERT_TRUE(testkit::MakeFolders(cd_));
        std::string page = cd_ + "\\site.htm";
        ASSERT_TRUE(testkit::WriteTextFile(page, "<html><title>Site</title></html>\r\n"));
        site_ = "file:///" + page;
        for (char& c : site_)
            if (c == '\\') c = '/';
        // Fields 1 to 6; the programs are never started here.
        ASSERT_TRUE(testkit::WriteTextFile(
            cd_ + "\\setup.dat", "\"kx\\setup.exe\",\"a.exe\",\"b.exe\",\"c.exe\"\r\n\"" + site_ +
                                     "\",\"file://catalog.htm\"\r\n\"\",\"\",\"\",\"\"\r\n"));
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
    }
    void TearDown() override {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        if (process_) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
            CloseHandle(process_);
        }
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
        testkit::RemoveTree(cd_);
    }

    static void Send(DWORD flags, POINT p) {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof(in));
    }
    // A click on the main window's client point (x, y).
    void ClickAt(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(main_, &p);
        Send(0, p);
        Sleep(100);
        Send(MOUSEEVENTF_LEFTDOWN, p);
        Sleep(50);
        Send(MOUSEEVENTF_LEFTUP, p);
        Sleep(100);
    }
    std::vector<HWND> BrowserWindows() const {
        Search s = {pid_, {}};
        EnumWindows(CollectBrowser, reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    std::string cd_, site_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
};

TEST_F(BrowserE2E, ButtonSixThriceOpensThreeWindowsAndButtonFiveClosesAll) {
    std::string setup = testkit::BinPath("Setup.exe");
    ASSERT_TRUE(testkit::FileExists(setup)) << setup;
    process_ = testkit::Start("\"" + setup + "\"", cd_);
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
    std::vector<HWND> windows = BrowserWindows();
    for (HWND w : windows) {
        HWND toolbar = FindWindowExA(w, nullptr, TOOLBARCLASSNAMEA, nullptr);
        ASSERT_TRUE(toolbar);
        EXPECT_EQ(6, SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
        HWND combo = nullptr;
        EnumChildWindows(w, FindCombo, reinterpret_cast<LPARAM>(&combo));
        ASSERT_TRUE(combo);
        // Each on the web site address, with it alone in its own list.
        EXPECT_EQ(site_, Text(combo));
        EXPECT_EQ(1, SendMessageA(combo, CB_GETCOUNT, 0, 0));
        // Not owned by the launcher's window: it can go behind it.
        EXPECT_NE(main_, GetWindow(w, GW_OWNER));
    }

    // Exit: the browser windows and the launcher close, the rectangle is
    // written.
    RECT r;
    ASSERT_TRUE(GetWindowRect(main_, &r));
    ClickAt(50, 252);  // hotspot 5
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_, 30000));
    DWORD code = 1;
    GetExitCodeProcess(process_, &code);
    EXPECT_EQ(0u, code);
    for (HWND w : windows) EXPECT_FALSE(IsWindow(w));
    const struct {
        const char* name;
        long value;
    } expected[] = {{"MainLeft", r.left * 15},
                    {"MainTop", r.top * 15},
                    {"MainWidth", (r.right - r.left) * 15},
                    {"MainHeight", (r.bottom - r.top) * 15}};
    for (const auto& e : expected) {
        std::string value;
        ASSERT_TRUE(testkit::ReadString(HKEY_CURRENT_USER, kSettingsKey, e.name, &value)) << e.name;
        EXPECT_EQ(std::to_string(e.value), value) << e.name;
    }
}

}  // namespace

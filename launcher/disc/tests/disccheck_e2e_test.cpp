// The real Setup.exe of a disc whose Setup.exe carries the disc's list, run
// once per disc that disc-check-test makes and describes: what each of
// commands 1 to 4 starts (the stand-ins' journal) or names as it refuses,
// and what "Setup.exe /verify" and Verify disc report.
//   DISC_ROOT     the disc's root (default D:\), DISC_SETUP the launcher below it
//   DISC_VERIFY   /verify's exit code and, after a '|', its lines joined by ';'
//   DISC_BUTTONS  per command, ';' between: the journal's "role" or
//                 "role|command line" it must add, or '!' and its refusal's text
//   DISC_WINDOW   Verify disc's title, heading, button; once done its button,
//                 heading, summary and list, '|' between
// in the language the launcher shows (LC_ALL's).
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <cstdlib>

#include "Gui.h"
#include "Scoped.h"
#include "Testkit.h"
#include "WideText.h"

namespace {

// IID_IAccessible: the import library's symbol does not link as data here.
const IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader calls a control.
std::string AccName(HWND control) {
    scoped::ComPtr<IAccessible> acc;
    VARIANT self = {};
    self.vt = VT_I4;
    scoped::Bstr name;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, kIAccessible, acc.put_void())) ||
        acc->get_accName(self, name.put()) != S_OK)
        return "(none)";
    return std::string(name.get(), name.get() + SysStringLen(name.get()));
}
const char kProductKey[] = "KestrixBasicFile";
const char kSettingsKey[] = "Software\\Penwick Leisure";

std::string Env(const char* name, const char* otherwise = "") {
    const char* v = std::getenv(name);
    return v ? v : otherwise;
}
// Read wide: a root outside the ANSI code page.
std::wstring Root() {
    wchar_t root[1024];
    DWORD n = GetEnvironmentVariableW(L"DISC_ROOT", root, 1024);
    return n > 0 && n < 1024 ? root : L"D:\\";
}
std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts(1);
    for (char c : text)
        if (c == at)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    return parts;
}

// "Setup.exe SWITCH" with its standard output in a file: exit code and text.
std::pair<DWORD, std::string> Verify(const wchar_t* verifySwitch) {
    const std::string out = testkit::BinDir() + "\\verify-out.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    scoped::FileHandle file(CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                        CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = file.get();
    PROCESS_INFORMATION pi = {};
    std::wstring cmd =
        L"\"" + Root() + widetext::Widen(Env("DISC_SETUP", "Setup.exe")) + L"\" " + verifySwitch;
    DWORD code = 0xFFFFFFFF;
    if (CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, Root().c_str(), &si,
                       &pi)) {
        WaitForSingleObject(pi.hProcess, testkit::kPatienceMs);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    file.reset();
    return {code, testkit::ReadTextFile(out)};
}

class DiscCheckE2E : public ::testing::Test {
protected:
    void SetUp() override {
        journal_ = testkit::BinDir() + "\\disc-journal.txt";
        CoInitialize(nullptr);  // for the screen reader's questions
        TearDown();
        SetEnvironmentVariableA("CDSTANDIN_JOURNAL", journal_.c_str());
        SetEnvironmentVariableA("CDSTANDIN_QUIET", "1");
        SetEnvironmentVariableA("CDSTANDIN_INSTALL_DIR", "C:\\disc kestrix");
    }
    void TearDown() override {
        if (process_) {
            if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.get(), 1);
            process_.reset();
        }
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, kProductKey);
        testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, ".kxb");
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
        testkit::RemoveTree("C:\\disc kestrix");
        DeleteFileA(journal_.c_str());
    }
    void Click(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(main_, &p);
        testkit::Click(p);
    }
    std::vector<std::string> Journal() const { return testkit::ReadLines(journal_); }
    // A dialog of the launcher's (a message box, Verify disc), once shown.
    HWND Dialog(const char* title) const {
        HWND found = nullptr;
        testkit::WaitFor([&] {
            for (HWND w : testkit::TopWindows(GetProcessId(process_.get()), "#32770"))
                if (testkit::WindowText(w) == title) found = w;
            return found != nullptr;
        });
        return found;
    }
    std::string journal_;
    scoped::Handle process_;
    HWND main_ = nullptr;
};

TEST_F(DiscCheckE2E, StartsOnlyWhatTheDiscVouchesForAndReportsTheRest) {
    const std::vector<std::string> verify = Split(Env("DISC_VERIFY"), '|');
    ASSERT_EQ(verify.size(), 2u) << "DISC_VERIFY is CODE|LINES";
    const std::vector<std::string> window = Split(Env("DISC_WINDOW"), '|');
    ASSERT_EQ(window.size(), 7u) << "DISC_WINDOW";
    std::string out;  // "damaged kx\setup.exe" lines
    for (const std::string& line : Split(verify[1], ';'))
        if (!line.empty()) out += line + "\r\n";
    const auto expected = std::make_pair(static_cast<DWORD>(std::stoul(verify[0])), out);
    EXPECT_EQ(Verify(L"/verify"), expected) << "with no launcher open";

    const std::wstring setup = Root() + widetext::Widen(Env("DISC_SETUP", "Setup.exe"));
    process_.reset(testkit::StartW(L"\"" + setup + L"\"", Root()));
    ASSERT_TRUE(process_);
    ASSERT_TRUE(testkit::WaitFor([&] {
        auto w = testkit::TopWindows(GetProcessId(process_.get()), "WexaLauncherMain");
        return !w.empty() && (main_ = w[0]) != nullptr;
    }));
    EXPECT_EQ(Verify(L"\"/VERIFY\""), expected) << "with a launcher open, in capitals and quotes";

    // Commands 1 to 4: each starts what the disc vouches for, or tells which
    // file it will not start and what to do. Clicked once the launcher is
    // the active window, as a user would click it.
    EXPECT_TRUE(testkit::WaitFor([&] { return GetForegroundWindow() == main_; }));
    const POINT buttons[] = {{100, 65}, {24, 104}, {150, 136}, {120, 164}};
    const std::vector<std::string> wanted = Split(Env("DISC_BUTTONS"), ';');
    ASSERT_EQ(wanted.size(), 4u) << Env("DISC_BUTTONS");
    for (size_t i = 0; i < 4; ++i) {
        const size_t before = Journal().size();
        Click(buttons[i].x, buttons[i].y);
        if (wanted[i][0] == '!') {
            HWND box = Dialog("Kestrix Basic");
            ASSERT_TRUE(box) << wanted[i];
            EXPECT_EQ(testkit::WindowText(GetDlgItem(box, 0xFFFF)), wanted[i].substr(1));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(testkit::WaitFor([&] { return !IsWindow(box); }));
        } else {
            ASSERT_TRUE(testkit::WaitFor([&] { return Journal().size() == before + 1; }))
                << wanted[i];
            EXPECT_EQ(Journal().back().substr(0, wanted[i].size() + 1), wanted[i] + "|");
        }
    }

    // The catalogue (command 7) opens from the disc's folder, whatever its
    // name: the address names the disc's own catalog.htm.
    Click(150, 224);
    HWND browser = nullptr;
    ASSERT_TRUE(testkit::WaitFor([&] {
        auto w = testkit::TopWindows(GetProcessId(process_.get()), "WexaBrowserForm");
        return !w.empty() && (browser = w[0]) != nullptr;
    }));
    const std::string page = testkit::WindowText(testkit::FindChild(browser, "ComboBox"));
    wchar_t named[1024] = L"";
    GetLongPathNameW(widetext::Widen(page.substr(page.find(':') - 1)).c_str(), named, 1024);
    EXPECT_EQ(std::wstring(named), Root() + L"catalog.htm") << page;
    PostMessageA(browser, WM_CLOSE, 0, 0);
    EXPECT_TRUE(testkit::WaitFor([&] { return !IsWindow(browser); }));

    // Cancel while Verify disc still checks (a disc with a file of a
    // gigabyte), as its heading says: the check stops and the window goes.
    if (Env("DISC_CANCEL") == "1") {
        PostMessageA(main_, WM_SYSCOMMAND, 0x0230, 0);
        HWND verifyWindow = Dialog(window[0].c_str());
        ASSERT_TRUE(verifyWindow);
        HWND cancel = GetDlgItem(verifyWindow, IDCANCEL);
        ASSERT_EQ(testkit::WindowText(cancel), window[2]) << "the check was over already";
        EXPECT_EQ(testkit::WindowText(GetDlgItem(verifyWindow, 100)), window[1]);
        PostMessageA(verifyWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(cancel));
        EXPECT_TRUE(testkit::WaitFor([&] { return !IsWindow(verifyWindow); }));
    }
    // Verify disc, from the system menu: its verdict, the count and each bad
    // file by name and state; Enter closes it.
    if (expected.first != 2 && Env("DISC_CANCEL") != "1") {
        PostMessageA(main_, WM_SYSCOMMAND, 0x0230, 0);
        HWND verifyWindow = Dialog(window[0].c_str());
        ASSERT_TRUE(verifyWindow);
        EXPECT_TRUE(testkit::WaitFor(
            [&] { return testkit::WindowText(GetDlgItem(verifyWindow, IDCANCEL)) == window[3]; }));
        EXPECT_EQ(testkit::WindowText(GetDlgItem(verifyWindow, 100)), window[4]);
        const std::string summary = testkit::WindowText(GetDlgItem(verifyWindow, 102));
        EXPECT_EQ(summary, window[5]);
        EXPECT_EQ(testkit::WindowText(GetDlgItem(verifyWindow, 103)), window[6]);
        // Read aloud: the list by the summary above it, the button by its text.
        // (Wine names no progress bar; Windows names it by the heading.)
        EXPECT_EQ(AccName(GetDlgItem(verifyWindow, 103)), summary);
        EXPECT_EQ(AccName(GetDlgItem(verifyWindow, IDCANCEL)), window[3]);
        // Meanwhile the launcher's window takes no command, not even from a
        // screen reader (Exit would take the dialog and its check with it).
        scoped::ComPtr<IAccessible> panel;
        ASSERT_EQ(AccessibleObjectFromWindow(main_, OBJID_CLIENT, kIAccessible, panel.put_void()),
                  S_OK);
        VARIANT exitButton = {};
        exitButton.vt = VT_I4;
        exitButton.lVal = 5;
        EXPECT_NE(panel->accDoDefaultAction(exitButton), S_OK);
        SetForegroundWindow(verifyWindow);
        testkit::WaitFor([&] { return GetForegroundWindow() == verifyWindow; });
        testkit::Key(VK_RETURN);
        EXPECT_TRUE(testkit::WaitFor([&] { return !IsWindow(verifyWindow); }));
    }
    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process_.get(), testkit::kPatienceMs), WAIT_OBJECT_0);
}

}  // namespace

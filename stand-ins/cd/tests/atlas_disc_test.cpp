// The second test disc (tests/atlas: another product, publisher and key, in
// French and Greek) from its image in the CD-ROM drive D:, run by
// atlas-drive-test: the caption in the user's language or else the disc's
// first, installed-product detection through the disc's own key, and what
// the buttons start (the stand-ins' journal).
#include <gtest/gtest.h>
#include <windows.h>

#include "Gui.h"
#include "Testkit.h"

namespace {

using testkit::WaitFor;
const char kRoot[] = "D:\\";
const char kInstallDir[] = "C:\\atlas e2e\\Atlas Orlo";
const char kProductKey[] = "AtlasOrloFile";  // disc.ini's product-key

class AtlasDisc : public ::testing::Test {
protected:
    void SetUp() override {
        journal_ = testkit::BinDir() + "\\atlas-journal.txt";
        TearDown();
        SetEnvironmentVariableA("CDSTANDIN_JOURNAL", journal_.c_str());
        SetEnvironmentVariableA("CDSTANDIN_QUIET", "1");
        SetEnvironmentVariableA("CDSTANDIN_INSTALL_DIR", kInstallDir);
    }
    void TearDown() override {
        if (process_) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
            CloseHandle(process_);
            process_ = nullptr;
        }
        for (const char* key : {kProductKey, "KestrixBasicFile", ".kxb"})
            testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\\x00c9" L"ditions Corvel");
        testkit::RemoveTree("C:\\atlas e2e");
        DeleteFileA(journal_.c_str());
    }
    void Start() {
        process_ = testkit::Start("\"D:\\Setup.exe\"", kRoot);
        ASSERT_TRUE(process_);
        auto mine = [&] { return testkit::TopWindows(GetProcessId(process_), "WexaLauncherMain"); };
        ASSERT_TRUE(WaitFor([&] { return !mine().empty(); }, 30000));
        main_ = mine()[0];
        SetWindowPos(main_, nullptr, GetSystemMetrics(SM_CXSCREEN) - 560, 40, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    }
    void ClickAt(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(main_, &p);
        testkit::Click(p);
    }
    void Exit() {
        ClickAt(50, 252);  // hotspot 5
        ASSERT_EQ(WaitForSingleObject(process_, 30000), WAIT_OBJECT_0) << "Exit was not taken";
        CloseHandle(process_);
        process_ = nullptr;
    }
    std::string JournalLine(size_t n) const {
        WaitFor([&] { return testkit::ReadLines(journal_).size() >= n; });
        auto lines = testkit::ReadLines(journal_);
        return lines.size() >= n ? lines[n - 1] : "(missing)";
    }
    std::string journal_;
    HANDLE process_ = nullptr;
    HWND main_ = nullptr;
};

TEST_F(AtlasDisc, CaptionOwnProductKeyAndEveryCommandFromTheDrive) {
    ASSERT_EQ(GetDriveTypeA(kRoot), static_cast<UINT>(DRIVE_CDROM));
    Start();
    // The disc has French and Greek; any other user language gets French.
    const wchar_t* caption = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GREEK
                                 ? L"\x0386\x03c4\x03bb\x03b1\x03c2 \x038c\x03c1\x03bb\x03bf"
                                 : L"Atlas Orlo";
    wchar_t shown[64] = L"";
    GetWindowTextW(main_, shown, 64);
    EXPECT_STREQ(shown, caption);

    // Not installed: button 1 starts the disc's installer, also after that
    // installer registered the demo's product, whose key is not this disc's.
    const std::string setup = "kxsetup|installation\\installer.exe|D:\\";
    ClickAt(100, 65);
    EXPECT_EQ(JournalLine(1), setup);
    ClickAt(130, 65);
    EXPECT_EQ(JournalLine(2), setup);
    const struct {
        POINT at;
        std::string line;
    } clicks[] = {{{24, 104}, "directx|outils\\dx.exe|D:\\"},                     // bullet 2
                  {{150, 136}, "iesetup|outils\\navigateur.exe /silencieux|D:\\"},  // hotspot 3
                  {{120, 164}, "solvane|aide\\solvane.exe|D:\\"}};                 // hotspot 4
    size_t lines = 2;
    for (const auto& c : clicks) {
        ClickAt(c.at.x, c.at.y);
        EXPECT_EQ(JournalLine(++lines), c.line);
    }
    ClickAt(150, 224);  // hotspot 7: the catalogue page beside setup.dat
    HWND browser = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        auto found = testkit::TopWindows(GetProcessId(process_), "WexaBrowserForm");
        browser = found.empty() ? nullptr : found[0];
        return browser != nullptr;
    }));
    EXPECT_TRUE(WaitFor([&] {
        return testkit::WindowText(testkit::FindChild(browser, "ComboBox")) == "D:\\catalogue.htm";
    }));
    Exit();

    // Installed under the disc's own key: button 1 runs the product from its folder.
    const std::string product = std::string("\"") + kInstallDir + "\\KestrixBasic.exe\"";
    ASSERT_TRUE(testkit::WriteString(HKEY_CLASSES_ROOT, std::string(kProductKey) + "\\Shell\\Open\\Command",
                                     "", product + " \"%1\""));
    Start();
    ClickAt(100, 65);
    EXPECT_EQ(JournalLine(++lines), "kestrix|" + product + "|" + kInstallDir);
    Exit();
    EXPECT_EQ(testkit::ReadLines(journal_).size(), lines);  // nothing else was started
}

}  // namespace

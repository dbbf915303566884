// Runs the real sweeper.exe under Wine against the Download Tool stand-in and
// checks what a user would find: the debugger output lines in order, the
// RunOnce value, and the files and folders of the client's installation.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "DebugCapture.h"
#include "Testkit.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kInstall = "c:\\Program Files\\Brenvik\\Solvane";
const std::string kUpdater1 = kInstall + "\\Updater1";
const std::string kUpdater2 = kInstall + "\\Updater2";
const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kValue[] = "Remove Solvane Download";
const char kNeighbour[] = "Sweeper Test Neighbour";

const std::string kEnter = "RUDavo: enter\n";
const std::string kReceived = "RUDavo: received gSolvaneUninstallCompleteEvent msg\n";
const std::string kNoFile = "RUDavo: problem deleting file\n";
const std::string kExit = "RUDavo: exit\n";

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::string JournalPath() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "downloadtool-journal.txt";
}

// The Download Tool stand-in, started in one answer mode; ended on scope exit
// if it is still running.
class DownloadTool {
public:
    explicit DownloadTool(const std::string& mode) {
        DeleteFileA(JournalPath().c_str());
        process_ = testkit::Start(Quote(testkit::BinPath("downloadtool.exe")) + " " + mode + " " +
                                  Quote(JournalPath()));
        window_ = testkit::WaitForWindow("SolvaneDownloadToolWndClass", "Download Tool", 20000);
    }
    ~DownloadTool() {
        if (process_) {
            if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
            CloseHandle(process_);
        }
    }
    DownloadTool(const DownloadTool&) = delete;
    DownloadTool& operator=(const DownloadTool&) = delete;

    bool Ready() const { return process_ != nullptr && window_ != nullptr; }
    // True when the stand-in ended by itself within a generous time.
    bool Ends() const { return WaitForSingleObject(process_, 20000) == WAIT_OBJECT_0; }
    void Close() const { PostMessageA(window_, WM_CLOSE, 0, 0); }
    static std::string Journal() { return testkit::ReadTextFile(JournalPath()); }

private:
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

void Touch(const std::string& path) {
    ASSERT_TRUE(testkit::WriteTextFile(path, "x")) << path;
}

void MakeFolder(const std::string& path) { ASSERT_TRUE(testkit::MakeFolders(path)) << path; }

testkit::CapturedRun RunSweeper(const char* exe = "sweeper.exe") {
    return testkit::RunCapturingDebugOutput(Quote(testkit::BinPath(exe)));
}

class Sweeper : public ::testing::Test {
protected:
    void SetUp() override { MakeInstallation(); }

    // What the Download Tool leaves behind, and what is not the finisher's.
    static void MakeInstallation() {
        testkit::RemoveTree(kInstall);
        MakeFolder(kInstall);
        Touch(kInstall + "\\removal.bat");
        Touch(kInstall + "\\removemm.exe");
        Touch(kInstall + "\\client.dll");  // not the finisher's to remove
        // Nested trees, with names that start with dots and a hidden file.
        for (const std::string& dir :
             {kUpdater1 + "\\a\\b\\c\\d", kUpdater1 + "\\a\\e", kUpdater1 + "\\..cfg",
              kUpdater1 + "\\.cache", kUpdater1 + "\\empty", kUpdater2 + "\\x\\y"})
            MakeFolder(dir);
        for (const std::string& file :
             {kUpdater1 + "\\top.txt", kUpdater1 + "\\a\\1.dat", kUpdater1 + "\\a\\b\\2.dat",
              kUpdater1 + "\\a\\b\\c\\d\\3.dat", kUpdater1 + "\\a\\e\\4", kUpdater1 + "\\..cfg\\..x",
              kUpdater1 + "\\.cache\\.y", kUpdater2 + "\\u2.txt", kUpdater2 + "\\x\\y\\z.bin"})
            Touch(file);
        SetFileAttributesA((kUpdater1 + "\\a\\1.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
        ASSERT_TRUE(testkit::WriteString(HKEY_CURRENT_USER, kRunOnce, kValue, "removemm.exe"));
        ASSERT_TRUE(testkit::WriteString(HKEY_CURRENT_USER, kRunOnce, kNeighbour, "keep.exe"));
    }

    void TearDown() override {
        testkit::RemoveTree(kInstall);
        testkit::RemoveTree("c:\\Program Files\\Brenvik");
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnce, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kValue);
            RegDeleteValueA(key, kNeighbour);
            RegCloseKey(key);
        }
    }

    static bool ValuePresent() { return testkit::ValueExists(HKEY_CURRENT_USER, kRunOnce, kValue); }

    // Everything the finisher removes is gone; what is not its own stays.
    static void ExpectRemoved() {
        EXPECT_FALSE(ValuePresent());
        EXPECT_TRUE(testkit::ValueExists(HKEY_CURRENT_USER, kRunOnce, kNeighbour));
        EXPECT_FALSE(testkit::FileExists(kInstall + "\\removal.bat"));
        EXPECT_FALSE(testkit::FileExists(kInstall + "\\removemm.exe"));
        EXPECT_FALSE(testkit::FolderExists(kUpdater1));
        EXPECT_FALSE(testkit::FolderExists(kUpdater2));
        EXPECT_TRUE(testkit::FileExists(kInstall + "\\client.dll"));
    }

    static void ExpectUntouched() {
        EXPECT_TRUE(ValuePresent());
        EXPECT_TRUE(testkit::FileExists(kInstall + "\\removal.bat"));
        EXPECT_TRUE(testkit::FileExists(kInstall + "\\removemm.exe"));
        EXPECT_TRUE(testkit::FileExists(kUpdater1 + "\\a\\b\\c\\d\\3.dat"));
        EXPECT_TRUE(testkit::FileExists(kUpdater2 + "\\x\\y\\z.bin"));
    }
};

TEST_F(Sweeper, WithoutDownloadToolOnlyEntersAndExitsAndTouchesNothing) {
    testkit::CapturedRun run = RunSweeper();
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Lines{kEnter, kExit}), run.lines);
    ExpectUntouched();
}

// The completion posted after the broadcast, sent from inside it (which ends
// the wait at once) or posted much later: each is awaited, then everything
// goes.
TEST_F(Sweeper, EachWayOfAnsweringIsAwaitedThenEverythingIsRemoved) {
    for (const char* mode : {"now", "during", "delay:700"}) {
        SCOPED_TRACE(mode);
        MakeInstallation();
        DownloadTool tool(mode);
        ASSERT_TRUE(tool.Ready());
        testkit::CapturedRun run = RunSweeper();
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ((Lines{kEnter, kReceived, kExit}), run.lines);
        ExpectRemoved();
        // The request came once, by the broadcast, with wParam and lParam 0.
        EXPECT_TRUE(tool.Ends());
        EXPECT_EQ("ready\nuninstall 0 0\ncompletion sent\nexit\n", DownloadTool::Journal());
    }
}

// Nothing is removed while the Download Tool has not answered, however long
// that takes, and a quit message from elsewhere does not end the wait.
TEST_F(Sweeper, NothingIsRemovedBeforeTheCompletionMessage) {
    DownloadTool tool("never");
    ASSERT_TRUE(tool.Ready());
    testkit::CapturedRun run;
    std::thread runner([&run] { run = RunSweeper(); });

    // Find the finisher's window once the request has reached the tool.
    HWND finisher = nullptr;
    for (int i = 0; i < 1000 && !finisher; ++i) {
        if (DownloadTool::Journal().find("uninstall 0 0\n") != std::string::npos)
            finisher = FindWindowA("RUDavoWndClass", "RUDavoWnd");
        if (!finisher) Sleep(20);
    }
    ASSERT_NE(nullptr, finisher);
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(finisher, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    ASSERT_NE(nullptr, process);
    // Idle means blocked in its message loop, past the broadcast.
    EXPECT_EQ(0u, WaitForInputIdle(process, 20000));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(process, 0));
    ExpectUntouched();

    // A stray quit message first, then the completion message.
    EXPECT_TRUE(PostThreadMessageA(thread, WM_QUIT, 0, 0));
    EXPECT_TRUE(PostMessageA(finisher, RegisterWindowMessageA("Solvane.Uninstall.Complete.Event"),
                             0, 0));
    runner.join();
    CloseHandle(process);

    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Lines{kEnter, kReceived, kExit}), run.lines);
    ExpectRemoved();
    tool.Close();
    EXPECT_TRUE(tool.Ends());
}

TEST_F(Sweeper, MissingRunOnceValueIsTracedWithCode2AndTheRestIsRemoved) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnce, 0, KEY_SET_VALUE, &key));
    RegDeleteValueA(key, kValue);
    RegCloseKey(key);
    DownloadTool tool("now");
    ASSERT_TRUE(tool.Ready());
    testkit::CapturedRun run = RunSweeper();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Lines{kEnter, kReceived, "RUDavo: unable to delete reg value, lResult = 2\n", kExit}),
              run.lines);
    ExpectRemoved();
}

TEST_F(Sweeper, MissingRunOnceKeyIsTracedAndTheRestIsRemoved) {
    // The test prefix keeps nothing else under HKCU RunOnce.
    testkit::DeleteKeyTree(HKEY_CURRENT_USER, kRunOnce);
    DownloadTool tool("now");
    ASSERT_TRUE(tool.Ready());
    testkit::CapturedRun run = RunSweeper();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Lines{kEnter, kReceived, "RUDavo: unable to open reg key\n", kExit}), run.lines);
    EXPECT_FALSE(testkit::FileExists(kInstall + "\\removal.bat"));
    EXPECT_FALSE(testkit::FolderExists(kUpdater1));
    EXPECT_FALSE(testkit::FolderExists(kUpdater2));
}

TEST_F(Sweeper, MissingFilesAreTracedTwiceMissingTreesSilently) {
    DeleteFileA((kInstall + "\\removal.bat").c_str());
    DeleteFileA((kInstall + "\\removemm.exe").c_str());
    testkit::RemoveTree(kUpdater1);
    testkit::RemoveTree(kUpdater2);
    DownloadTool tool("now");
    ASSERT_TRUE(tool.Ready());
    testkit::CapturedRun run = RunSweeper();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Lines{kEnter, kReceived, kNoFile, kNoFile, kExit}), run.lines);
    EXPECT_FALSE(ValuePresent());
    EXPECT_TRUE(testkit::FileExists(kInstall + "\\client.dll"));
}

TEST_F(Sweeper, ReadOnlyFileKeepsItsFoldersWhileTheRestGoes) {
    const std::string locked = kUpdater1 + "\\a\\b\\locked.txt";
    Touch(locked);
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    DownloadTool tool("now");
    ASSERT_TRUE(tool.Ready());
    testkit::CapturedRun run = RunSweeper();
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Lines{kEnter, kReceived, kExit}), run.lines);  // silent
    // The file and every folder above it stay; everything else in them goes.
    EXPECT_TRUE(testkit::FileExists(locked));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY, GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(testkit::FileExists(kUpdater1 + "\\a\\b\\2.dat"));
    EXPECT_FALSE(testkit::FolderExists(kUpdater1 + "\\a\\b\\c"));
    EXPECT_FALSE(testkit::FileExists(kUpdater1 + "\\a\\1.dat"));
    EXPECT_FALSE(testkit::FolderExists(kUpdater1 + "\\a\\e"));
    EXPECT_FALSE(testkit::FileExists(kUpdater1 + "\\top.txt"));
    EXPECT_FALSE(testkit::FolderExists(kUpdater1 + "\\..cfg"));
    EXPECT_FALSE(testkit::FolderExists(kUpdater1 + "\\empty"));
    // The second tree is still processed.
    EXPECT_FALSE(testkit::FolderExists(kUpdater2));
    EXPECT_FALSE(ValuePresent());
}

// If the finisher window cannot be created, nothing could end the wait: the
// Download Tool is not told and nothing is removed.
TEST_F(Sweeper, WithoutItsWindowItNeitherAsksNorWaitsNorRemoves) {
    DownloadTool tool("now");
    ASSERT_TRUE(tool.Ready());
    testkit::CapturedRun run = RunSweeper("sweeper_nowindow.exe");
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ((Lines{kEnter, "RUDavo:InitWindow: problem creating window\n", kExit}), run.lines);
    ExpectUntouched();
    tool.Close();
    EXPECT_TRUE(tool.Ends());
    EXPECT_EQ("ready\nexit\n", DownloadTool::Journal());
}

}  // namespace

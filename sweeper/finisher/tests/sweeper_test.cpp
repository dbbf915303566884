// Runs the real sweeper.exe under Wine against the Download Tool stand-in and
// checks its debugger output lines in order (through RunCapturingDebugOutput),
// the RunOnce value, and the files and folders of the client's installation.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "DebugCapture.h"
#include "Gui.h"
#include "Scoped.h"
#include "Sweeper.h"
#include "Testkit.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kInstall = "c:\\Program Files\\Brenvik\\Solvane";
const char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kValue[] = "Remove Solvane Download";
const char kNeighbour[] = "Sweeper Test Neighbour";
const char kJournal[] = "c:\\downloadtool-journal.txt";

std::string Exe(const char* name) { return "\"" + testkit::BinPath(name) + "\""; }

// The Download Tool stand-in, started in one answer mode; ended on scope exit.
class DownloadTool {
public:
    explicit DownloadTool(const std::string& mode) {
        DeleteFileA(kJournal);
        process_.reset(testkit::Start(Exe("downloadtool.exe") + " " + mode + " " + kJournal));
        window_ = testkit::WaitForWindow("SolvaneDownloadToolWndClass", "Download Tool");
        EXPECT_NE(nullptr, window_) << mode;
        if (mode == "busy") {  // judged hung before the finisher asks
            EXPECT_TRUE(testkit::WaitFor(
                [] { return testkit::ReadTextFile(kJournal).find("busy") != std::string::npos; }));
        }
    }
    ~DownloadTool() { TerminateProcess(process_.get(), 1); }  // fails once it has ended
    // Closes the tool if it still runs; its journal once it has ended.
    std::string Journal() const {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(process_.get(), testkit::kPatienceMs);
        return testkit::ReadTextFile(kJournal);
    }

private:
    scoped::Handle process_;
    HWND window_ = nullptr;
};

// The installation as the Download Tool leaves it, folders with a trailing
// backslash: nested trees, names that start with dots, an empty folder, a
// hidden file. client.dll is not the finisher's.
const char* const kEntries[] = {
    "removal.bat", "removemm.exe", "client.dll", "Updater1\\", "Updater1\\top.txt",
    "Updater1\\a\\1.dat", "Updater1\\a\\b\\2.dat", "Updater1\\a\\b\\c\\d\\3.dat",
    "Updater1\\a\\e\\4", "Updater1\\..cfg\\..x", "Updater1\\.cache\\.y", "Updater1\\empty\\",
    "Updater2\\", "Updater2\\u2.txt", "Updater2\\x\\y\\z.bin"};

std::string PathOf(const std::string& entry) { return kInstall + "\\" + entry; }
bool Exists(const std::string& entry) {
    return GetFileAttributesA(PathOf(entry).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeInstallation() {
    testkit::RemoveTree(kInstall);
    for (const std::string entry : kEntries) {
        const std::string path = PathOf(entry);
        const bool file = entry.back() != '\\';
        ASSERT_TRUE(testkit::MakeFolders(file ? path.substr(0, path.rfind('\\')) : path)) << path;
        if (file) { ASSERT_TRUE(testkit::WriteTextFile(path, "x")) << path; }
    }
    SetFileAttributesA(PathOf("Updater1\\a\\1.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(testkit::WriteString(HKEY_CURRENT_USER, kRunOnce, kValue, "removemm.exe"));
    ASSERT_TRUE(testkit::WriteString(HKEY_CURRENT_USER, kRunOnce, kNeighbour, "keep.exe"));
}

// Either everything the finisher removes is gone, but for what it could not
// delete (left), or all of it is still there.
void ExpectRemoved(bool removed, const Lines& left = {}) {
    EXPECT_EQ(!removed, testkit::ValueExists(HKEY_CURRENT_USER, kRunOnce, kValue));
    for (const std::string entry : kEntries) {
        const bool kept = entry == "client.dll" || std::count(left.begin(), left.end(), entry);
        EXPECT_EQ(!removed || kept, Exists(entry)) << entry;
    }
    for (const std::string& entry : left) EXPECT_TRUE(Exists(entry)) << entry;
}

// For the tool that never answers: once the request has arrived and the
// finisher idles in its message loop, nothing is gone yet; a stray quit
// message does not end the wait, the completion message then does.
void AnswerInsteadOfTheTool() {
    EXPECT_TRUE(testkit::WaitFor(
        [] { return testkit::ReadTextFile(kJournal).find("uninstall") != std::string::npos; }));
    HWND finisher = FindWindowA("RUDavoWndClass", "RUDavoWnd");  // made before it asks
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(finisher, &pid);
    scoped::Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
    EXPECT_EQ(0u, WaitForInputIdle(process.get(), testkit::kPatienceMs));
    ExpectRemoved(false);
    EXPECT_TRUE(PostThreadMessageA(thread, WM_QUIT, 0, 0));
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("Solvane.Uninstall.Complete.Event"), 0, 0);
}

const char kReceived[] = "RUDavo: received gSolvaneUninstallCompleteEvent msg\n";
const char kNoFile[] = "RUDavo: problem deleting file\n";
// The Download Tool's journal when it was asked once (wParam and lParam 0) and answered.
const char kAnswered[] = "ready\nuninstall 0 0\ncompletion sent\nexit\n";

struct Case {
    const char* name;
    const char* mode;             // the Download Tool's answer mode; nullptr: not running
    void (*setup)();              // what is missing or locked
    Lines trace;                  // between "enter" and "exit"
    std::string journal;          // the Download Tool's
    const char* exe = "sweeper.exe";
    Lines left = {};              // what could not be deleted
    bool hungWindow = false;      // another program's window has stopped answering
};

const Case kCases[] = {
    {"no Download Tool", nullptr, {}, {}, ""},
    // Without its window nothing could end the wait: the tool is not even asked.
    {"no window", "now", {}, {"RUDavo:InitWindow: problem creating window\n"}, "ready\nexit\n",
     "sweeper_nowindow.exe"},
    // The completion posted after the broadcast, sent from inside it (which
    // ends the wait at once), posted much later, or posted by the test.
    {"now", "now", {}, {kReceived}, kAnswered},
    {"during", "during", {}, {kReceived}, kAnswered},
    {"delay", "delay:700", {}, {kReceived}, kAnswered},
    // Busy past the hung threshold when asked: still told, and waited for.
    {"busy", "busy", {}, {kReceived}, "ready\nbusy\nuninstall 0 0\ncompletion sent\nexit\n"},
    {"never", "never", {}, {kReceived}, "ready\nuninstall 0 0\nexit\n"},
    // Gone without answering: nothing can end the wait, nothing is removed.
    {"quit", "quit", {}, {}, "ready\nuninstall 0 0\nexit\n"},
    {"no RunOnce value", "now", [] { RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunOnce, kValue); },
     {kReceived, "RUDavo: unable to delete reg value, lResult = 2\n"}, kAnswered},
    {"no RunOnce key", "now", [] { testkit::DeleteKeyTree(HKEY_CURRENT_USER, kRunOnce); },
     {kReceived, "RUDavo: unable to open reg key\n"}, kAnswered},
    // Missing files are traced one by one, missing trees not at all.
    {"no files nor trees", "now",
     [] {
         for (const char* file : {"removal.bat", "removemm.exe"}) DeleteFileA(PathOf(file).c_str());
         for (const char* tree : {"Updater1", "Updater2"}) testkit::RemoveTree(PathOf(tree));
     },
     {kReceived, kNoFile, kNoFile}, kAnswered},
    // What cannot be deleted stays, silently, and every folder above it.
    {"read-only file", "now",
     [] {
         testkit::WriteTextFile(PathOf("Updater1\\a\\b\\ro.txt"), "x");
         SetFileAttributesA(PathOf("Updater1\\a\\b\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
     },
     {kReceived}, kAnswered, "sweeper.exe",
     {"Updater1\\", "Updater1\\a\\", "Updater1\\a\\b\\", "Updater1\\a\\b\\ro.txt"}},
    // The request skips it (nothing is ever sent to it); the Download Tool,
    // which answers, still gets it.
    {"hung window", "now", {}, {kReceived}, kAnswered, "sweeper.exe", {}, true},
};

// Another program's window, once judged hung (its thread has taken no
// message for some seconds).
const char kHungJournal[] = "c:\\hung-journal.txt";
HANDLE StartHungWindow() {
    DeleteFileA(kHungJournal);
    HANDLE process = testkit::Start(Exe("downloadtool.exe") + " hang " + kHungJournal);
    HWND window = testkit::WaitForWindow("HungProgramWndClass", "Hung Program");
    EXPECT_TRUE(testkit::WaitFor([&] { return IsHungAppWindow(window) != FALSE; }));
    return process;
}

// Calls *fn (a callable) on a thread of its own.
template <class Fn>
DWORD WINAPI CallOnThread(void* fn) {
    (*static_cast<Fn*>(fn))();
    return 0;
}

class Sweeper : public ::testing::Test {
protected:
    void TearDown() override {  // the test prefix keeps nothing else under HKCU RunOnce
        testkit::RemoveTree("c:\\Program Files\\Brenvik");
        testkit::DeleteKeyTree(HKEY_CURRENT_USER, kRunOnce);
    }
};

// Nothing is removed before the completion message, however it comes; then
// all of it is, each step traced. Also the test of the debugger-output capture.
TEST_F(Sweeper, TracesEachStepAndRemovesOnlyAfterTheCompletion) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        MakeInstallation();
        if (c.setup) c.setup();
        const bool neighbour = testkit::ValueExists(HKEY_CURRENT_USER, kRunOnce, kNeighbour);
        scoped::Handle hung(c.hungWindow ? StartHungWindow() : nullptr);
        std::unique_ptr<DownloadTool> tool(c.mode ? new DownloadTool(c.mode) : nullptr);
        testkit::CapturedRun run;
        auto runSweeper = [&] { run = testkit::RunCapturingDebugOutput(Exe(c.exe)); };
        HANDLE runner = CreateThread(nullptr, 0, CallOnThread<decltype(runSweeper)>,
                                     &runSweeper, 0, nullptr);
        ASSERT_NE(nullptr, runner);
        if (c.mode && std::string(c.mode) == "never") AnswerInsteadOfTheTool();
        // A finisher held by a hung window would never end: after a bound far
        // above its run, the window's program goes, so the test can report it.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(runner, 120000)) << "held";
        if (hung) {
            EXPECT_EQ("ready\n", testkit::ReadTextFile(kHungJournal));
            TerminateProcess(hung.get(), 1);
        }
        WaitForSingleObject(runner, INFINITE);
        CloseHandle(runner);

        EXPECT_EQ(0u, run.exitCode);  // also when it crashed after its last line
        Lines expected{"RUDavo: enter\n"};
        expected.insert(expected.end(), c.trace.begin(), c.trace.end());
        expected.push_back("RUDavo: exit\n");
        EXPECT_EQ(expected, run.lines);
        ExpectRemoved(!c.trace.empty() && c.trace[0] == kReceived, c.left);
        // Only its own RunOnce value goes, never the whole key.
        EXPECT_EQ(neighbour, testkit::ValueExists(HKEY_CURRENT_USER, kRunOnce, kNeighbour));
        EXPECT_EQ(c.journal, tool ? tool->Journal() : "");
    }
}

// The walk on a thread with 128 KB of stack (a recursive walk needs about
// 850 bytes a level); Wine gives any thread 1 MB, so the rest is taken first.
constexpr size_t kSmallStack = 128 * 1024;
DWORD WINAPI WalkOnSmallStack(void* removed) {
    MEMORY_BASIC_INFORMATION stack = {};
    VirtualQuery(&stack, &stack, sizeof(stack));
    const size_t room = reinterpret_cast<char*>(&stack) - static_cast<char*>(stack.AllocationBase);
    if (room > kSmallStack) static_cast<volatile char*>(_alloca(room - kSmallStack))[0] = 0;
    *static_cast<BOOL*>(removed) = sweeper::RemoveFolderTree("c:\\sweeper-deep");
    return 7;  // the walk came back
}

// 400 nested folders (Wine lists deeper ones ever more slowly), directly
// under the drive's root: all removed, the thread alive.
TEST(SweeperWalk, RemovesADeepTreeUnderTheRootOnASmallStack) {
    std::wstring path = L"\\\\?\\c:\\sweeper-deep";
    for (int level = 0; level < 400; ++level, path += L"\\d")
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
    BOOL removed = FALSE;
    scoped::Handle walker(CreateThread(nullptr, kSmallStack, WalkOnSmallStack, &removed,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    DWORD code = 0;
    EXPECT_TRUE(WaitForSingleObject(walker.get(), INFINITE) == WAIT_OBJECT_0 &&
                GetExitCodeThread(walker.get(), &code) && code == 7);
    EXPECT_TRUE(removed);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"\\\\?\\c:\\sweeper-deep"));
}

}  // namespace

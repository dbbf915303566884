// The real Setup.exe from a disc in the CD-ROM drive D: whose Setup.exe
// carries the disc's list, run once per disc that disc-check-test makes
// (DISC_CASE): what it starts (the stand-ins' journal), what it tells, and
// what "Setup.exe /verify" and Verify disc report.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Gui.h"
#include "Scoped.h"
#include "Testkit.h"

namespace {

const char kCd[] = "D:\\";
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

struct Case {
    const char* name;
    DWORD verifyCode;
    const char* bad;  // the installer's state word, "" when it is good
    bool hashing = true;
};
const Case kCases[] = {
    {"good", 0, ""},
    {"changed", 1, "damaged"},
    {"truncated", 1, "damaged"},
    {"missing", 1, "missing"},
    {"unlisted", 2, ""},  // the plain build's Setup.exe
    // The changed disc where the system has no SHA-256 (bcrypt.dll missing):
    // sizes alone, so each file is "unchecked" and the installer starts.
    {"nohash", 1, "", false},
};

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The launcher's words in the language it shows (DISC_LANGUAGE, LC_ALL's),
// in the ANSI code page: the whole message for the damaged installer (null
// in English, whose discs differ: parts of it are checked), the Verify disc
// window's title and button, how it says that one of N files is bad, and
// its word for damaged (null: the case's word).
struct Words {
    const char *message, *verify, *close, *files, *oneBad, *state;
};
const Words kEnglish = {nullptr, "Verify disc", "Close", "Checked %s files: ", "1 is ", nullptr};
const Words kGerman = {
    "Die Datei kx\\setup.exe auf der Disc ist besch\344digt und wurde daher nicht gestartet.\n\n"
    "Die Disc ist m\366glicherweise besch\344digt. Reinigen Sie sie mit einem weichen, trockenen "
    "Tuch von der Mitte nach au\337en und versuchen Sie es erneut, oder verwenden Sie eine andere "
    "Kopie der Disc.",
    "Disc pr\374fen",
    "Schlie\337en",
    "%s Dateien gepr\374ft: ",
    "1 ist ",
    "besch\344digt"};

// "Setup.exe /verify" with its standard output in a file: exit code and text.
std::pair<DWORD, std::string> Verify() {
    const std::string out = testkit::BinDir() + "\\verify-out.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    scoped::FileHandle file(CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                        CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = file.get();
    PROCESS_INFORMATION pi = {};
    char cmd[] = "D:\\Setup.exe /verify";
    DWORD code = 0xFFFFFFFF;
    if (CreateProcessA(nullptr, cmd, nullptr, nullptr, TRUE, 0, nullptr, kCd, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
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
    size_t Started() const { return testkit::ReadLines(journal_).size(); }
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
    const Words& w = Env("DISC_LANGUAGE") == "de" ? kGerman : kEnglish;
    const Case* c = nullptr;
    for (const Case& k : kCases)
        if (Env("DISC_CASE") == k.name) c = &k;
    ASSERT_TRUE(c) << "DISC_CASE names no disc: " << Env("DISC_CASE");
    std::string bad = *c->bad ? std::string(c->bad) + " kx\\setup.exe\r\n" : "";
    if (!c->hashing) {
        bad = Verify().second;
        EXPECT_EQ(testkit::ReadLines(testkit::BinDir() + "\\verify-out.txt").size(),
                  std::stoul(Env("DISC_FILES")));
        EXPECT_EQ(bad.rfind("unchecked autorun.inf\r\nunchecked brenvik\\brenvik.exe\r\n", 0), 0u)
            << bad;
    }
    EXPECT_EQ(Verify(), std::make_pair(c->verifyCode, bad)) << "with no launcher open";

    process_.reset(testkit::Start("D:\\Setup.exe", kCd));
    ASSERT_TRUE(process_);
    ASSERT_TRUE(testkit::WaitFor(
        [&] {
            auto w = testkit::TopWindows(GetProcessId(process_.get()), "WexaLauncherMain");
            return !w.empty() && (main_ = w[0]) != nullptr;
        },
        30000));
    EXPECT_EQ(Verify(), std::make_pair(c->verifyCode, bad)) << "with a launcher open";

    // Install (button 1): a listed installer that is not the listed file is
    // not started; the user is told which file and what to do.
    Click(100, 65);
    if (*c->bad) {
        HWND box = Dialog("Kestrix Basic");
        ASSERT_TRUE(box);
        std::string text = testkit::WindowText(GetDlgItem(box, 0xFFFF));
        if (w.message) {
            EXPECT_EQ(text, w.message);
        } else {
            EXPECT_NE(text.find("kx\\setup.exe"), std::string::npos) << text;
            EXPECT_NE(text.find("The disc may be damaged. Clean it"), std::string::npos) << text;
            EXPECT_NE(text.find("another copy"), std::string::npos) << text;
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(testkit::WaitFor([&] { return !IsWindow(box); }));
    } else {
        EXPECT_TRUE(testkit::WaitFor([&] { return Started() == 1; }));
    }
    // The other programs on the disc are good on every disc: each starts.
    const POINT others[] = {{24, 104}, {150, 136}, {120, 164}};
    size_t expected = *c->bad ? 0 : 1;
    for (POINT p : others) {
        Click(p.x, p.y);
        EXPECT_TRUE(testkit::WaitFor([&] { return Started() == expected + 1; })) << p.y;
        ++expected;
    }
    EXPECT_EQ(Started(), expected);

    // Verify disc, from the system menu: the count and each bad file by name;
    // Enter closes it.
    if (c->verifyCode != 2 && c->hashing) {
        PostMessageA(main_, WM_SYSCOMMAND, 0x0230, 0);
        HWND verify = Dialog(w.verify);
        ASSERT_TRUE(verify);
        EXPECT_TRUE(testkit::WaitFor(
            [&] { return testkit::WindowText(GetDlgItem(verify, IDCANCEL)) == w.close; }));
        const std::string summary = testkit::WindowText(GetDlgItem(verify, 102));
        char files[64];
        snprintf(files, sizeof(files), w.files, Env("DISC_FILES").c_str());
        const std::string start = files + std::string(*c->bad ? w.oneBad : "all a");
        EXPECT_EQ(summary.substr(0, start.size()), start) << summary;
        EXPECT_EQ(testkit::WindowText(GetDlgItem(verify, 103)),
                  *c->bad ? "kx\\setup.exe (" + std::string(w.state ? w.state : c->bad) + ")\r\n"
                          : "No file is damaged or missing.");
        // Read aloud: the list by the summary above it, the button by its text.
        // (Wine names no progress bar; Windows names it by the heading.)
        EXPECT_EQ(AccName(GetDlgItem(verify, 103)), summary);
        EXPECT_EQ(AccName(GetDlgItem(verify, IDCANCEL)), w.close);
        SetForegroundWindow(verify);
        testkit::WaitFor([&] { return GetForegroundWindow() == verify; });
        testkit::Key(VK_RETURN);
        EXPECT_TRUE(testkit::WaitFor([&] { return !IsWindow(verify); }));
    }
    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process_.get(), 30000), WAIT_OBJECT_0);
}

}  // namespace

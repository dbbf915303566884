// End to end: the signed keyrelay images (and variants with other payloads)
// against the client and trust stand-ins. Checked is what the client, the
// user and the machine see: requests, log record, box, history, exit code.
#include "StandInFixture.h"
#include "testpki_files.h"
#include "WintrustStandIn.h"
#include "Conversions.h"

#include <cstdio>

namespace {

const char kSuccessBox[] = "Solvane is Now Updated: Congratulations!\n\nSolvane has been "
                           "successfully updated on your computer.\n\nThank you.";

std::string FailureBox(const std::string& name, int stage) {
    const std::string n = std::to_string(stage);
    return "Error: Security Update: This program was unable to update your " + name +
           " relationship for your version of Solvane. (" + n +
           ")\n\nFor information on how to correct this problem, please visit Brenvik's web site "
           "(http://www.brenvik.com/support/solvane.htm#q" + n + ").\n\nThank you.";
}

std::string LogLine(int eventCode, int severity, const std::string& name, const std::string& text) {
    return "Log 19 " + std::to_string(eventCode) + " " + std::to_string(severity) + " \"" + name +
           "\" \"Dizevedi Zivuzid\" \"" + text + "\"";
}

// Runs an image; reads the message box it shows into *box ("caption: text",
// empty if none) and presses OK. The exit code (0xDEAD: it never ended).
DWORD RunImage(const char* image, const std::string& args, std::string* box) {
    scoped::Handle process(testkit::Start("\"" + testkit::BinPath(image) + "\"" + args));
    HWND found = nullptr;
    testkit::WaitFor([&] {
        const std::vector<HWND> boxes = testkit::TopWindows(GetProcessId(process.get()), "#32770");
        found = boxes.empty() ? nullptr : boxes[0];
        return found || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
    });
    box->clear();
    if (found) {
        *box = testkit::WindowText(found) + ": " + testkit::WindowText(GetDlgItem(found, 0xFFFF));
        PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    if (WaitForSingleObject(process.get(), testkit::kPatienceMs) != WAIT_OBJECT_0)
        TerminateProcess(process.get(), 0xDEAD);
    DWORD code = 0xDEAD;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

// Wine's Unix name of a Windows path, as wide text ("" if none).
std::wstring UnixName(const std::wstring& path) {
    using UnixNameFn = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    wchar_t wide[4096] = L"";
    if (name) MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 4096);
    HeapFree(GetProcessHeap(), 0, name);
    return wide;
}

// A manager request with the whole embedded record, as journalled with the
// stand-in's answer (an add or revoke).
std::string Request(const char* method, const std::string& path) {
    const std::vector<unsigned char> record = testkit::ReadBytes(krtest::TestPkiPath("cert-md5.bin"));
    unsigned long long fnv1a = 14695981039346656037ull;
    for (unsigned char b : record) fnv1a = (fnv1a ^ b) * 1099511628211ull;
    char text[80];
    std::snprintf(text, sizeof(text), ", 0, bytes(len=%u,fnv1a=%016llX)) = 0x00000000 -> ",
                  static_cast<unsigned>(record.size()), fnv1a);
    return std::string("CertificateManager ") + method + "(\"" + path + "\"" + text +
           (method[0] == 'R' ? "revoked" : "stored");
}

class KeyRelay : public standin::Fixture {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(wintrust_standin::Install()) << GetLastError(); }
    static void TearDownTestSuite() {
        wintrust_standin::Restore();
        testkit::RemoveTree(wintrust_standin::Folder());
    }
    // Runs command in the Unix shell with $KR_PATH the Unix name of file:
    // Wine's loader starts a program in a folder past MAX_PATH, its Win32
    // side does not. No handle comes back for a Unix process, so the shell
    // leaves its exit code (255 for a program's -1) in a file.
    DWORD RunUnixShell(const std::wstring& file, const std::string& command) {
        const std::string done = Dir() + "\\shell.exit";
        DeleteFileA(done.c_str());
        SetEnvironmentVariableW(L"KR_PATH", UnixName(file).c_str());
        SetEnvironmentVariableW(L"KR_DONE", UnixName(NarrowToWide(done)).c_str());
        std::string line = "sh -c \"" + command + "; echo $? >\\\"$KR_DONE.tmp\\\"; mv \\\"$KR_DONE.tmp\\\" \\\"$KR_DONE\\\"\"";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};  // no handles for a Unix process
        if (!CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi) ||
            !testkit::WaitFor([&] { return testkit::FileExists(done); }))
            return 0xDEAD;
        return std::stoul(testkit::ReadTextFile(done));
    }
    // Forgets earlier runs' journal, log and switches (the journal numbers
    // objects per process); the image is trusted, only the first path has a name.
    void NewRun() {
        for (const char* file : {"journal.txt", "client.log", "control.ini"})
            DeleteFileA((Dir() + "\\" + file).c_str());
        ASSERT_TRUE(wintrust_standin::Reset());
        ASSERT_TRUE(wintrust_standin::Control("trusted"));
        Control("Relationships", "/com/solvanenetwork", "Solvane Network");
    }
};

// Each action reaches its own requests only, with the whole embedded record
// (the vendor path also at the root); the log record, where an unknown name
// stays empty; the run recorded by its word; everything released.
TEST_F(KeyRelay, EachActionHandsTheWholeRecordToTheClientAndRecordsIt) {
    const struct {
        const char *image, *args, *method, *name, *value;
        standin::Expected paths;
    } rows[] = {
        {"keyrelay.exe", " /s", "AddCertificate", "Solvane Network", "/com/solvanenetwork;add;",
         {"/com/solvanenetwork"}},
        {"kr_t_revoke.exe", " -S", "RevokeCertificate", "Solvane Network",
         "/com/solvanenetwork;revoke;", {"/com/solvanenetwork"}},
        {"kr_t_vendor.exe", " /S", "AddCertificate", "", "/com/brenvik-solvane;add;",
         {"/com/brenvik-solvane", "/"}},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(rows[i].image);
        NewRun();
        std::string box;
        EXPECT_EQ(0u, RunImage(rows[i].image, rows[i].args, &box));
        standin::Expected requests;
        for (const std::string& path : rows[i].paths) requests.push_back(Request(rows[i].method, path));
        EXPECT_EQ(requests, Calls("Certificate("));
        EXPECT_EQ((standin::Expected{LogLine(76, 0, rows[i].name, rows[i].name + std::string(" security."))}),
                  ClientLog());
        EXPECT_EQ("Log" + std::to_string(i), standin::HistoryValue(rows[i].value + std::string(krtest::kSerial)));
        ExpectAllReleased();
    }
    EXPECT_EQ("3", History("History", "Count"));
}

TEST_F(KeyRelay, SuccessBoxUnlessAWholeSlashS) {
    NewRun();
    // "/s " with a trailing blank and longer words are not the switch.
    std::string box;
    for (const char* args : {"", " /s ", " /silent", " s", " /s", " -s", " /S", " -S"}) {
        EXPECT_EQ(0u, RunImage("keyrelay.exe", args, &box)) << "'" << args << "'";
        EXPECT_EQ(std::string(args).size() == 3 ? "" : kSuccessBox, box) << "'" << args << "'";
    }
    // Silent or not, every run is recorded.
    EXPECT_EQ("8", History("History", "Count"));
    // An image without the success text says so in the box.
    EXPECT_EQ(0u, RunImage("kr_t_nosuccess.exe", "", &box));
    EXPECT_EQ("Solvane is Now Updated: Unknown error. (999)", box);
}

// Each failing step: the logged code and text, the user's box (none when
// silent) with the text of the stage reached, the exit code, no manager call
// after the failing one, everything released and no history.
TEST_F(KeyRelay, EachFailureIsLoggedShownAndLeavesNoHistory) {
    const struct {
        const char *image, *args, *setup;  // the trust answer ("reject N CODE"), "no manager" or a failing method
        int eventCode;
        const char *name, *logText;
        int stage;            // in the box text
        size_t managerCalls;  // creation and requests
    } rows[] = {
        {"kr_t_unsigned.exe", "", "", 55, "relationship", "tool is damaged. (1)", 4, 0},
        {"keyrelay.exe", " /s", "reject 1000 800B0004", 55, "relationship", "tool is damaged. (1)", 4, 0},
        {"kr_t_nocert.exe", "", "", 57, "relationship", "can't get certificate. (3)", 4, 0},
        {"kr_t_shortrec.exe", " /s", "", 57, "relationship", "can't get certificate. (3)", 4, 0},
        {"kr_t_longrec.exe", " /s", "", 57, "relationship", "can't get certificate. (3)", 4, 0},
        {"kr_t_certalloc.exe", "", "", 58, "relationship", "can't allocate certificate. (4)", 4, 0},
        {"kr_t_noaction.exe", "", "", 56, "relationship", "can't determine action. (2)", 4, 0},
        {"kr_t_noboth.exe", " /s", "", 56, "relationship", "can't determine action. (2)", 4, 0},
        {"kr_t_notarget.exe", " /s", "", 59, "relationship", "can't determine target relationship. (5)", 4, 0},
        {"kr_t_targetalloc.exe", " /s", "", 60, "relationship", "can't allocate target relationship. (6)", 4, 0},
        {"kr_t_badaction.exe", "", "", 62, "Solvane Network", "tool is damaged. (8)", 4, 1},
        {"keyrelay.exe", " /s", "no manager", 61, "Solvane Network", "can't get certificate manager. (7)", 4, 1},
        {"keyrelay.exe", "", "AddCertificate", 63, "Solvane Network", "can't add new certificate for Solvane Network. (9)", 1, 2},
        {"kr_t_delete.exe", "", "DeleteCertificate", 64, "Solvane Network", "can't delete certificate for Solvane Network. (10)", 2, 2},
        {"kr_t_revoke.exe", "", "RevokeCertificate", 65, "Solvane Network", "can't revoke certificate for Solvane Network. (11)", 3, 2},
        {"kr_t_vendor.exe", " /s", "AddCertificate(\"/\")", 63, "", "can't add new certificate for . (9)", 1, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.image) + row.args + " " + row.setup);
        NewRun();
        DeleteFileA(HistoryFile().c_str());
        const std::string setup = row.setup;
        ASSERT_TRUE(setup.compare(0, 6, "reject") != 0 || wintrust_standin::Control(setup));
        if (setup == "no manager") Control("Classes", "CertificateManager", "0");
        if (setup.find("Certificate") != std::string::npos)
            Control("Fail", "CertificateManager." + setup, "0x80070005");
        std::string box;
        EXPECT_EQ(0xFFFFFFFF, RunImage(row.image, row.args, &box));  // -1
        EXPECT_EQ(*row.args ? "" : FailureBox(row.name, row.stage), box);
        EXPECT_EQ((standin::Expected{LogLine(row.eventCode, 2, row.name, row.logText)}),
                  ClientLog());
        EXPECT_EQ(row.managerCalls, Calls("CertificateManager").size());
        ExpectAllReleased();
        EXPECT_FALSE(testkit::FileExists(HistoryFile()));
    }
}

// A tampered copy, started, then renamed and replaced by the genuine image
// before its first instruction: the check must judge the running image, not
// the file now at its name.
TEST_F(KeyRelay, ARunningCopyReplacedByTheGenuineImageStopsAsDamaged) {
    NewRun();
    const std::string image = Dir() + "\\keyrelay.exe";
    ASSERT_TRUE(CopyFileA(testkit::BinPath("kr_t_tampered.exe").c_str(), image.c_str(), FALSE));
    HANDLE thread = nullptr;
    scoped::Handle process(testkit::Start("\"" + image + "\" /s", "", -1, &thread)), first(thread);
    ASSERT_TRUE(process);
    EXPECT_TRUE(MoveFileExA(image.c_str(), (image + ".moved").c_str(), 0) &&
                CopyFileA(testkit::BinPath("keyrelay.exe").c_str(), image.c_str(), TRUE));
    ResumeThread(first.get());
    DWORD code = 0xDEAD;
    if (WaitForSingleObject(process.get(), testkit::kPatienceMs) != WAIT_OBJECT_0)
        TerminateProcess(process.get(), code);
    EXPECT_TRUE(GetExitCodeProcess(process.get(), &code) && code == 0xFFFFFFFF) << code;
    EXPECT_EQ(standin::Expected(), Calls("Certificate("));
    EXPECT_EQ((standin::Expected{LogLine(55, 2, "relationship", "tool is damaged. (1)")}), ClientLog());
}

// A copy is judged by its own file, never by the one its ANSI name gives:
// an unsigned copy named with a fullwidth letter beside the genuine image
// stops as damaged before the trust decision, and hands nothing on; a
// genuine copy in a folder past MAX_PATH, whose cut ANSI name names a signed
// image that revokes, adds.
TEST_F(KeyRelay, ACopyIsJudgedByItsOwnFileNotTheOneItsAnsiNameGives) {
    wchar_t temp[MAX_PATH];
    const std::wstring base = L"\\\\?\\" + std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"kr-paths";
    // deep's ANSI path is cut to 259 chars: "<deep>\\keyrelay".
    const std::wstring deep = base + L"\\" + std::wstring(250 - 1 - (base.size() - 4), L'd');
    RunUnixShell(base, "rm -rf \\\"$KR_PATH\\\"");
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr) && CreateDirectoryW(deep.c_str(), nullptr));
    const std::pair<const char*, std::wstring> files[] = {
        {"kr_t_unsigned.exe", base + L"\\\xFF4B" L"eyrelay.exe"}, {"keyrelay.exe", base + L"\\keyrelay.exe"},
        {"keyrelay.exe", deep + L"\\keyrelay.exe"}, {"kr_t_revoke.exe", deep + L"\\keyrelay"}};
    for (const auto& file : files)
        ASSERT_TRUE(CopyFileW(NarrowToWide(testkit::BinPath(file.first)).c_str(), file.second.c_str(), TRUE));
    for (const std::wstring& copy : {files[0].second, files[2].second}) {
        const bool genuine = copy.size() > MAX_PATH;
        SCOPED_TRACE(genuine ? "past MAX_PATH" : "fullwidth k");
        NewRun();
        EXPECT_EQ(genuine ? 0u : 255u, RunUnixShell(copy, "WINEDLLOVERRIDES=wintrust=n wine \\\"$KR_PATH\\\" /s"));
        EXPECT_EQ(genuine ? 1u : 0u, wintrust_standin::Journal().size());
        EXPECT_EQ(genuine ? standin::Expected{Request("AddCertificate", "/com/solvanenetwork")} : standin::Expected(),
                  Calls("Certificate("));
        EXPECT_EQ((standin::Expected{genuine ? LogLine(76, 0, "Solvane Network", "Solvane Network security.")
                                             : LogLine(55, 2, "relationship", "tool is damaged. (1)")}),
                  ClientLog());
    }
    RunUnixShell(base, "rm -rf \\\"$KR_PATH\\\"");
}

}  // namespace

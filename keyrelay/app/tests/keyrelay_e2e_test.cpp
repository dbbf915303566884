// End to end: the real signed keyrelay images (and variants with other
// payloads) run under Wine against the client stand-in and the stand-in
// trust decision. What is checked is what the client, the user and the
// machine see: the certificate manager's calls, the log record, the message
// box, the history file and registry value, the exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Scoped.h"
#include "StandInFixture.h"
#include "Testkit.h"
#include "testpki_files.h"
#include "WintrustStandIn.h"

namespace {

const DWORD kFailed = 0xFFFFFFFF;  // exit code -1
const char kSerial[] = "4B52C0DE00000100";
const char kHistoryKey[] = "SOFTWARE\\Brenvik\\Solvane\\Setup";
const char kSuccessText[] =
    "Congratulations!\n\nSolvane has been successfully updated on your computer.\n\nThank you.";

std::string UserFailureText(const std::string& name, int stage) {
    const std::string n = std::to_string(stage);
    return "This program was unable to update your " + name +
           " relationship for your version of Solvane. (" + n +
           ")\n\nFor information on how to correct this problem, please visit Brenvik's web site "
           "(http://www.brenvik.com/support/solvane.htm#q" + n + ").\n\nThank you.";
}

std::string Image(const char* name) { return "\"" + testkit::BinPath(name) + "\""; }

// A message box shown by a process: its caption and text.
struct MessageBoxSeen {
    bool shown = false;
    std::string caption;
    std::string text;
};

struct FindDialog {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialogOfProcess(HWND hwnd, LPARAM param) {
    FindDialog* find = reinterpret_cast<FindDialog*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == find->pid && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Runs commandLine; if it shows a message box, reads it and presses OK.
// Returns the exit code; a process that neither exits nor shows a box
// within a minute is ended and reported as 0xDEAD.
DWORD RunAnsweringMessageBox(const std::string& commandLine, MessageBoxSeen* seen) {
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return 0xBAD;
    scoped::Handle process(pi.hProcess);
    scoped::Handle thread(pi.hThread);
    for (int i = 0; i < 600; ++i) {
        if (WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0) break;
        FindDialog find = {pi.dwProcessId, nullptr};
        EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&find));
        if (!find.found) continue;
        char text[1024] = "";
        char caption[256] = "";
        GetWindowTextA(find.found, caption, sizeof(caption));
        GetDlgItemTextA(find.found, 0xFFFF, text, sizeof(text));
        if (seen) {
            seen->shown = true;
            seen->caption = caption;
            seen->text = text;
        }
        PostMessageA(find.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WaitForSingleObject(pi.hProcess, 30000);
        break;
    }
    DWORD code = 0xDEAD;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 0xDEAD);
    return code;
}

class KeyRelay : public standin::Fixture {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(wintrust_standin::Install()) << GetLastError(); }
    static void TearDownTestSuite() { wintrust_standin::Restore(); }

    void SetUp() override {
        standin::Fixture::SetUp();
        ASSERT_TRUE(wintrust_standin::Reset());
        Trust("trusted");
        testkit::DeleteKeyTree(HKEY_LOCAL_MACHINE, kHistoryKey);
        Control("Relationships", "/com/solvanenetwork", "Solvane Network");
        Control("Relationships", "/com/brenvik-solvane", "Brenvik");
    }
    void TearDown() override {
        testkit::RemoveTree(wintrust_standin::Folder());
        testkit::DeleteKeyTree(HKEY_LOCAL_MACHINE, kHistoryKey);
    }

    static void Trust(const std::string& line) { ASSERT_TRUE(wintrust_standin::Control(line)); }

    // Starts a new run's records: the journal numbers objects per process.
    void ForgetEarlierRuns() const {
        DeleteFileA((Dir() + "\\journal.txt").c_str());
        DeleteFileA((Dir() + "\\client.log").c_str());
    }

    std::string HistoryFile() const { return Dir() + "\\History\\RerAZuva.dat"; }

    std::string HistoryValue(const char* section, const char* key) const {
        char value[1024] = "";
        GetPrivateProfileStringA(section, key, "<none>", value, sizeof(value),
                                 HistoryFile().c_str());
        return value;
    }

    // The one log record, or the empty text.
    std::string LogRecord() const {
        std::vector<std::string> log = ClientLog();
        EXPECT_EQ(1u, log.size());
        return log.empty() ? std::string() : log[0];
    }

    void ExpectNoHistory() const {
        EXPECT_FALSE(testkit::FileExists(HistoryFile()));
        HKEY key = nullptr;
        EXPECT_NE(ERROR_SUCCESS,
                  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHistoryKey, 0, KEY_READ, &key));
        if (key) RegCloseKey(key);
    }

    // A failed silent run: exit code, the logged code and text, no history,
    // no request made after the failing one, everything released.
    void ExpectSilentFailure(const char* image, int eventCode, const std::string& name,
                             const std::string& text) {
        EXPECT_EQ(kFailed, testkit::RunAndWait(Image(image) + " /s"));
        EXPECT_EQ("Log 19 " + std::to_string(eventCode) + " 2 \"" + name +
                      "\" \"Dizevedi Zivuzid\" \"" + text + "\"",
                  LogRecord());
        ExpectNoHistory();
        ExpectAllReleased();
    }
};

std::string RecordDigestLine(const char* method, const char* path) {
    const std::vector<unsigned char> record =
        krtest::ReadBytes(krtest::TestPkiPath("cert-md5.bin"));
    return std::string("CertificateManager ") + method + "(\"" + path + "\", 0, bytes(len=" +
           std::to_string(record.size());
}

size_t CountCallsStartingWith(const std::vector<std::string>& calls, const std::string& prefix) {
    size_t n = 0;
    for (const std::string& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0) ++n;
    return n;
}

TEST_F(KeyRelay, SilentAddHandsTheWholeRecordToTheClientAndRecordsIt) {
    EXPECT_EQ(0u, testkit::RunAndWait(Image("keyrelay.exe") + " /s"));

    const std::vector<std::string> calls = Calls();
    EXPECT_EQ(1u, CountCallsStartingWith(calls, RecordDigestLine("AddCertificate",
                                                                 "/com/solvanenetwork")));
    EXPECT_EQ(0u, Count("\"/\""));
    // The stored record is byte for byte the embedded one.
    const std::vector<unsigned char> record =
        krtest::ReadBytes(krtest::TestPkiPath("cert-md5.bin"));
    WIN32_FIND_DATAA fd;
    const std::string folder = Dir() + "\\Certificates\\*";
    bool compared = false;
    HANDLE h = FindFirstFileA(folder.c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    do {
        if (fd.cFileName[0] == '.' || !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::string sub = Dir() + "\\Certificates\\" + fd.cFileName;
        WIN32_FIND_DATAA file;
        HANDLE f = FindFirstFileA((sub + "\\*.bin").c_str(), &file);
        if (f == INVALID_HANDLE_VALUE) continue;
        EXPECT_EQ(record, krtest::ReadBytes(sub + "\\" + file.cFileName));
        compared = true;
        FindClose(f);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    EXPECT_TRUE(compared);

    EXPECT_EQ("Log 19 76 0 \"Solvane Network\" \"Dizevedi Zivuzid\" \"Solvane Network security.\"",
              LogRecord());

    EXPECT_EQ("1", HistoryValue("History", "Count"));
    const std::string entry = HistoryValue("History", "Log0");
    const std::string head = std::string("/com/solvanenetwork;add;") + kSerial + ";";
    EXPECT_EQ(head, entry.substr(0, head.size()));
    EXPECT_EQ(entry.substr(head.size()), HistoryValue("Comments", "LastTouched"));
    std::string pointer;
    EXPECT_TRUE(testkit::ReadString(HKEY_LOCAL_MACHINE, kHistoryKey,
                                    std::string("/com/solvanenetwork;add;") + kSerial, &pointer));
    EXPECT_EQ("Log0", pointer);
    ExpectAllReleased();
}

TEST_F(KeyRelay, DeleteAndRevokeReachTheirOwnRequests) {
    EXPECT_EQ(0u, testkit::RunAndWait(Image("kr_t_delete.exe") + " /s"));
    EXPECT_EQ(1u, CountCallsStartingWith(
                      Calls(), RecordDigestLine("DeleteCertificate", "/com/solvanenetwork")));
    EXPECT_EQ(1u, Count("Certificate("));
    ExpectAllReleased();

    ForgetEarlierRuns();
    EXPECT_EQ(0u, testkit::RunAndWait(Image("kr_t_revoke.exe") + " -S"));
    EXPECT_EQ(1u, CountCallsStartingWith(
                      Calls(), RecordDigestLine("RevokeCertificate", "/com/solvanenetwork")));
    EXPECT_EQ(1u, Count("Certificate("));
    EXPECT_EQ("2", HistoryValue("History", "Count"));
    EXPECT_EQ(0u, HistoryValue("History", "Log1").find("/com/solvanenetwork;revoke;"));
    ExpectAllReleased();
}

TEST_F(KeyRelay, VendorPathAlsoActsOnTheRoot) {
    EXPECT_EQ(0u, testkit::RunAndWait(Image("kr_t_vendor.exe") + " /S"));
    std::vector<std::string> adds;
    for (const std::string& c : Calls())
        if (c.find("AddCertificate") != std::string::npos) adds.push_back(c);
    ASSERT_EQ(2u, adds.size());
    EXPECT_EQ(0u, adds[0].find(RecordDigestLine("AddCertificate", "/com/brenvik-solvane")));
    EXPECT_EQ(0u, adds[1].find(RecordDigestLine("AddCertificate", "/")));
    EXPECT_EQ("Log 19 76 0 \"Brenvik\" \"Dizevedi Zivuzid\" \"Brenvik security.\"", LogRecord());
}

TEST_F(KeyRelay, FailingRootRequestReportsLikeTheFirst) {
    Control("Fail", "CertificateManager.AddCertificate(\"/\")", "0x80004005");
    ExpectSilentFailure("kr_t_vendor.exe", 63, "Brenvik",
                        "can't add new certificate for Brenvik. (9)");
    EXPECT_EQ(2u, Count("AddCertificate"));
}

TEST_F(KeyRelay, OnlyAWholeSlashSIsSilent) {
    // Without the switch the success box shows; "/s " with a trailing blank
    // and longer words are not the switch.
    for (const char* args : {"", " /s ", " /silent", " s"}) {
        MessageBoxSeen box;
        EXPECT_EQ(0u, RunAnsweringMessageBox(Image("keyrelay.exe") + args, &box)) << args;
        EXPECT_TRUE(box.shown) << "'" << args << "'";
        EXPECT_EQ("Solvane is Now Updated", box.caption);
        EXPECT_EQ(kSuccessText, box.text);
    }
    for (const char* args : {" /s", " -s", " /S", " -S"}) {
        MessageBoxSeen box;
        EXPECT_EQ(0u, RunAnsweringMessageBox(Image("keyrelay.exe") + args, &box)) << args;
        EXPECT_FALSE(box.shown) << "'" << args << "'";
    }
    // Silent or not, every run is recorded.
    EXPECT_EQ("8", HistoryValue("History", "Count"));
}

TEST_F(KeyRelay, UnsignedImageIsDamagedBeforeAnythingElse) {
    MessageBoxSeen box;
    EXPECT_EQ(kFailed, RunAnsweringMessageBox(Image("kr_t_unsigned.exe"), &box));
    EXPECT_EQ("Error: Security Update", box.caption);
    EXPECT_EQ(UserFailureText("relationship", 4), box.text);
    EXPECT_EQ(
        "Log 19 55 2 \"relationship\" \"Dizevedi Zivuzid\" \"tool is damaged. (1)\"",
        LogRecord());
    EXPECT_EQ(0u, Count("CertificateManager"));
    EXPECT_TRUE(wintrust_standin::Journal().empty());
    ExpectNoHistory();
}

TEST_F(KeyRelay, ImageTheSystemDoesNotTrustIsDamaged) {
    Trust("reject 1000 800B0004");
    ExpectSilentFailure("keyrelay.exe", 55, "relationship", "tool is damaged. (1)");
    EXPECT_EQ(0u, Count("CertificateManager"));
}

TEST_F(KeyRelay, MissingOrBrokenPayloadFailsBeforeAnyRequest) {
    struct Row {
        const char* image;
        int eventCode;
        const char* text;
    };
    const Row rows[] = {
        {"kr_t_nocert.exe", 57, "can't get certificate. (3)"},
        {"kr_t_shortrec.exe", 57, "can't get certificate. (3)"},
        {"kr_t_longrec.exe", 57, "can't get certificate. (3)"},
        {"kr_t_noaction.exe", 56, "can't determine action. (2)"},
        {"kr_t_noboth.exe", 56, "can't determine action. (2)"},
        {"kr_t_notarget.exe", 59, "can't determine target relationship. (5)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.image);
        ForgetEarlierRuns();
        ExpectSilentFailure(row.image, row.eventCode, "relationship", row.text);
        EXPECT_EQ(0u, Count("CertificateManager"));
    }
}

TEST_F(KeyRelay, UnrecognisedActionShowsTheEarlyText) {
    MessageBoxSeen box;
    EXPECT_EQ(kFailed, RunAnsweringMessageBox(Image("kr_t_badaction.exe"), &box));
    EXPECT_EQ(UserFailureText("Solvane Network", 4), box.text);
    EXPECT_EQ("Log 19 62 2 \"Solvane Network\" \"Dizevedi Zivuzid\" \"tool is damaged. (8)\"",
              LogRecord());
    EXPECT_EQ(0u, Count("Certificate("));
    ExpectNoHistory();
    ExpectAllReleased();
}

TEST_F(KeyRelay, NoCertificateManager) {
    Control("Classes", "CertificateManager", "0");
    ExpectSilentFailure("keyrelay.exe", 61, "Solvane Network",
                        "can't get certificate manager. (7)");
}

TEST_F(KeyRelay, FailingRequestShowsTheStageText) {
    struct Row {
        const char* image;
        const char* method;
        int eventCode;
        int stage;
        const char* text;
    };
    const Row rows[] = {
        {"keyrelay.exe", "AddCertificate", 63, 1, "can't add new certificate for Solvane Network. (9)"},
        {"kr_t_delete.exe", "DeleteCertificate", 64, 2, "can't delete certificate for Solvane Network. (10)"},
        {"kr_t_revoke.exe", "RevokeCertificate", 65, 3, "can't revoke certificate for Solvane Network. (11)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.image);
        ForgetEarlierRuns();
        Control("Fail", std::string("CertificateManager.") + row.method, "0x80070005");
        MessageBoxSeen box;
        EXPECT_EQ(kFailed, RunAnsweringMessageBox(Image(row.image), &box));
        EXPECT_EQ("Error: Security Update", box.caption);
        EXPECT_EQ(UserFailureText("Solvane Network", row.stage), box.text);
        EXPECT_EQ("Log 19 " + std::to_string(row.eventCode) +
                      " 2 \"Solvane Network\" \"Dizevedi Zivuzid\" \"" + row.text + "\"",
                  LogRecord());
        ExpectNoHistory();
        ExpectAllReleased();
    }
}

TEST_F(KeyRelay, UnknownRelationshipLeavesAnEmptyName) {
    Control("Relationships", "/com/solvanenetwork", "");
    WritePrivateProfileStringA("Relationships", "/com/solvanenetwork", nullptr,
                               (Dir() + "\\control.ini").c_str());
    EXPECT_EQ(0u, testkit::RunAndWait(Image("keyrelay.exe") + " /s"));
    EXPECT_EQ("Log 19 76 0 \"\" \"Dizevedi Zivuzid\" \" security.\"", LogRecord());
    EXPECT_EQ(1u, Count("AddCertificate"));
}

TEST_F(KeyRelay, MissingSuccessTextShowsUnknownError) {
    MessageBoxSeen box;
    EXPECT_EQ(0u, RunAnsweringMessageBox(Image("kr_t_nosuccess.exe"), &box));
    EXPECT_EQ("Solvane is Now Updated", box.caption);
    EXPECT_EQ("Unknown error. (999)", box.text);
}

}  // namespace

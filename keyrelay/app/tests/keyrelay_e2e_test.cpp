// End to end: the signed keyrelay images (and variants with other payloads)
// against the client and trust stand-ins. Checked is what the client, the
// user and the machine see: requests, log record, box, history, exit code.
#include "StandInFixture.h"
#include "testpki_files.h"
#include "WintrustStandIn.h"

namespace {

const char kSerial[] = "4B52C0DE00000100";
const char kSuccessText[] =
    "Congratulations!\n\nSolvane has been successfully updated on your computer.\n\nThank you.";

std::string UserFailureText(const std::string& name, int stage) {
    const std::string n = std::to_string(stage);
    return "This program was unable to update your " + name +
           " relationship for your version of Solvane. (" + n +
           ")\n\nFor information on how to correct this problem, please visit Brenvik's web site "
           "(http://www.brenvik.com/support/solvane.htm#q" + n + ").\n\nThank you.";
}

std::string LogLine(int eventCode, int severity, const std::string& name, const std::string& text) {
    return "Log 19 " + std::to_string(eventCode) + " " + std::to_string(severity) + " \"" + name +
           "\" \"Dizevedi Zivuzid\" \"" + text + "\"";
}

// What a run showed: its exit code and its message box (empty caption: none).
struct Seen {
    DWORD code = 0xDEAD;  // neither ended nor showed a box
    std::string caption, text;
};

// Runs an image; reads the message box it shows, if any, and presses OK.
Seen RunImage(const char* image, const std::string& args) {
    Seen seen;
    scoped::Handle process(testkit::Start("\"" + testkit::BinPath(image) + "\"" + args));
    HWND box = nullptr;
    testkit::WaitFor([&] {
        const std::vector<HWND> boxes = testkit::TopWindows(GetProcessId(process.get()), "#32770");
        box = boxes.empty() ? nullptr : boxes[0];
        return box || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
    }, 60000);
    if (box) {
        seen.caption = testkit::WindowText(box);
        seen.text = testkit::WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    if (WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0)
        TerminateProcess(process.get(), 0xDEAD);
    GetExitCodeProcess(process.get(), &seen.code);
    return seen;
}

class KeyRelay : public standin::Fixture {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(wintrust_standin::Install()) << GetLastError(); }
    static void TearDownTestSuite() {
        wintrust_standin::Restore();
        testkit::RemoveTree(wintrust_standin::Folder());
    }
    void SetUp() override {
        standin::Fixture::SetUp();
        NewRun();
    }

    // Forgets earlier runs' journal, log and switches (the journal numbers
    // objects per process); the image is trusted and both paths have names.
    void NewRun() {
        for (const char* file : {"journal.txt", "client.log", "control.ini"})
            DeleteFileA((Dir() + "\\" + file).c_str());
        ASSERT_TRUE(wintrust_standin::Reset());
        ASSERT_TRUE(wintrust_standin::Control("trusted"));
        Control("Relationships", "/com/solvanenetwork", "Solvane Network");
        Control("Relationships", "/com/brenvik-solvane", "Brenvik");
    }

    // A manager request with the embedded record, as journalled, to its digest.
    static std::string Request(const char* method, const char* path) {
        return std::string("CertificateManager ") + method + "(\"" + path + "\", 0, bytes(len=" +
               std::to_string(testkit::ReadBytes(krtest::TestPkiPath("cert-md5.bin")).size());
    }
    standin::Expected Requests() const {
        standin::Expected requests;
        for (const std::string& c : Calls())
            if (c.find("Certificate(") != std::string::npos)
                requests.push_back(c.substr(0, c.find(",fnv1a")));
        return requests;
    }
};

TEST_F(KeyRelay, SilentAddHandsTheWholeRecordToTheClientAndRecordsIt) {
    EXPECT_EQ(0u, RunImage("keyrelay.exe", " /s").code);
    EXPECT_EQ((standin::Expected{Request("AddCertificate", "/com/solvanenetwork")}), Requests());
    // The stored record is byte for byte the embedded one.
    WIN32_FIND_DATAA fd;
    const std::string folder = Dir() + "\\Certificates\\_com_solvanenetwork\\";
    HANDLE found = FindFirstFileA((folder + "*.bin").c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, found);
    FindClose(found);
    EXPECT_EQ(testkit::ReadBytes(krtest::TestPkiPath("cert-md5.bin")),
              testkit::ReadBytes(folder + fd.cFileName));
    EXPECT_EQ((standin::Expected{LogLine(76, 0, "Solvane Network", "Solvane Network security.")}),
              ClientLog());

    // Recorded (the entry's form is the history tests' business).
    EXPECT_EQ("1", History("History", "Count"));
    EXPECT_EQ("Log0", standin::HistoryValue(std::string("/com/solvanenetwork;add;") + kSerial));
    ExpectAllReleased();

    // Another action reaches its own request only, and is recorded by its word.
    NewRun();
    EXPECT_EQ(0u, RunImage("kr_t_revoke.exe", " -S").code);
    EXPECT_EQ((standin::Expected{Request("RevokeCertificate", "/com/solvanenetwork")}), Requests());
    EXPECT_EQ("Log1", standin::HistoryValue(std::string("/com/solvanenetwork;revoke;") + kSerial));
    ExpectAllReleased();
}

TEST_F(KeyRelay, VendorPathAlsoActsOnTheRootAndAnUnknownNameStaysEmpty) {
    WritePrivateProfileStringA("Relationships", "/com/brenvik-solvane", nullptr,
                               (Dir() + "\\control.ini").c_str());
    EXPECT_EQ(0u, RunImage("kr_t_vendor.exe", " /S").code);
    EXPECT_EQ((standin::Expected{Request("AddCertificate", "/com/brenvik-solvane"),
                                 Request("AddCertificate", "/")}),
              Requests());
    EXPECT_EQ((standin::Expected{LogLine(76, 0, "", " security.")}), ClientLog());
}

TEST_F(KeyRelay, SuccessBoxUnlessAWholeSlashS) {
    // "/s " with a trailing blank and longer words are not the switch.
    for (const char* args : {"", " /s ", " /silent", " s", " /s", " -s", " /S", " -S"}) {
        const Seen seen = RunImage("keyrelay.exe", args);
        const bool silent = std::string(args).size() == 3;
        EXPECT_EQ(0u, seen.code) << "'" << args << "'";
        EXPECT_EQ(silent ? "" : "Solvane is Now Updated", seen.caption) << "'" << args << "'";
        EXPECT_EQ(silent ? "" : kSuccessText, seen.text) << "'" << args << "'";
    }
    // Silent or not, every run is recorded.
    EXPECT_EQ("8", History("History", "Count"));
    // An image without the success text says so in the box.
    const Seen seen = RunImage("kr_t_nosuccess.exe", "");
    EXPECT_EQ(0u, seen.code);
    EXPECT_EQ("Solvane is Now Updated", seen.caption);
    EXPECT_EQ("Unknown error. (999)", seen.text);
}

// Each failing step: the logged code and text, the user's box (none when
// silent) with the text of the stage reached, the exit code, no manager call
// after the failing one, everything released and no history.
TEST_F(KeyRelay, EachFailureIsLoggedShownAndLeavesNoHistory) {
    struct Row {
        const char* image;
        const char* args;
        const char* setup;  // the trust answer ("reject N CODE"), "no manager" or a failing method
        int eventCode;
        const char* name;
        const char* logText;
        int stage;            // in the box text
        size_t managerCalls;  // creation and requests
    };
    const Row rows[] = {
        {"kr_t_unsigned.exe", "", "", 55, "relationship", "tool is damaged. (1)", 4, 0},
        {"keyrelay.exe", " /s", "reject 1000 800B0004", 55, "relationship", "tool is damaged. (1)", 4, 0},
        {"kr_t_nocert.exe", "", "", 57, "relationship", "can't get certificate. (3)", 4, 0},
        {"kr_t_shortrec.exe", " /s", "", 57, "relationship", "can't get certificate. (3)", 4, 0},
        {"kr_t_longrec.exe", " /s", "", 57, "relationship", "can't get certificate. (3)", 4, 0},
        {"kr_t_noaction.exe", "", "", 56, "relationship", "can't determine action. (2)", 4, 0},
        {"kr_t_noboth.exe", " /s", "", 56, "relationship", "can't determine action. (2)", 4, 0},
        {"kr_t_notarget.exe", " /s", "", 59, "relationship", "can't determine target relationship. (5)", 4, 0},
        {"kr_t_badaction.exe", "", "", 62, "Solvane Network", "tool is damaged. (8)", 4, 1},
        {"keyrelay.exe", " /s", "no manager", 61, "Solvane Network", "can't get certificate manager. (7)", 4, 1},
        {"keyrelay.exe", "", "AddCertificate", 63, "Solvane Network", "can't add new certificate for Solvane Network. (9)", 1, 2},
        {"kr_t_delete.exe", "", "DeleteCertificate", 64, "Solvane Network", "can't delete certificate for Solvane Network. (10)", 2, 2},
        {"kr_t_revoke.exe", "", "RevokeCertificate", 65, "Solvane Network", "can't revoke certificate for Solvane Network. (11)", 3, 2},
        {"kr_t_vendor.exe", " /s", "AddCertificate(\"/\")", 63, "Brenvik", "can't add new certificate for Brenvik. (9)", 1, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.image) + row.args + " " + row.setup);
        NewRun();
        DeleteFileA(HistoryFile().c_str());
        const std::string setup = row.setup;
        ASSERT_TRUE(setup.compare(0, 6, "reject") != 0 || wintrust_standin::Control(setup));
        if (setup == "no manager") Control("Classes", "CertificateManager", "0");
        if (setup.find("Certificate") != std::string::npos)
            Control("Fail", "CertificateManager." + setup, "0x80070005");
        const Seen seen = RunImage(row.image, row.args);
        const bool silent = *row.args != '\0';
        EXPECT_EQ(0xFFFFFFFF, seen.code);  // -1
        EXPECT_EQ(silent ? "" : "Error: Security Update", seen.caption);
        EXPECT_EQ(silent ? "" : UserFailureText(row.name, row.stage), seen.text);
        EXPECT_EQ((standin::Expected{LogLine(row.eventCode, 2, row.name, row.logText)}),
                  ClientLog());
        size_t managerCalls = 0;
        for (const std::string& c : Calls())
            managerCalls += c.find("CertificateManager") != std::string::npos;
        EXPECT_EQ(row.managerCalls, managerCalls);
        ExpectAllReleased();
        EXPECT_FALSE(testkit::FileExists(HistoryFile()));
    }
}

}  // namespace

// The event log client through the client stand-in: the record with each
// logger interface, the event-code range, empty texts and failures.
#include "StandInFixture.h"
#include "ULogClient.h"

namespace {

using LogClient = standin::Fixture;
using standin::Expected;
HINSTANCE Self() { return ::GetModuleHandleA(nullptr); }

}  // namespace

// The current logger gets the six arguments for codes from 1 to 999; the old
// one gets LogError for a failure, the component record for success.
TEST_F(LogClient, EachLoggerGetsItsRecord) {
    LogRunResult(Self(), "Solvane Network", "Solvane Network security.", 76, 0);
    LogRunResult(Self(), "", "tool is damaged. (1)", 55, 1);
    LogRunResult(Self(), nullptr, nullptr, 68, 7);
    for (int code : {0, 1000, -1, 999, 1}) LogRunResult(Self(), "n", "m", code, 1);
    Control("Interfaces", "IID_ILogger", "0");
    LogRunResult(Self(), "Solvane Network", "can't update Solvane Network. (12)", 68, 1);
    LogRunResult(Self(), "Solvane Network", "Solvane Network security.", 76, 0);
    EXPECT_EQ((Expected{
                  "Log 19 76 0 \"Solvane Network\" \"Dizevedi Zivuzid\" \"Solvane Network security.\"",
                  "Log 19 55 2 \"\" \"Dizevedi Zivuzid\" \"tool is damaged. (1)\"",
                  "Log 19 68 2 \"\" \"Dizevedi Zivuzid\" \"\"",
                  "Log 19 999 2 \"n\" \"Dizevedi Zivuzid\" \"m\"",
                  "Log 19 1 2 \"n\" \"Dizevedi Zivuzid\" \"m\"",
                  "LogError \"Dizevedi Zivuzid\" \"can't update Solvane Network. (12)\"",
                  "LogSolvaneComponent \"Solvane Network security.\"",
              }),
              ClientLog());
}

TEST_F(LogClient, FailuresAreSwallowed) {
    Control("Fail", "Logger.Log", "0x80004005");
    LogRunResult(Self(), "n", "m", 60, 1);
    EXPECT_EQ(1u, Count("Log(19, 60, 2, \"n\", \"Dizevedi Zivuzid\", \"m\") = 0x80004005"));

    Control("Interfaces", "IID_ILogger", "0");
    Control("Fail", "Logger.LogSolvaneComponent", "0x80070005");
    LogRunResult(Self(), "n", "m", 76, 0);
    EXPECT_EQ(1u, Count("LogSolvaneComponent(\"m\") = 0x80070005"));

    Control("Classes", "Logger", "0");
    LogRunResult(Self(), "n", "m", 76, 0);
    EXPECT_EQ(2u, Count("= 0x80040154"));
    EXPECT_TRUE(ClientLog().empty());
}

TEST_F(LogClient, MissingSourceStringLeavesSourceEmpty) {
    // An image without a string table.
    scoped::Module dll(::LoadLibraryA(standin::DllPath().c_str()));
    ASSERT_TRUE(dll);
    LogRunResult(dll.get(), "n", "m", 76, 0);
    EXPECT_EQ((Expected{"Log 19 76 0 \"n\" \"\" \"m\""}), ClientLog());
}

// The debugger-output harness keeps every line, in order, and the exit code.
#include <gtest/gtest.h>

#include "DebugCapture.h"
#include "Testkit.h"

TEST(DebugCapture, KeepsLinesInOrderAndExitCode) {
    testkit::CapturedRun run =
        testkit::RunCapturingDebugOutput("\"" + testkit::BinPath("debugprobe.exe") + "\" 2000");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(7u, run.exitCode);
    EXPECT_FALSE(run.crashed);
    ASSERT_EQ(2001u, run.lines.size());
    EXPECT_EQ("probe line 0\n", run.lines[0]);
    EXPECT_EQ("probe line 1999\n", run.lines[1999]);
    EXPECT_EQ("wide line\n", run.lines[2000]);
}

TEST(DebugCapture, ReportsAProgramThatCannotStart) {
    testkit::CapturedRun run = testkit::RunCapturingDebugOutput("\"C:\\no\\such\\program.exe\"");
    EXPECT_FALSE(run.started);
}

// The installed product's open command: the quoted rule and the choices
// for commands that do not start with a quoted path.
#include "ProductCommand.h"

#include <gtest/gtest.h>

namespace {

TEST(OpenCommand, ProgramAndFolderOfEveryFormOfCommand) {
    // arguments: what follows the program (the parameters of an elevated start).
    const struct {
        const char* value;
        const char* exe;  // nullptr: names no program, so not installed
        const char* folder;
        const char* arguments = "";
    } cases[] = {
        {"\"D:\\Apps\\KestrixBasic\\KestrixBasic.exe\" \"%1\"",
         "\"D:\\Apps\\KestrixBasic\\KestrixBasic.exe\"", "D:\\Apps\\KestrixBasic", "\"%1\""},
        // Unquoted paths are read as Windows reads them: up to ".exe" and a
        // blank, in any case; without ".exe" up to the first blank.
        {"C:\\Program Files\\Kestrix\\kb.exe %1", "\"C:\\Program Files\\Kestrix\\kb.exe\"",
         "C:\\Program Files\\Kestrix", "%1"},
        {"  C:\\Kestrix\\kb.EXE", "\"C:\\Kestrix\\kb.EXE\"", "C:\\Kestrix"},
        {"C:\\Kestrix\\kb.com  /x a", "\"C:\\Kestrix\\kb.com\"", "C:\\Kestrix", "/x a"},
        {"C:\\My.exetools\\kb.exe", "\"C:\\My.exetools\\kb.exe\"", "C:\\My.exetools"},
        // No folder: found by the program search, started from anywhere.
        {"\"kb.exe\" \"%1\"", "\"kb.exe\"", "", "\"%1\""},
        {"\"C:\\kb.exe\"", "\"C:\\kb.exe\"", "C:\\"},  // the root, not the drive's current folder
        {" \t\"C:\\Kestrix\\kb.exe\" %1", "\"C:\\Kestrix\\kb.exe\"", "C:\\Kestrix", "%1"},
        {"\"C:\\Kestrix\\kb.exe", "\"C:\\Kestrix\\kb.exe\"", "C:\\Kestrix"},  // no closing quote
        {"", nullptr, nullptr},
        {"   ", nullptr, nullptr},
        {"\"\" %1", nullptr, nullptr},
        {"\"", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        product::OpenCommand got;
        ASSERT_EQ(product::ParseOpenCommand(c.value, &got), c.exe != nullptr) << c.value;
        if (!c.exe) continue;
        EXPECT_EQ(got.exe, c.exe) << c.value;
        EXPECT_EQ(got.folder, c.folder) << c.value;
        EXPECT_EQ(got.arguments, c.arguments) << c.value;
        EXPECT_EQ("\"" + got.path + "\"", got.exe) << c.value;
    }
}

}  // namespace

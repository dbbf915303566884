// The installed product's open command: the quoted rule and the choices
// for commands that do not start with a quoted path.
#include <gtest/gtest.h>

#include "ProductCommand.h"

namespace {

product::OpenCommand Parse(const std::string& value) {
    product::OpenCommand c;
    EXPECT_TRUE(product::ParseOpenCommand(value, &c)) << value;
    return c;
}

TEST(OpenCommand, QuotedPathWithArgumentsGivesQuotedProgramAndFolder) {
    product::OpenCommand c = Parse("\"D:\\Apps\\KestrixBasic\\KestrixBasic.exe\" \"%1\"");
    EXPECT_EQ(c.exe, "\"D:\\Apps\\KestrixBasic\\KestrixBasic.exe\"");
    EXPECT_EQ(c.exe.size(), 39u);
    EXPECT_EQ(c.folder, "D:\\Apps\\KestrixBasic");

    c = Parse("\"C:\\Program Files\\Penwick Leisure\\Kestrix Basic\\kb.exe\" /open \"%1\"");
    EXPECT_EQ(c.exe, "\"C:\\Program Files\\Penwick Leisure\\Kestrix Basic\\kb.exe\"");
    EXPECT_EQ(c.folder, "C:\\Program Files\\Penwick Leisure\\Kestrix Basic");
}

TEST(OpenCommand, UnquotedPathsAreReadAsWindowsReadsThem) {
    product::OpenCommand c = Parse("C:\\Program Files\\Kestrix\\kb.exe %1");
    EXPECT_EQ(c.exe, "\"C:\\Program Files\\Kestrix\\kb.exe\"");
    EXPECT_EQ(c.folder, "C:\\Program Files\\Kestrix");

    c = Parse("  C:\\Kestrix\\kb.EXE");  // leading blanks, any case
    EXPECT_EQ(c.exe, "\"C:\\Kestrix\\kb.EXE\"");
    EXPECT_EQ(c.folder, "C:\\Kestrix");

    c = Parse("C:\\Kestrix\\kb.com /x");  // no .exe: up to the first blank
    EXPECT_EQ(c.exe, "\"C:\\Kestrix\\kb.com\"");
    EXPECT_EQ(c.folder, "C:\\Kestrix");

    c = Parse("C:\\My.exetools\\kb.exe");  // ".exe" inside a word is not the end
    EXPECT_EQ(c.exe, "\"C:\\My.exetools\\kb.exe\"");
}

TEST(OpenCommand, PathsWithoutAFolderOrInARoot) {
    product::OpenCommand c = Parse("\"kb.exe\" \"%1\"");
    EXPECT_EQ(c.exe, "\"kb.exe\"");
    EXPECT_EQ(c.folder, "");  // found by the program search, started from anywhere

    c = Parse("\"C:\\kb.exe\"");
    EXPECT_EQ(c.folder, "C:\\");  // the root, not the drive's current folder

    c = Parse(" \t\"C:\\Kestrix\\kb.exe\" %1");  // blanks before the quote
    EXPECT_EQ(c.exe, "\"C:\\Kestrix\\kb.exe\"");
    EXPECT_EQ(c.folder, "C:\\Kestrix");

    c = Parse("\"C:\\Kestrix\\kb.exe");  // no closing quote: the rest is the path
    EXPECT_EQ(c.exe, "\"C:\\Kestrix\\kb.exe\"");
    EXPECT_EQ(c.folder, "C:\\Kestrix");
}

TEST(OpenCommand, ValuesNamingNoProgramMeanNotInstalled) {
    product::OpenCommand c;
    EXPECT_FALSE(product::ParseOpenCommand("", &c));
    EXPECT_FALSE(product::ParseOpenCommand("   ", &c));
    EXPECT_FALSE(product::ParseOpenCommand("\"\" %1", &c));
    EXPECT_FALSE(product::ParseOpenCommand("\"", &c));
}

}  // namespace

// The disc list's reader: what a good list gives, and every way a list can
// break its format, each of which makes the whole list unusable.
#include "DiscList.h"

#include <gtest/gtest.h>

namespace {

const std::string kHash(64, 'a');
std::string Line(const std::string& size, const std::string& path,
                 const std::string& hash = kHash) {
    return hash + " " + size + " " + path + "\r\n";
}

TEST(DiscList, ReadsAGoodListWithItsHashesSizesAndPaths) {
    std::string hash = "00ff" + std::string(60, '7');
    std::string text = Line("0", "autorun.inf", hash) +
                       Line("18446744073709551615", "kx\\setup.exe") +
                       Line("52736", "kx\\\xC3\xA9t\xC3\xA9.exe");
    std::vector<disclist::Entry> list;
    ASSERT_TRUE(disclist::Parse(text.data(), text.size(), &list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].sha256[0], 0x00);
    EXPECT_EQ(list[0].sha256[1], 0xff);
    EXPECT_EQ(list[0].sha256[31], 0x77);
    EXPECT_EQ(list[0].size, 0u);
    EXPECT_EQ(list[1].size, UINT64_MAX);
    EXPECT_EQ(list[2].path, "kx\\\xC3\xA9t\xC3\xA9.exe");
    EXPECT_TRUE(disclist::Parse("", 0, &list));
    EXPECT_TRUE(list.empty());
}

TEST(DiscList, AnyBreakOfTheFormatMakesTheWholeListUnusable) {
    std::vector<std::string> broken = {std::string(64, 'A') + " 1 b.exe\r\n",  // upper-case hex
                                       std::string(63, 'a') + " 1 b.exe\r\n",
                                       std::string(65, 'a') + " 1 b.exe\r\n",
                                       kHash + "  1 b.exe\r\n",
                                       kHash + " 1 b.exe\n",
                                       kHash + " 1 b.exe",
                                       kHash + " 1 b.exe\r",
                                       "\r\n",
                                       Line("1", "a.exe") /* repeated */,
                                       Line("1", "A.exe") /* out of byte order */};
    for (const char* size : {"", "01", "+1", "-1", "18446744073709551616" /* past 64 bits */})
        broken.push_back(Line(size, "b.exe"));
    // Not relative, an empty, "." or ".." part, a control character, not UTF-8.
    for (const char* path :
         {"", "\\b.exe", "b\\", "b\\\\c", "b\\..\\c", ".\\b", "b/c", "C:b", "b\tc", "b\x7F",
          "b\xC3", "b\xC0\xAF", "b\xED\xA0\x80", "b\xF4\x90\x80\x80"})
        broken.push_back(Line("1", path));
    for (const std::string& tail : broken) {
        std::string text = Line("1", "a.exe") + tail;
        std::vector<disclist::Entry> list(1);
        EXPECT_FALSE(disclist::Parse(text.data(), text.size(), &list)) << tail;
        EXPECT_TRUE(list.empty()) << tail;
    }
}

TEST(DiscList, PathsBelowTheRootAreFoundCaseBlind) {
    const struct {
        const char *path, *root, *below;
    } cases[] = {
        {"D:\\kx\\setup.exe", "D:\\", "kx\\setup.exe"},
        {"d:\\KX\\setup.exe", "D:", "KX\\setup.exe"},
        {"C:\\build\\cd\\ie/iesetup.exe", "c:\\BUILD\\cd", "ie\\iesetup.exe"},
        {"C:\\build\\cd-marked\\a.exe", "C:\\build\\cd", ""},  // a neighbour, not below
        {"C:\\build\\cd", "C:\\build\\cd", ""},
        {"C:\\build\\cd\\", "C:\\build\\cd", ""},
        {"E:\\kx\\setup.exe", "D:\\", ""},
        {"D:\\a.exe", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(disclist::BelowRoot(c.path, c.root), c.below) << c.path;
}

// The check and the start take the same program from a command.
TEST(DiscList, TheProgramIsTheFirstWordWithExeAdded) {
    const struct {
        const char *command, *program, *arguments;
    } cases[] = {
        {"autorun", "autorun.exe", ""},
        {"  kx\\setup /log=a.exe ", "kx\\setup.exe", "/log=a.exe "},
        {"\"Tools\\Map Viewer.exe\" /m x", "Tools\\Map Viewer.exe", "/m x"},
        {"\"D:\\open quote", "D:\\open quote.exe", ""},
        {"run.cmd\targ", "run.cmd", "arg"},
        {"my.app\\prog", "my.app\\prog.exe", ""},
        {"D:prog.com", "D:prog.com", ""},
        {"\"\" x", "", "x"},
    };
    for (const auto& c : cases) {
        disclist::Command split = disclist::SplitCommand(c.command);
        EXPECT_EQ(disclist::WithExe(split.program), c.program) << c.command;
        EXPECT_EQ(split.arguments, c.arguments) << c.command;
    }
}

}  // namespace

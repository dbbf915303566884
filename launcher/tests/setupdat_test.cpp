// setup.dat reading: separators, quotes, blanks, the two reads, defaults and
// hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SetupDat.h"

namespace {

using Fields = std::vector<std::string>;

Fields Read(const std::string& text) {
    setupdat::MemorySource source(text);
    return setupdat::ReadFields(source);
}

TEST(SetupDat, CommasAndEveryKindOfLineEndSeparate) {
    EXPECT_EQ(Read("a,b\r\nc\nd\re,f"), (Fields{"a", "b", "c", "d", "e", "f"}));
    // Fields may be spread over lines in any way.
    EXPECT_EQ(Read("1,2,3\r\n4\r\n5,6,7,8\r\n9,10\r\n"),
              (Fields{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
}

TEST(SetupDat, QuotedFieldKeepsCommasAndLosesQuotes) {
    EXPECT_EQ(Read("\"kx\\setup.exe /lang=en,fr\",b"), (Fields{"kx\\setup.exe /lang=en,fr", "b"}));
    // Text after the closing quote up to the separator is dropped.
    EXPECT_EQ(Read("\"a\"junk,b"), (Fields{"a", "b"}));
    // An unterminated quote ends at the line end, not at the end of the file.
    EXPECT_EQ(Read("\"a,b\r\nc"), (Fields{"a,b", "c"}));
}

TEST(SetupDat, BlanksBeforeAFieldAreSkippedOthersKept) {
    EXPECT_EQ(Read("  a , \t\"b c\",d e "), (Fields{"a ", "b c", "d e "}));
}

TEST(SetupDat, EmptyFieldsAreFieldsButNothingAfterTheLastSeparator) {
    EXPECT_EQ(Read("a,,c"), (Fields{"a", "", "c"}));
    EXPECT_EQ(Read("a\r\n\r\nc\r\n"), (Fields{"a", "", "c"}));
    EXPECT_EQ(Read("a,b,"), (Fields{"a", "b"}));
    EXPECT_EQ(Read(""), Fields{});
    EXPECT_EQ(Read("   "), Fields{});
}

TEST(SetupDat, SecondReadOnlyAfterAFullFirstRead) {
    // Exactly eight fields: the first read succeeds, the second finds nothing.
    EXPECT_EQ(Read("1,2,3,4,5,6,7,8").size(), 8u);
    // More than ten: the rest is never looked at.
    EXPECT_EQ(Read("1,2,3,4,5,6,7,8,9,10,11,12").size(), 10u);
}

TEST(SetupDat, DefaultsFillEmptyAndMissingFieldsOneToSix) {
    setupdat::Config c = setupdat::ConfigFromFields(Read("kx\\setup.exe,,dx.exe"));
    EXPECT_EQ(c.RunPath, "kx\\setup.exe");
    EXPECT_EQ(c.Program2, "brenvik\\brenvik.exe");
    EXPECT_EQ(c.Program3, "dx.exe");
    EXPECT_EQ(c.Program4, "http://www.penwickleisure.com/support");
    EXPECT_EQ(c.WebSiteAddress, "http://www.penwickleisure.com/");
    EXPECT_EQ(c.CatalogueAddress, "file://catalog.htm");
    EXPECT_EQ(c.UninstallKeyName, "");  // field 7 has no default

    setupdat::Config none = setupdat::ConfigFromFields(Fields{});
    EXPECT_EQ(none.RunPath, "setup.exe");
    EXPECT_EQ(none.Program3, "directx\\directx.exe");

    setupdat::Config all =
        setupdat::ConfigFromFields(Read("a,b,c,d,e,f,KestrixBasic,x,y,z"));
    EXPECT_EQ(all.CatalogueAddress, "f");
    EXPECT_EQ(all.UninstallKeyName, "KestrixBasic");
}

TEST(SetupDat, HostileFilesGiveBoundedFields) {
    // (Arbitrary bytes are the fuzzer's part.) One huge field is cut at the
    // field limit, and the next field still read.
    std::string huge(setupdat::kMaxFieldLength + 5000, 'x');
    Fields f = Read(huge + ",next");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].size(), setupdat::kMaxFieldLength);
    EXPECT_EQ(f[1], "next");

    // Nothing beyond the file limit is read.
    std::string big(setupdat::kMaxFileBytes, 'y');
    f = Read(big + ",after");
    ASSERT_EQ(f.size(), 1u);
}

// A source that hands out its bytes in uneven small pieces, as a file on a
// slow disc may.
class TrickleSource : public setupdat::ByteSource {
public:
    explicit TrickleSource(std::string text) : text_(std::move(text)) {}
    size_t Read(char* buffer, size_t size) override {
        size_t n = std::min<size_t>({size, step_++ % 3 + 1, text_.size() - pos_});
        text_.copy(buffer, n, pos_);
        pos_ += n;
        return n;
    }

private:
    std::string text_;
    size_t pos_ = 0;
    size_t step_ = 0;
};

TEST(SetupDat, ReadsTheSameFromPiecemealSource) {
    const std::string text = "\"a,1\" , b\r\nc\r\n\"d\"x,e\n";
    TrickleSource trickle(text);
    EXPECT_EQ(setupdat::ReadFields(trickle), Read(text));
}

}  // namespace

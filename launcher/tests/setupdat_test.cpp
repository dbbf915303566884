// setup.dat reading: separators, quotes, blanks, the two reads, defaults and
// hostile files, each read whole and from a source that trickles.
#include "SetupDat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Fields = std::vector<std::string>;

Fields Read(const std::string& text) {
    setupdat::MemorySource source(text);
    return setupdat::ReadFields(source);
}

// Hands out its bytes in uneven small pieces, as a file on a slow disc may.
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
    size_t pos_ = 0, step_ = 0;
};

TEST(SetupDat, FieldsAsReadWholeAndPiecemeal) {
    const struct {
        const char* text;
        Fields expected;
    } cases[] = {
        // Commas and every kind of line end separate, spread over lines in any way.
        {"a,b\r\nc\nd\re,f", {"a", "b", "c", "d", "e", "f"}},
        {"1,2,3\r\n4\r\n5,6,7,8\r\n9,10\r\n", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        // A quoted field keeps its commas and loses its quotes; text after the
        // closing quote is dropped; an open quote ends at the line end.
        {"\"kx\\setup.exe /lang=en,fr\",b", {"kx\\setup.exe /lang=en,fr", "b"}},
        {"\"a\"junk,b", {"a", "b"}},
        {"\"a,b\r\nc", {"a,b", "c"}},
        // Blanks before a field are skipped, others kept.
        {"  a , \t\"b c\",d e ", {"a ", "b c", "d e "}},
        {"\"a,1\" , b\r\nc\r\n\"d\"x,e\n", {"a,1", "b", "c", "d", "e"}},
        // Empty fields are fields, but nothing after the last separator.
        {"a,,c", {"a", "", "c"}},
        {"a\r\n\r\nc\r\n", {"a", "", "c"}},
        {"a,b,", {"a", "b"}},
        {"", {}},
        {"   ", {}},
        // A second read of two only after a full first read of eight.
        {"1,2,3,4,5,6,7,8", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"1,2,3,4,5,6,7,8,9,10,11,12", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.text), c.expected) << c.text;
        TrickleSource trickle(c.text);
        EXPECT_EQ(setupdat::ReadFields(trickle), c.expected) << c.text;
    }
}

TEST(SetupDat, DefaultsFillEmptyAndMissingFieldsOneToSix) {
    const char* const d[] = {"setup.exe",
                             "brenvik\\brenvik.exe",
                             "directx\\directx.exe",
                             "http://www.penwickleisure.com/support",
                             "http://www.penwickleisure.com/",
                             "file://catalog.htm"};
    const struct {
        const char* text;
        Fields expected;  // RunPath, Program2 to 4, web site, catalogue, uninstall key
    } cases[] = {
        {"", {d[0], d[1], d[2], d[3], d[4], d[5], ""}},  // field 7 has no default
        {"kx\\setup.exe,,dx.exe", {"kx\\setup.exe", d[1], "dx.exe", d[3], d[4], d[5], ""}},
        {"a,b,c,d,e,f,KestrixBasic,x,y,z", {"a", "b", "c", "d", "e", "f", "KestrixBasic"}},
    };
    for (const auto& c : cases) {
        setupdat::Config k = setupdat::ConfigFromFields(Read(c.text));
        EXPECT_EQ((Fields{k.RunPath, k.Program2, k.Program3, k.Program4, k.WebSiteAddress,
                          k.CatalogueAddress, k.UninstallKeyName}),
                  c.expected)
            << c.text;
    }
}

TEST(SetupDat, HostileFilesGiveBoundedFields) {
    // (Arbitrary bytes are the fuzzer's part.) One huge field is cut at the
    // field limit, and the next field still read.
    Fields f = Read(std::string(setupdat::kMaxFieldLength + 5000, 'x') + ",next");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].size(), setupdat::kMaxFieldLength);
    EXPECT_EQ(f[1], "next");
    // Nothing beyond the file limit is read.
    EXPECT_EQ(Read(std::string(setupdat::kMaxFileBytes, 'y') + ",after").size(), 1u);
}

}  // namespace

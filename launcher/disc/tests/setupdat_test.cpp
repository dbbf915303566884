// setup.dat reading: separators, quotes, blanks, the two reads, limits and
// defaults, each read whole and from a source that trickles.
#include "SetupDat.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Fields = std::vector<std::string>;

Fields Read(const std::string& text) {
    setupdat::MemorySource source(text);
    return setupdat::ReadFields(source);
}

// Fields as a failure shows them: a long one by its length and first byte.
Fields Shown(Fields f) {
    for (std::string& s : f)
        if (s.size() > 80) s = std::to_string(s.size()) + " x " + s[0];
    return f;
}

// Text as saved in UTF-16, with its mark.
std::string Utf16(const std::u16string& text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const int shift = bigEndian ? 8 : 0;  // of the first byte
    for (char16_t u : text) bytes += {char(u >> shift), char(u >> (8 - shift))};
    return bytes;
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
    const size_t kMaxField = setupdat::kMaxFieldLength;
    const struct {
        std::string text;
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
        // Empty fields are fields, but nothing after the last separator.
        {"a,,c", {"a", "", "c"}},
        {"a\r\n\r\nc\r\n", {"a", "", "c"}},
        {"a,b,", {"a", "b"}},
        {"", {}},
        {"   ", {}},
        // A second read of two only after a full first read of eight.
        {"1,2,3,4,5,6,7,8", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"1,2,3,4,5,6,7,8,9,10,11,12", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        // A huge field is cut at the field limit, and the next still read;
        // nothing beyond the file limit is read. (Arbitrary bytes: the fuzzer.)
        {std::string(kMaxField + 5000, 'x') + ",next", {std::string(kMaxField, 'x'), "next"}},
        {std::string(setupdat::kMaxFileBytes, 'y') + ",after", {std::string(kMaxField, 'y')}},
        // Saved by a text editor: the mark is no part of field 1, the text is
        // read in the ANSI code page (natively: up to U+00FF as is, else '?').
        {"\xEF\xBB\xBFkx,caf\xC3\xA9,\xE2\x82\xAC,\xF0\x9F\x98\x80", {"kx", "caf\xE9", "?", "?"}},
        {Utf16(u"kx,caf\u00E9\r\n\u20AC,\U0001F600"), {"kx", "caf\xE9", "?", "?"}},
        {Utf16(u"kx,caf\u00E9\r\n\u20AC,\U0001F600", true), {"kx", "caf\xE9", "?", "?"}},
        {"\xEF\xBB\xBF", {}}, {"\xFF\xFE", {}}, {"\xFE\xFF", {}},  // a mark alone
        // Broken text: each bad part of UTF-8 (stray, overlong, surrogate, past
        // U+10FFFF, cut off) and each unpaired surrogate is one U+FFFD; an odd
        // last byte of UTF-16 is dropped.
        {"\xEF\xBB\xBF\xFFx,\xC3,\xE0\x80\xAF,\xED\xA0\x80,\xF4\x90\x80\x80,\xF0\x9F\x98",
         {"?x", "?", "???", "???", "????", "?"}},
        {Utf16(u"a,\xD800,\xDC00x,\xDC00\xD800") + "z", {"a", "?", "?x", "??"}},
        // The file limit counts the file's bytes, not the text's.
        {Utf16(std::u16string(setupdat::kMaxFileBytes / 2, u'y') + u",after"),
         {std::string(kMaxField, 'y')}},
        // No mark, though it starts like one: read as ever.
        {"\xEF\xBB,\xFF,\xFE", {"\xEF\xBB", "\xFF", "\xFE"}}, {"\xEF", {"\xEF"}},
    };
    for (const auto& c : cases) {
        TrickleSource trickle(c.text);
        EXPECT_EQ(Shown(Read(c.text)), Shown(c.expected)) << c.text.substr(0, 40);
        EXPECT_EQ(Shown(setupdat::ReadFields(trickle)), Shown(c.expected)) << c.text.substr(0, 40);
    }
}

TEST(SetupDat, DefaultsFillEmptyAndMissingFieldsOneToSix) {
    auto config = [](const std::string& text) {
        setupdat::Config k = setupdat::ConfigFromFields(Read(text));
        return Fields{k.RunPath,        k.Program2,         k.Program3,        k.Program4,
                      k.WebSiteAddress, k.CatalogueAddress, k.UninstallKeyName};
    };
    // Field 7 has none.
    const Fields defaults = {"setup.exe",
                             "brenvik\\brenvik.exe",
                             "directx\\directx.exe",
                             "http://www.penwickleisure.com/support",
                             "http://www.penwickleisure.com/",
                             "file://catalog.htm",
                             ""};
    EXPECT_EQ(config(""), defaults);
    Fields some = defaults;
    some[0] = "kx\\setup.exe";
    some[2] = "dx.exe";
    EXPECT_EQ(config("kx\\setup.exe,,dx.exe"), some);
    EXPECT_EQ(config("a,b,c,d,e,f,KestrixBasic,x,y,z"),
              (Fields{"a", "b", "c", "d", "e", "f", "KestrixBasic"}));
}

// A "file:" page that names no folder lies beside Setup.exe.
TEST(SetupDat, FileAddressesWithoutAFolderOpenFromTheStartFolder) {
    const char* cases[][3] = {  // address, start folder, address opened
        {"file://catalog.htm", "D:\\", "D:\\catalog.htm"},
        {"FILE:catalog.htm", "C:\\cd", "C:\\cd\\catalog.htm"},
        {"file:///catalog.htm", "C:\\cd", "C:\\cd\\catalog.htm"},
        {"file://D:/pages/catalog.htm", "C:\\cd", "file://D:/pages/catalog.htm"},
        {"file://server/share/c.htm", "C:\\cd", "file://server/share/c.htm"},
        {"http://catalog.htm", "C:\\cd", "http://catalog.htm"},
        {"file://", "C:\\cd", "file://"},
        {"file:c.htm", "", "file:c.htm"},  // no start folder known
    };
    for (const auto& c : cases)
        EXPECT_EQ(setupdat::ResolveFileAddress(c[0], c[1]), c[2]) << c[0];
}

}  // namespace

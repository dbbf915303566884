// Reader for the CD's setup.dat: up to ten text fields separated by commas or
// line ends, optionally in double quotes, and the launcher's defaults for them.
// Plain C++ so that it is tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace setupdat {

// Longest value kept of one field; longer text is read past and dropped
// (no command line or address can be longer than this anyway).
constexpr size_t kMaxFieldLength = 32767;
// The reader never looks further into the file than this: a real setup.dat
// is a few hundred bytes, and a stray huge file on the disc must not stall
// the launcher at CD speed.
constexpr size_t kMaxFileBytes = 1024 * 1024;

// Where the reader pulls its bytes from. Read returns how many bytes it put
// into buffer; 0 means end of file (or a read error, which is the same here).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t Read(char* buffer, size_t size) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const char* data, size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const std::string& text) : MemorySource(text.data(), text.size()) {}
    size_t Read(char* buffer, size_t size) override;

private:
    const char* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Sequential field input. Each ReadFields call is one read of several
// fields: it stops at the first field that cannot be read (end of file) and
// keeps the fields read before it.
class FieldReader {
public:
    explicit FieldReader(ByteSource& source) : source_(source) {}

    // Appends up to count fields to out. Returns false when the file ended
    // before count fields were read.
    bool ReadFields(size_t count, std::vector<std::string>& out);

private:
    int Peek();
    void Skip() { ++pos_; }
    bool ReadField(std::string& value);
    void SkipSeparator();

    ByteSource& source_;
    char buffer_[4096];
    size_t pos_ = 0;
    size_t len_ = 0;
    size_t consumed_ = 0;  // bytes taken from the source so far
    bool ended_ = false;
};

// Reads setup.dat the launcher's way: fields 1 to 8 in one read, 9 and 10 in
// a second; after a failed first read the second is not attempted. Returns
// the fields read, 0 to 10 of them.
//
// A file saved by a text editor may open with a byte order mark: EF BB BF
// (UTF-8), FF FE (UTF-16 LE) or FE FF (UTF-16 BE). Its text, up to the file
// limit, is converted to the ANSI code page (see ToAnsi) and then read by the
// same rules. Invalid UTF-8 and unpaired surrogates read as U+FFFD, and an odd
// last byte of UTF-16 is dropped. A file without a mark is read byte for byte.
std::vector<std::string> ReadFields(ByteSource& source);

// UTF-16 text in the ANSI code page, the code page of every call that the
// launcher makes with the fields. On Windows a character that the code page
// cannot hold becomes its default character ('?'), never a look-alike that
// might name another file; natively, for the tests, U+0000 to U+00FF stand
// for themselves and any other character for '?'.
std::string ToAnsi(const std::u16string& text);

// The launcher's configuration after defaults.
struct Config {
    std::string RunPath;           // field 1
    std::string Program2;          // field 2
    std::string Program3;          // field 3
    std::string Program4;          // field 4
    std::string WebSiteAddress;    // field 5
    std::string CatalogueAddress;  // field 6
    std::string UninstallKeyName;  // field 7 (no default)
};

// Built-in defaults of fields 1 to 6.
extern const char* const kDefaults[6];

// Fills the configuration from the fields read; an empty or missing field
// among 1 to 6 takes its default. Fields 8 to 10 are not used.
Config ConfigFromFields(const std::vector<std::string>& fields);

// A page address of setup.dat as the browser window should open it. A
// "file:" address that names no folder (such as "file://catalog.htm", which
// the control cannot find) names a page beside setup.dat: it is resolved
// against folder, the launcher's start folder. Any other address is kept.
std::string ResolveFileAddress(const std::string& address, const std::string& folder);

}  // namespace setupdat

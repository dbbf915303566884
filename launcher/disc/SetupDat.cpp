// setup.dat field reader and defaults (see SetupDat.h).
#include "SetupDat.h"

#include <cctype>

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include "Utf8.h"

namespace setupdat {

// tools/disc/disc-project reads this table to check a disc's program fields.
const char* const kDefaults[6] = {
    "setup.exe",
    "brenvik\\brenvik.exe",
    "directx\\directx.exe",
    "http://www.penwickleisure.com/support",
    "http://www.penwickleisure.com/",
    "file://catalog.htm",
};

size_t MemorySource::Read(char* buffer, size_t size) {
    size_t n = std::min(size, size_ - pos_);
    if (n) std::memcpy(buffer, data_ + pos_, n);
    pos_ += n;
    return n;
}

int FieldReader::Peek() {
    if (pos_ < len_) return static_cast<unsigned char>(buffer_[pos_]);
    if (ended_) return -1;
    size_t room = std::min(sizeof(buffer_), kMaxFileBytes - consumed_);
    len_ = room ? source_.Read(buffer_, room) : 0;
    pos_ = 0;
    if (len_ > room) len_ = room;  // a misbehaving source must not overrun us
    consumed_ += len_;
    if (len_ == 0) {
        ended_ = true;
        return -1;
    }
    return static_cast<unsigned char>(buffer_[0]);
}

// Consumes the separator after a field: a comma, or one line end (CR, LF or
// CR LF). At end of file there is nothing to consume.
void FieldReader::SkipSeparator() {
    int c = Peek();
    if (c == ',' || c == '\n') {
        Skip();
    } else if (c == '\r') {
        Skip();
        if (Peek() == '\n') Skip();
    }
}

static bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

bool FieldReader::ReadField(std::string& value) {
    value.clear();
    int c = Peek();
    while (c == ' ' || c == '\t') {
        Skip();
        c = Peek();
    }
    if (c < 0) return false;  // nothing left to read: the read fails here
    if (c == '"') {
        Skip();
        // A quoted value runs to the closing quote; a line end also closes
        // it, so that one stray quote spoils one line and not the file.
        for (c = Peek(); c >= 0 && c != '"' && !IsLineEnd(c); c = Peek()) {
            if (value.size() < kMaxFieldLength) value.push_back(static_cast<char>(c));
            Skip();
        }
        if (c == '"') Skip();
        // Whatever follows the closing quote up to the separator is dropped.
        for (c = Peek(); c >= 0 && c != ',' && !IsLineEnd(c); c = Peek()) Skip();
    } else {
        for (; c >= 0 && c != ',' && !IsLineEnd(c); c = Peek()) {
            if (value.size() < kMaxFieldLength) value.push_back(static_cast<char>(c));
            Skip();
        }
    }
    SkipSeparator();
    return true;
}

bool FieldReader::ReadFields(size_t count, std::vector<std::string>& out) {
    for (size_t i = 0; i < count; ++i) {
        std::string value;
        if (!ReadField(value)) return false;
        out.push_back(std::move(value));
    }
    return true;
}

namespace {

std::vector<std::string> ReadFieldsOf(ByteSource& source) {
    std::vector<std::string> fields;
    FieldReader reader(source);
    if (reader.ReadFields(8, fields)) reader.ReadFields(2, fields);
    return fields;
}

// Up to size bytes of the source, fewer only where it ends.
std::string Take(ByteSource& source, size_t size) {
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < size) {
        const size_t want = std::min(sizeof(chunk), size - bytes.size());
        const size_t n = source.Read(chunk, want);
        if (n == 0) break;
        bytes.append(chunk, std::min(n, want));
    }
    return bytes;
}

// The bytes already taken from the file to look for a mark, then the rest of
// it: the field reader sees the file exactly as it would have without the look.
class PrefixedSource : public ByteSource {
public:
    PrefixedSource(const std::string& prefix, ByteSource& rest) : prefix_(prefix), rest_(rest) {}
    size_t Read(char* buffer, size_t size) override {
        if (pos_ == prefix_.size()) return rest_.Read(buffer, size);
        size_t n = prefix_.copy(buffer, size, pos_);
        pos_ += n;
        return n;
    }

private:
    const std::string& prefix_;
    ByteSource& rest_;
    size_t pos_ = 0;
};

const char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// UTF-8 to UTF-16. Each maximal part of an ill-formed sequence (a stray
// byte, a cut-off sequence, an overlong form, an encoded surrogate, a code
// point past U+10FFFF) becomes one U+FFFD.
std::u16string FromUtf8(const std::string& bytes) {
    std::u16string units;
    for (size_t i = 0, used = 0; i < bytes.size(); i += used) {
        char32_t c = 0;
        if (!utf8::Next(bytes, i, &c, &used)) {
            units.push_back(kReplacement);
        } else if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
    }
    return units;
}

// UTF-16 in either byte order; an odd last byte is dropped and a surrogate
// without its partner becomes U+FFFD.
std::u16string FromUtf16(const std::string& bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned first = static_cast<unsigned char>(bytes[i]);
        const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
    for (size_t i = 0; i < units.size(); ++i) {
        if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]))
            ++i;
        else if (IsHighSurrogate(units[i]) || IsLowSurrogate(units[i]))
            units[i] = kReplacement;
    }
    return units;
}

enum class Encoding { Utf8, Utf16Le, Utf16Be };

const struct {
    const char* bytes;
    size_t size;
    Encoding encoding;
} kMarks[] = {
    {"\xEF\xBB\xBF", 3, Encoding::Utf8},
    {"\xFF\xFE", 2, Encoding::Utf16Le},
    {"\xFE\xFF", 2, Encoding::Utf16Be},
};

}  // namespace

std::vector<std::string> ReadFields(ByteSource& source) {
    const std::string start = Take(source, 3);
    for (const auto& mark : kMarks) {
        if (start.compare(0, mark.size, mark.bytes) != 0) continue;
        // The file limit counts the file's bytes, mark included.
        const std::string text =
            start.substr(mark.size) + Take(source, kMaxFileBytes - start.size());
        const std::u16string units = mark.encoding == Encoding::Utf8
                                         ? FromUtf8(text)
                                         : FromUtf16(text, mark.encoding == Encoding::Utf16Be);
        const std::string ansi = ToAnsi(units);
        MemorySource decoded(ansi);
        return ReadFieldsOf(decoded);
    }
    PrefixedSource whole(start, source);
    return ReadFieldsOf(whole);
}

#ifdef _WIN32
std::string ToAnsi(const std::u16string& text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");
    if (text.empty()) return std::string();
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    // No best fit: an unknown character must not turn into a known one (a
    // different file name); it becomes the default character, which no file
    // name holds. A code page that takes no flags (UTF-8) holds every
    // character anyway.
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        flags = 0;
        size = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
    }
    if (size <= 0) return std::string();
    std::string ansi(static_cast<size_t>(size), '\0');
    size = WideCharToMultiByte(CP_ACP, flags, wide, length, &ansi[0], size, nullptr, nullptr);
    ansi.resize(size > 0 ? static_cast<size_t>(size) : 0);
    return ansi;
}
#else
std::string ToAnsi(const std::u16string& text) {
    std::string ansi;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
        ansi.push_back(u < 0x100 ? static_cast<char>(u) : '?');
    }
    return ansi;
}
#endif

Config ConfigFromFields(const std::vector<std::string>& fields) {
    std::string value[7];
    for (size_t i = 0; i < 7 && i < fields.size(); ++i) value[i] = fields[i];
    for (size_t i = 0; i < 6; ++i)
        if (value[i].empty()) value[i] = kDefaults[i];
    Config c;
    c.RunPath = value[0];
    c.Program2 = value[1];
    c.Program3 = value[2];
    c.Program4 = value[3];
    c.WebSiteAddress = value[4];
    c.CatalogueAddress = value[5];
    c.UninstallKeyName = value[6];
    return c;
}

std::string ResolveFileAddress(const std::string& address, const std::string& folder) {
    static const char kScheme[] = "file:";
    const size_t schemeLength = sizeof(kScheme) - 1;
    if (address.size() <= schemeLength || folder.empty()) return address;
    for (size_t i = 0; i < schemeLength; ++i)
        if (std::tolower(static_cast<unsigned char>(address[i])) != kScheme[i]) return address;
    size_t name = address.find_first_not_of('/', schemeLength);
    if (name == std::string::npos || address.find_first_of("/\\:", name) != std::string::npos)
        return address;
    std::string path = folder;
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path + address.substr(name);
}

}  // namespace setupdat

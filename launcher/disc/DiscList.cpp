// The disc list's reader (see DiscList.h).
#include "DiscList.h"

#include "Utf8.h"

namespace disclist {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;  // upper case is not the list's spelling
}

// Whole, well-formed UTF-8 sequences only.
bool IsUtf8(const std::string& s) {
    char32_t c = 0;
    for (size_t i = 0, used = 0; i < s.size(); i += used)
        if (!utf8::Next(s, i, &c, &used)) return false;
    return true;
}

bool IsGoodPath(const std::string& p) {
    if (p.empty() || !IsUtf8(p)) return false;
    size_t start = 0;
    for (;;) {
        size_t end = p.find('\\', start);
        std::string part = p.substr(start, end == std::string::npos ? end : end - start);
        if (part.empty() || part == "." || part == "..") return false;
        for (char c : part)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '/' || c == ':')
                return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

bool ParseLine(const std::string& line, Entry* e) {
    if (line.size() < 64 + 1 + 1 + 1 + 1 || line[64] != ' ') return false;
    for (int i = 0; i < 32; ++i) {
        int hi = HexDigit(line[2 * i]), lo = HexDigit(line[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        e->sha256[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    size_t i = 65;
    e->size = 0;
    const size_t digits = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        uint64_t d = static_cast<uint64_t>(line[i] - '0');
        if (e->size > (UINT64_MAX - d) / 10) return false;
        e->size = e->size * 10 + d;
        ++i;
    }
    if (i == digits || (line[digits] == '0' && i - digits > 1)) return false;
    if (i >= line.size() || line[i] != ' ') return false;
    e->path = line.substr(i + 1);
    return IsGoodPath(e->path);
}

}  // namespace

bool Parse(const char* data, size_t size, std::vector<Entry>* out) {
    out->clear();
    std::vector<Entry> entries;
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
        if (end + 1 >= size || data[end] != '\r' || data[end + 1] != '\n') return false;
        Entry e;
        if (!ParseLine(std::string(data + start, end - start), &e)) return false;
        if (!entries.empty() && !(entries.back().path < e.path)) return false;
        entries.push_back(std::move(e));
        start = end + 2;
    }
    out->swap(entries);
    return true;
}

std::string BelowRoot(const std::string& path, const std::string& root) {
    auto fold = [](char c) {
        if (c == '/') return '\\';
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    };
    size_t n = root.size();
    while (n > 0 && fold(root[n - 1]) == '\\') --n;
    if (n == 0 || path.size() <= n + 1 || fold(path[n]) != '\\') return std::string();
    for (size_t i = 0; i < n; ++i)
        if (fold(path[i]) != fold(root[i])) return std::string();
    std::string rest = path.substr(n + 1);
    for (char& c : rest)
        if (c == '/') c = '\\';
    return rest;
}

Command SplitCommand(const std::string& command) {
    const char* blanks = " \t";
    Command c;
    size_t start = command.find_first_not_of(blanks);
    if (start == std::string::npos) return c;
    size_t end;
    if (command[start] == '"') {
        end = command.find('"', start + 1);
        c.program = command.substr(start + 1, end == std::string::npos ? end : end - start - 1);
        end = end == std::string::npos ? command.size() : end + 1;
    } else {
        end = command.find_first_of(blanks, start);
        if (end == std::string::npos) end = command.size();
        c.program = command.substr(start, end - start);
    }
    size_t rest = command.find_first_not_of(blanks, end);
    if (rest != std::string::npos) c.arguments = command.substr(rest);
    return c;
}

std::string WithExe(const std::string& program) {
    size_t name = program.find_last_of("\\/:");
    name = name == std::string::npos ? 0 : name + 1;
    if (program.size() == name || program.find('.', name) != std::string::npos) return program;
    return program + ".exe";
}

}  // namespace disclist

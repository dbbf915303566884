// The disc's list of its own files (RCDATA IDR_DISCLIST of the disc's
// Setup.exe): one line per file, "<sha256> <size> <path>" ended by CR LF,
// sorted by path, which the launcher checks a program against before it
// starts it. Plain C++ so that it is tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace disclist {

struct Entry {
    uint8_t sha256[32];
    uint64_t size;
    std::string path;  // UTF-8, relative to the disc's root, folders split by '\'
};

// Reads the list. Strict: any line that breaks the format (a hash that is
// not 64 lower-case hex digits, a size with a sign, leading zero or more
// than 64 bits, a path that is empty, absolute, has an empty, "." or ".."
// part, a '/', ':' or control character, or is not UTF-8, a bare LF, a
// missing last CR LF, or paths out of byte order or repeated) makes the
// whole list unusable: returns false and leaves *out empty. An empty text is
// a list of no files.
bool Parse(const char* data, size_t size, std::vector<Entry>* out);

// The part of path below root, when path lies below root: both full paths,
// compared case-blind for ASCII letters and with '/' read as '\'; "" when
// not below (or path is root itself).
std::string BelowRoot(const std::string& path, const std::string& root);

// A command's program and what follows it.
struct Command {
    std::string program;    // without quotes
    std::string arguments;  // blanks before it skipped
};

// The first word of a command: a quoted path to its closing quote, else the
// text up to the first blank or tab (blanks before it skipped).
Command SplitCommand(const std::string& command);

// ".exe" added to a program path whose file name has no extension, as the
// system adds it.
std::string WithExe(const std::string& program);

}  // namespace disclist

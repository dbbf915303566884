// Turns the product's registered open command into what the launcher's
// Run button starts: the program in double quotes and its folder.
// Plain C++ so that it is tested and fuzzed natively.
#pragma once

#include <string>

namespace product {

struct OpenCommand {
    std::string exe;        // the program path in double quotes, without arguments
    std::string folder;     // the program's folder; empty when the path names none
    std::string path;       // the program path without quotes
    std::string arguments;  // what follows the program, blanks before it skipped
};

// Splits an open command such as  "D:\Apps\KestrixBasic\KestrixBasic.exe" "%1".
// A command that starts with a quoted path (blanks before it are skipped)
// gives that path with its quotes exactly as written. A command without a leading quote (which a hand-made
// or foreign registration may have) is read the way Windows reads such
// command lines: the path runs to the first ".exe" that ends a word, else to
// the first blank. Returns false when the value names no program at all;
// the product then counts as not installed.
bool ParseOpenCommand(const std::string& value, OpenCommand* out);

}  // namespace product

// Open-command splitting for the installed product (see ProductCommand.h).
#include "ProductCommand.h"

#include <cctype>

namespace product {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// End of an unquoted program path: just after the first ".exe" that is
// followed by a blank or the end, else the first blank, else the end.
size_t UnquotedPathEnd(const std::string& s) {
    for (size_t i = 0; i + 4 <= s.size(); ++i) {
        if (s[i] == '.' && std::tolower(static_cast<unsigned char>(s[i + 1])) == 'e' &&
            std::tolower(static_cast<unsigned char>(s[i + 2])) == 'x' &&
            std::tolower(static_cast<unsigned char>(s[i + 3])) == 'e' &&
            (i + 4 == s.size() || IsBlank(s[i + 4])))
            return i + 4;
    }
    for (size_t i = 0; i < s.size(); ++i)
        if (IsBlank(s[i])) return i;
    return s.size();
}

// The folder of a program path: the text before its last backslash (or
// slash). A program in a drive's root gets that root ("C:\"), since "C:"
// alone would mean the drive's current folder.
std::string FolderOf(const std::string& path) {
    size_t k = path.find_last_of("\\/");
    if (k == std::string::npos) return std::string();
    if (k == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, k);
}

}  // namespace

bool ParseOpenCommand(const std::string& value, OpenCommand* out) {
    // Blanks before the program are not part of it, quoted or not.
    size_t start = 0;
    while (start < value.size() && IsBlank(value[start])) ++start;
    std::string rest = value.substr(start);
    std::string path;
    std::string exe;
    size_t end = rest.size();  // where the program ends in rest
    if (!rest.empty() && rest[0] == '"') {
        size_t q = rest.find('"', 1);
        if (q == std::string::npos) {  // no closing quote: the rest is the path
            path = rest.substr(1);
            exe = "\"" + path + "\"";
        } else {
            path = rest.substr(1, q - 1);
            exe = rest.substr(0, q + 1);
            end = q + 1;
        }
    } else {
        end = UnquotedPathEnd(rest);
        path = rest.substr(0, end);
        exe = "\"" + path + "\"";
    }
    bool named = false;
    for (char c : path)
        if (!IsBlank(c)) named = true;
    if (!named) return false;
    if (out) {
        while (end < rest.size() && IsBlank(rest[end])) ++end;
        out->exe = exe;
        out->folder = FolderOf(path);
        out->path = path;
        out->arguments = rest.substr(end);
    }
    return true;
}

}  // namespace product

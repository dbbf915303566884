// Rules of the folder-tree walk. A junction or folder link is never walked,
// and nothing is deleted unless it is the very entry the listing named:
// following a link would delete whatever it points to, far outside the tree.
#include "TreeWalk.h"

#include <cwchar>

namespace sweeper {

EntryAction ClassifyEntry(const wchar_t* name, unsigned long attributes) {
    // "." and ".." name the folder itself and its parent; an empty name would
    // name the folder being walked. None of them is ever deleted or walked.
    if (name == nullptr || name[0] == L'\0' || std::wcscmp(name, L".") == 0 ||
        std::wcscmp(name, L"..") == 0)
        return EntryAction::Skip;
    return (attributes & kAttributeDirectory) != 0 ? EntryAction::Folder : EntryAction::DeleteFile;
}

FolderAction ClassifyFolder(unsigned long attributes) {
    if (attributes == kInvalidAttributes || (attributes & kAttributeDirectory) == 0)
        return FolderAction::Leave;
    return (attributes & kAttributeReparsePoint) != 0 ? FolderAction::RemoveLink
                                                       : FolderAction::Walk;
}

bool IsSamePath(const std::wstring& opened, const std::wstring& expected) {
    if (opened.empty() || opened.size() != expected.size()) return false;
    for (size_t i = 0; i < opened.size(); ++i) {
        wchar_t a = opened[i], b = expected[i];
        if (a >= L'a' && a <= L'z') a = static_cast<wchar_t>(a - L'a' + L'A');
        if (b >= L'a' && b <= L'z') b = static_cast<wchar_t>(b - L'a' + L'A');
        if (a != b) return false;
    }
    return true;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    std::wstring path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    AppendName(path, name.c_str());
    return path;
}

void AppendName(std::wstring& path, const wchar_t* name) {
    if (path.empty() || path.back() != L'\\') path += L'\\';  // a volume's root ends in one
    path += name;
}

std::wstring ParentFolder(const std::wstring& path) {
    static const wchar_t kPrefix[] = L"\\\\?\\";
    const size_t prefix = sizeof(kPrefix) / sizeof(kPrefix[0]) - 1;
    if (path.compare(0, prefix, kPrefix) != 0) return std::wstring();
    const size_t slash = path.find_last_of(L'\\');
    // Nothing after the last backslash, or no volume name before it
    // ("\\?\C:", "\\?\C:\", "\\?\\x"): no folder above to open.
    if (slash + 1 == path.size() || slash <= prefix) return std::wstring();
    // Only the volume's name left ("\\?\C:"): its root folder is one
    // backslash more.
    const bool volumeOnly = path.find(L'\\', prefix) == slash;
    return path.substr(0, volumeOnly ? slash + 1 : slash);
}

}  // namespace sweeper

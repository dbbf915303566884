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
    if (path.empty() || path.back() != L'\\') path += L'\\';  // a volume's root ends in one
    path += name;
    return path;
}

}  // namespace sweeper

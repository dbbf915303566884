// Rules of the folder-tree walk. A junction or folder link is never walked:
// following one would delete whatever it points to, far outside the tree.
#include "TreeWalk.h"

#include <cstring>

namespace sweeper {

namespace {

bool IsLink(unsigned long attributes) {
    return attributes != kInvalidAttributes && (attributes & kAttributeReparsePoint) != 0;
}

}  // namespace

EntryAction ClassifyEntry(const char* name, unsigned long attributes) {
    // "." and ".." name the folder itself and its parent; an empty name would
    // name the folder being walked. None of them is ever deleted or walked.
    if (name == nullptr || name[0] == '\0' || std::strcmp(name, ".") == 0 ||
        std::strcmp(name, "..") == 0)
        return EntryAction::Skip;
    if ((attributes & kAttributeDirectory) == 0) return EntryAction::DeleteFile;
    if (IsLink(attributes)) return EntryAction::RemoveLink;
    return EntryAction::Descend;
}

FolderAction ClassifyFolder(unsigned long attributes) {
    // Unreadable attributes (a missing folder, say) are walked as usual: the
    // listing then fails and only the final removal is tried.
    return IsLink(attributes) ? FolderAction::RemoveLink : FolderAction::Walk;
}

std::string JoinPath(const std::string& folder, const char* name) {
    std::string path;
    path.reserve(folder.size() + 1 + std::strlen(name));
    path += folder;
    path += '\\';
    path += name;
    return path;
}

}  // namespace sweeper

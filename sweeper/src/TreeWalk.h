// What the folder-tree walk does with each entry it meets. Plain C++ without
// Windows headers, so that the rules are tested natively as well.
#pragma once

#include <string>

namespace sweeper {

// File attribute bits as Windows reports them.
constexpr unsigned long kAttributeDirectory = 0x10;
constexpr unsigned long kAttributeReparsePoint = 0x400;
constexpr unsigned long kInvalidAttributes = 0xFFFFFFFFul;

enum class EntryAction {
    Skip,        // "." and "..": neither walked nor deleted
    Descend,     // a real subfolder: walk it, then remove it
    DeleteFile,  // a file (a link to a file included: deleting removes the link)
    RemoveLink,  // a junction or folder link: remove the link, never walk it
};

// Decides for one entry of a folder listing.
EntryAction ClassifyEntry(const char* name, unsigned long attributes);

enum class FolderAction {
    Walk,        // list it, empty it, remove it
    RemoveLink,  // the folder itself is a junction or link: only remove the link
};

// Decides for the folder a walk is asked to remove, from its own attributes
// (kInvalidAttributes when they could not be read).
FolderAction ClassifyFolder(unsigned long attributes);

// folder + "\" + name.
std::string JoinPath(const std::string& folder, const char* name);

}  // namespace sweeper

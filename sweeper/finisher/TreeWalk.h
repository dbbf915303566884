// What the folder-tree walk does with each entry it meets, and how it tells an
// entry from what a link there points to. Plain C++ without Windows headers,
// so that the rules are tested natively as well.
#pragma once

#include <string>

namespace sweeper {

// File attribute bits as Windows reports them.
constexpr unsigned long kAttributeDirectory = 0x10;
constexpr unsigned long kAttributeReparsePoint = 0x400;
constexpr unsigned long kInvalidAttributes = 0xFFFFFFFFul;

enum class EntryAction {
    Skip,        // "." and "..": neither walked nor deleted
    Folder,      // a folder or a folder link: handed to the folder removal
    DeleteFile,  // a file (a link to a file included: deleting removes the link)
};

// Decides for one entry of a folder listing (its name as the wide listing
// gives it).
EntryAction ClassifyEntry(const wchar_t* name, unsigned long attributes);

enum class FolderAction {
    Walk,        // a real folder: empty it, then remove it
    RemoveLink,  // a junction or folder link: remove the link, never walk it
    Leave,       // not a folder, or unknown: touch nothing
};

// Decides for a folder the walk has opened, from the attributes of the
// opened object itself (kInvalidAttributes when they could not be read).
FolderAction ClassifyFolder(unsigned long attributes);

// True when the full name of an opened object (its volume's device and its
// path on that volume) is the one the walk expects (the folder's own, "\" and
// the listed name). Anything else, the same path on another volume included,
// means the platform followed a link out of the tree, and the object must be
// left alone. Letters A-Z compare without regard to case; an empty name
// (unknown) never matches.
bool IsSamePath(const std::wstring& opened, const std::wstring& expected);

// folder + "\" + name, without a second backslash after a root.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The same in place: appends "\" and name to path.
void AppendName(std::wstring& path, const wchar_t* name);

// The folder that holds the folder at path (a "\\?\" path without a
// trailing backslash), as a path that opens that folder: a volume's root
// keeps its backslash ("\\?\C:\"), since "\\?\C:" opens the volume
// itself. Empty when path has no "\\?\" prefix, ends in a backslash or
// names a volume or its root.
std::wstring ParentFolder(const std::wstring& path);

}  // namespace sweeper

// Depth-first removal of an updater folder tree: files are deleted and
// subfolders emptied and removed while their parent's listing goes on.
#include "Scoped.h"
#include "Sweeper.h"
#include "TreeWalk.h"

namespace sweeper {

BOOL RemoveFolderTree(const std::string& folder) {
    // The folder itself may have been replaced by a link: remove the link,
    // never list what it points to.
    if (ClassifyFolder(GetFileAttributesA(folder.c_str())) == FolderAction::RemoveLink)
        return RemoveDirectoryA(folder.c_str());

    WIN32_FIND_DATAA entry;
    scoped::FindHandle search(FindFirstFileA((folder + kSearchPattern).c_str(), &entry));
    if (search) {
        do {
            // Failures below are silent: what cannot go stays, and with it
            // every folder above it.
            switch (ClassifyEntry(entry.cFileName, entry.dwFileAttributes)) {
            case EntryAction::Skip:
                break;
            case EntryAction::Descend:
                RemoveFolderTree(JoinPath(folder, entry.cFileName));
                break;
            case EntryAction::DeleteFile:
                DeleteFileA(JoinPath(folder, entry.cFileName).c_str());
                break;
            case EntryAction::RemoveLink:
                RemoveDirectoryA(JoinPath(folder, entry.cFileName).c_str());
                break;
            }
        } while (FindNextFileA(search.get(), &entry));
    }
    search.reset();
    return RemoveDirectoryA(folder.c_str());
}

}  // namespace sweeper

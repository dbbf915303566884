// Depth-first removal of an updater folder tree: files are deleted and
// subfolders emptied and removed while their parent's listing goes on.
//
// Every entry is opened as itself (a link as the link) and deleted through
// that handle, and only when the handle's full path is the folder's own path
// plus the listed name. Where the platform follows a link all the same, the
// paths differ and the entry stays: nothing outside the tree is ever deleted.
#include "Scoped.h"
#include "Sweeper.h"
#include "TreeWalk.h"

namespace sweeper {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

enum class Kind { File, Folder };

// Opens the entry at path itself, not what it may point to.
scoped::FileHandle OpenEntry(const std::string& path, DWORD access, Kind kind) {
    DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT;
    if (kind == Kind::Folder) flags |= FILE_FLAG_BACKUP_SEMANTICS;  // needed to open a folder
    return scoped::FileHandle(
        CreateFileA(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
}

// The opened object's full path as the platform resolved it; empty if unknown.
std::wstring OpenedPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_NT);
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n + 1);  // too small: n is the size needed
    }
}

std::wstring Widen(const char* ansi) {
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

// Deletes the opened object when its last handle closes: a file, an empty
// folder, or a link itself. Fails for a read-only file or a folder that is
// not empty; no attribute is changed first.
BOOL MarkForDeletion(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof(disposition));
}

// Deletes the entry at path if what opens there is that entry itself.
BOOL DeleteEntry(const std::string& path, const std::wstring& expected, Kind kind) {
    scoped::FileHandle entry = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES, kind);
    if (!entry || !IsSamePath(OpenedPath(entry.get()), expected)) return FALSE;
    return MarkForDeletion(entry.get());  // gone when the handle closes
}

// Removes the folder at path (expected: its full path as the platform names
// it) with everything below it; returns whether the folder itself went.
BOOL RemoveFolder(const std::string& path, const std::wstring& expected) {
    // A look at the folder itself first. No DELETE access here: it would
    // keep the listing below from opening the folder.
    DWORD attributes = kInvalidAttributes;
    {
        scoped::FileHandle self = OpenEntry(path, FILE_READ_ATTRIBUTES, Kind::Folder);
        if (!self) return FALSE;  // missing or unreadable
        if (!IsSamePath(OpenedPath(self.get()), expected)) return FALSE;  // a followed link
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(self.get(), &info)) attributes = info.dwFileAttributes;
    }
    switch (ClassifyFolder(attributes)) {
    case FolderAction::Leave:
        return FALSE;
    case FolderAction::RemoveLink:
        return DeleteEntry(path, expected, Kind::Folder);
    case FolderAction::Walk:
        break;
    }

    WIN32_FIND_DATAA entry;
    scoped::FindHandle search(FindFirstFileA((path + kSearchPattern).c_str(), &entry));
    if (search) {
        do {
            // Failures below are silent: what cannot go stays, and with it
            // every folder above it. Each entry is checked again when it is
            // opened, so a folder swapped for a link meanwhile loses nothing
            // outside the tree either.
            const EntryAction action = ClassifyEntry(entry.cFileName, entry.dwFileAttributes);
            if (action == EntryAction::Skip) continue;
            const std::string child = JoinPath(path, entry.cFileName);
            const std::wstring childExpected = JoinPath(expected, Widen(entry.cFileName));
            if (action == EntryAction::Folder)
                RemoveFolder(child, childExpected);
            else
                DeleteEntry(child, childExpected, Kind::File);
        } while (FindNextFileA(search.get(), &entry));
    }
    search.reset();
    return DeleteEntry(path, expected, Kind::Folder);
}

}  // namespace

BOOL RemoveFolderTree(const std::string& folder) {
    // The folder's expected full path comes from its parent, opened the way
    // any path through it is resolved.
    const size_t slash = folder.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == folder.size()) return FALSE;
    scoped::FileHandle parent(CreateFileA(folder.substr(0, slash).c_str(), FILE_READ_ATTRIBUTES,
                                          kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!parent) return FALSE;
    const std::wstring parentPath = OpenedPath(parent.get());
    parent.reset();
    if (parentPath.empty()) return FALSE;
    return RemoveFolder(folder, JoinPath(parentPath, Widen(folder.c_str() + slash + 1)));
}

}  // namespace sweeper

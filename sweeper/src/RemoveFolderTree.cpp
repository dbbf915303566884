// Depth-first removal of an updater folder tree: files are deleted and
// subfolders emptied and removed while their parent's listing goes on.
//
// The walk runs on wide "\\?\" paths: a tree deeper than MAX_PATH, or
// names outside the ANSI code page, would stop the ANSI calls and stay.
//
// Every entry is opened as itself (a link as the link) and deleted through
// that handle, and only when the handle's path is the folder's own path plus
// the listed name. Where the platform follows a link all the same, the
// paths differ and the entry stays: nothing outside the tree is ever deleted.
#include "Scoped.h"
#include "Sweeper.h"
#include "TreeWalk.h"

#include <iterator>
#include <vector>

namespace sweeper {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";

enum class Kind { File, Folder };

// Opens the entry at path itself, not what it may point to.
scoped::FileHandle OpenEntry(const std::wstring& path, DWORD access, Kind kind) {
    DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT;
    if (kind == Kind::Folder) flags |= FILE_FLAG_BACKUP_SEMANTICS;  // needed to open a folder
    return scoped::FileHandle(
        CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
}

// Lists a folder. The basic level leaves out the short names, which the walk
// never uses; systems that do not know it get the full one.
scoped::FindHandle FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW* entry) {
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, entry,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        search = FindFirstFileW(pattern.c_str(), entry);
    return scoped::FindHandle(search);
}

// The opened object's path on its volume as the platform resolved it (where
// it followed a link, the target's); empty if unknown. Unlike some final-path
// implementations, the name query has no length limit of its own.
std::wstring OpenedPath(HANDLE handle) {
    DWORD fixed[256];  // FILE_NAME_INFO wants DWORD alignment; most names fit
    std::vector<DWORD> grown;
    DWORD* buffer = fixed;
    DWORD words = static_cast<DWORD>(std::size(fixed));
    while (!GetFileInformationByHandleEx(handle, FileNameInfo, buffer, words * sizeof(DWORD))) {
        if (GetLastError() != ERROR_MORE_DATA || words >= 65536) return std::wstring();
        grown.resize(words *= 4);
        buffer = grown.data();
    }
    const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(buffer);
    return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

// The compiled-in folder (ANSI) as a wide path that no length limit applies to.
std::wstring LongPath(const std::string& ansi) {
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return kLongPathPrefix + wide;
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
BOOL DeleteEntry(const std::wstring& path, const std::wstring& expected, Kind kind) {
    scoped::FileHandle entry = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES, kind);
    if (!entry || !IsSamePath(OpenedPath(entry.get()), expected)) return FALSE;
    return MarkForDeletion(entry.get());  // gone when the handle closes
}

// Removes the folder at path (expected: its path as the platform names it)
// with everything below it; returns whether the folder itself went.
BOOL RemoveFolder(const std::wstring& path, const std::wstring& expected) {
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

    WIN32_FIND_DATAW entry;
    scoped::FindHandle search = FindFirst(path + kSearchPattern, &entry);
    if (search) {
        do {
            // Failures below are silent: what cannot go stays, and with it
            // every folder above it. Each entry is checked again when it is
            // opened, so a folder swapped for a link meanwhile loses nothing
            // outside the tree either.
            const EntryAction action = ClassifyEntry(entry.cFileName, entry.dwFileAttributes);
            if (action == EntryAction::Skip) continue;
            const std::wstring child = JoinPath(path, entry.cFileName);
            const std::wstring childExpected = JoinPath(expected, entry.cFileName);
            if (action == EntryAction::Folder)
                RemoveFolder(child, childExpected);
            else
                DeleteEntry(child, childExpected, Kind::File);
        } while (FindNextFileW(search.get(), &entry));
    }
    search.reset();
    return DeleteEntry(path, expected, Kind::Folder);
}

}  // namespace

BOOL RemoveFolderTree(const std::string& folder) {
    // The folder's expected path comes from its parent, opened the way any
    // path through it is resolved.
    const std::wstring path = LongPath(folder);
    const size_t slash = path.find_last_of(L'\\');
    if (path.empty() || slash + 1 == path.size() || slash < std::size(kLongPathPrefix) - 1)
        return FALSE;
    scoped::FileHandle parent(CreateFileW(path.substr(0, slash).c_str(), FILE_READ_ATTRIBUTES,
                                          kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!parent) return FALSE;
    const std::wstring parentPath = OpenedPath(parent.get());
    parent.reset();
    if (parentPath.empty()) return FALSE;
    return RemoveFolder(path, JoinPath(parentPath, path.substr(slash + 1)));
}

}  // namespace sweeper

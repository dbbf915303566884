// Depth-first removal of an updater folder tree: files are deleted and
// subfolders emptied and removed while their parent's listing goes on.
//
// The walk runs on wide "\\?\" paths: a tree deeper than MAX_PATH, or
// names outside the ANSI code page, would stop the ANSI calls and stay.
//
// Every entry is opened as itself (a link as the link) and deleted through
// that handle, and only when the handle's full name (volume and path) is the
// folder's own plus the listed name. Where the platform follows a link all
// the same, the names differ and the entry stays: nothing outside the tree
// is ever deleted.
#include "Scoped.h"
#include "Sweeper.h"
#include "SystemLibrary.h"
#include "TreeWalk.h"

#include <winternl.h>

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

// The opened object's full name as the platform resolved it (where it
// followed a link, the target's): its volume's device and its path on that
// volume ("\Device\HarddiskVolume2\Program Files\..."), so that the same
// path on another volume never passes for the entry; empty if unknown. One
// query per entry, as cheap as the path alone: the volume's serial number
// would cost a second one (under Wine a round trip to its mount manager, which
// made the walk four times slower). No length limit of its own.
std::wstring OpenedName(HANDLE handle) {
    static const auto query = syslib::FindFunction<decltype(&::NtQueryObject)>(
        GetModuleHandleW(L"ntdll.dll"), "NtQueryObject");
    if (query == nullptr) return std::wstring();
    ULONG_PTR fixed[160];  // UNICODE_STRING and its text; most names fit
    std::vector<ULONG_PTR> grown;
    ULONG_PTR* buffer = fixed;
    ULONG size = sizeof(fixed);
    ULONG needed = 0;
    while (query(handle, ObjectNameInformation, buffer, size, &needed) < 0) {
        if (needed <= size || needed > 0x20000) return std::wstring();  // not a short buffer
        grown.resize(needed / sizeof(ULONG_PTR) + 1);
        buffer = grown.data();
        size = static_cast<ULONG>(grown.size() * sizeof(ULONG_PTR));
    }
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer);
    return std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
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
    if (!entry || !IsSamePath(OpenedName(entry.get()), expected)) return FALSE;
    return MarkForDeletion(entry.get());  // gone when the handle closes
}

// What to do with the folder at path, from a look at the folder itself. No
// DELETE access here: it would keep the listing from opening the folder.
FolderAction LookAtFolder(const std::wstring& path, const std::wstring& expected) {
    scoped::FileHandle self = OpenEntry(path, FILE_READ_ATTRIBUTES, Kind::Folder);
    // Missing, unreadable, or reached through a followed link: left alone.
    if (!self || !IsSamePath(OpenedName(self.get()), expected)) return FolderAction::Leave;
    FILE_BASIC_INFO info;
    if (!GetFileInformationByHandleEx(self.get(), FileBasicInfo, &info, sizeof(info)))
        return FolderAction::Leave;
    return ClassifyFolder(info.FileAttributes);
}

// A folder being emptied: the length of its path (and expected path) in
// the walk's two path strings, and its listing, which stays open while the
// folders below it are walked.
struct Level {
    size_t pathSize;
    size_t expectedSize;
    scoped::FindHandle search;
};

// Removes the folder at path (expected: where it must lie) with everything
// below it, depth-first: each subfolder is emptied and removed before its
// parent's listing goes on, and every folder last. Returns whether the folder
// itself went. The pending folders are kept on the heap, not on the stack,
// so no depth of the tree can exhaust the thread's stack.
BOOL RemoveFolder(std::wstring path, std::wstring expected) {
    switch (LookAtFolder(path, expected)) {
    case FolderAction::Leave:
        return FALSE;
    case FolderAction::RemoveLink:
        return DeleteEntry(path, expected, Kind::Folder);
    case FolderAction::Walk:
        break;
    }

    std::vector<Level> levels;
    WIN32_FIND_DATAW entry;  // the current entry of the deepest listing
    bool listed = false;     // whether entry holds one not yet handled
    // Starts the listing of the folder that path names now.
    auto enter = [&] {
        scoped::FindHandle search = FindFirst(path + kSearchPattern, &entry);
        listed = static_cast<bool>(search);
        levels.push_back(Level{path.size(), expected.size(), std::move(search)});
    };
    enter();
    BOOL removed = FALSE;
    while (!levels.empty()) {
        Level& level = levels.back();
        if (!listed) {
            // Listing done: the folder goes if it is empty now; its parent's
            // listing goes on.
            level.search.reset();
            path.resize(level.pathSize);
            expected.resize(level.expectedSize);
            removed = DeleteEntry(path, expected, Kind::Folder);
            levels.pop_back();
            if (!levels.empty())
                listed = FindNextFileW(levels.back().search.get(), &entry) != FALSE;
            continue;
        }
        // Failures below are silent: what cannot go stays, and with it every
        // folder above it. Each entry is checked again when it is opened, so
        // a folder swapped for a link meanwhile loses nothing outside the
        // tree either.
        const EntryAction action = ClassifyEntry(entry.cFileName, entry.dwFileAttributes);
        if (action != EntryAction::Skip) {
            path.resize(level.pathSize);
            expected.resize(level.expectedSize);
            AppendName(path, entry.cFileName);
            AppendName(expected, entry.cFileName);
            if (action == EntryAction::DeleteFile) {
                DeleteEntry(path, expected, Kind::File);
            } else {
                const FolderAction folder = LookAtFolder(path, expected);
                if (folder == FolderAction::Walk) {
                    enter();  // level is stale from here on
                    continue;
                }
                if (folder == FolderAction::RemoveLink) DeleteEntry(path, expected, Kind::Folder);
            }
        }
        listed = FindNextFileW(level.search.get(), &entry) != FALSE;
    }
    return removed;
}

}  // namespace

BOOL RemoveFolderTree(const std::string& folder) {
    // The folder's expected name comes from its parent, opened the way any
    // path through it is resolved.
    const std::wstring path = LongPath(folder);
    const std::wstring parentPath = ParentFolder(path);
    if (parentPath.empty()) return FALSE;
    scoped::FileHandle parent(CreateFileW(parentPath.c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    if (!parent) return FALSE;
    std::wstring expected = OpenedName(parent.get());
    parent.reset();
    if (expected.empty()) return FALSE;
    AppendName(expected, path.c_str() + path.find_last_of(L'\\') + 1);
    return RemoveFolder(path, std::move(expected));
}

}  // namespace sweeper

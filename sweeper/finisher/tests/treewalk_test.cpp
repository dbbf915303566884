// Rules of the folder-tree walk: what is walked, deleted or skipped, that a
// junction or folder link is never walked, and when an opened entry is itself.
#include <gtest/gtest.h>

#include "TreeWalk.h"

using namespace sweeper;

namespace {
constexpr unsigned long kDir = kAttributeDirectory;
constexpr unsigned long kLink = kAttributeReparsePoint;
constexpr unsigned long kReadOnly = 0x1, kHidden = 0x2, kArchive = 0x20;
}  // namespace

TEST(TreeWalk, EachListedEntryIsSkippedWalkedOrDeleted) {
    // "." and ".." (and an empty name) are never walked nor deleted.
    for (unsigned long attributes : {kDir, kDir | kHidden, 0ul, kArchive, kDir | kLink}) {
        EXPECT_EQ(EntryAction::Skip, ClassifyEntry(L".", attributes));
        EXPECT_EQ(EntryAction::Skip, ClassifyEntry(L"..", attributes));
    }
    EXPECT_EQ(EntryAction::Skip, ClassifyEntry(L"", kArchive));
    EXPECT_EQ(EntryAction::Skip, ClassifyEntry(nullptr, kDir));
    // Names that only start with dots are ordinary entries.
    EXPECT_EQ(EntryAction::Folder, ClassifyEntry(L"...", kDir));
    EXPECT_EQ(EntryAction::Folder, ClassifyEntry(L".git", kDir));
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry(L"..x", kArchive));
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry(L". ", kArchive));

    EXPECT_EQ(EntryAction::Folder, ClassifyEntry(L"sub", kDir | kReadOnly | kHidden));
    EXPECT_EQ(EntryAction::Folder, ClassifyEntry(L"junction", kDir | kLink));
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry(L"a.dat", 0));
    // A read-only file is still handed to the deletion: no attribute is
    // changed first, so the deletion fails and the file stays.
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry(L"a.dat", kReadOnly | kArchive));
    // A link to a file is a file: deleting it removes the link, not the target.
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry(L"file-link", kLink | kArchive));
}

TEST(TreeWalk, OnlyRealFoldersAreWalkedFolderLinksAreRemovedAsLinks) {
    EXPECT_EQ(FolderAction::Walk, ClassifyFolder(kDir));
    EXPECT_EQ(FolderAction::Walk, ClassifyFolder(kDir | kReadOnly | kHidden));
    EXPECT_EQ(FolderAction::RemoveLink, ClassifyFolder(kDir | kLink));
    // Wine shows a Unix symbolic link to a folder as 0x410.
    EXPECT_EQ(FolderAction::RemoveLink, ClassifyFolder(0x410));
    // Attributes that could not be read have every bit set, the reparse and
    // directory bits included: they must not pass for a link or a folder.
    EXPECT_EQ(FolderAction::Leave, ClassifyFolder(kInvalidAttributes));
    // A file where a folder was listed (replaced meanwhile) is not deleted.
    EXPECT_EQ(FolderAction::Leave, ClassifyFolder(kArchive));
    EXPECT_EQ(FolderAction::Leave, ClassifyFolder(kLink | kArchive));
}

TEST(TreeWalk, AnEntryIsItselfOnlyWhenItsOpenedPathIsTheListedOne) {
    const std::wstring folder = L"\\Device\\HarddiskVolume1\\Program Files\\Solvane\\Updater1";
    const std::wstring expected = JoinPath(folder, L"sub");
    EXPECT_TRUE(IsSamePath(expected, expected));
    EXPECT_TRUE(IsSamePath(L"\\DEVICE\\HARDDISKVOLUME1\\PROGRAM FILES\\SOLVANE\\UPDATER1\\SUB",
                           expected));
    // A followed link opens its target, elsewhere or even a level up or down.
    EXPECT_FALSE(IsSamePath(L"\\Device\\HarddiskVolume1\\Users\\me\\Documents", expected));
    EXPECT_FALSE(IsSamePath(folder, expected));
    EXPECT_FALSE(IsSamePath(expected + L"\\sub", expected));
    // The same path on another volume.
    EXPECT_FALSE(IsSamePath(L"\\Device\\HarddiskVolume2\\Program Files\\Solvane\\Updater1\\sub",
                            expected));
    // The same name on another folder, or a path not known, is not the entry.
    EXPECT_FALSE(IsSamePath(L"\\Device\\HarddiskVolume1\\Program Files\\Solvane\\Updater2\\sub",
                            expected));
    EXPECT_FALSE(IsSamePath(L"", expected));
    EXPECT_FALSE(IsSamePath(L"", L""));
    // Only A-Z fold: other letters must match exactly.
    EXPECT_FALSE(IsSamePath(L"\\x\\\u00c4", L"\\x\\\u00e4"));
    EXPECT_FALSE(IsSamePath(L"\\x\\[", L"\\x\\{"));
    // The full path of a volume's root already ends in a backslash.
    EXPECT_EQ(L"\\Device\\HarddiskVolume1\\pt",
              JoinPath(std::wstring(L"\\Device\\HarddiskVolume1\\"), std::wstring(L"pt")));
}

TEST(TreeWalk, AFolderDirectlyUnderARootHasTheRootFolderAsItsParent) {
    const struct {
        const wchar_t* path;
        const wchar_t* parent;
    } cases[] = {
        {L"\\\\?\\C:\\Updater1", L"\\\\?\\C:\\"},  // not "\\?\C:", the volume itself
        {L"\\\\?\\Volume{1}\\Updater1", L"\\\\?\\Volume{1}\\"},
        {L"\\\\?\\c:\\Program Files\\Updater1", L"\\\\?\\c:\\Program Files"},
        {L"\\\\?\\C:\\a\\b", L"\\\\?\\C:\\a"},
        // Nothing above to open: a root, a volume, a trailing backslash, no
        // volume name, no prefix.
        {L"\\\\?\\C:\\", L""}, {L"\\\\?\\C:", L""}, {L"\\\\?\\C:\\a\\", L""},
        {L"\\\\?\\\\a", L""}, {L"\\\\?\\", L""}, {L"", L""}, {L"C:\\a", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.parent, ParentFolder(c.path)) << c.path;
}

// Rules of the folder-tree walk: what is walked, deleted, skipped, and that a
// junction or folder link is never walked.
#include <gtest/gtest.h>

#include "TreeWalk.h"

using sweeper::ClassifyEntry;
using sweeper::ClassifyFolder;
using sweeper::EntryAction;
using sweeper::FolderAction;

namespace {
constexpr unsigned long kDir = sweeper::kAttributeDirectory;
constexpr unsigned long kLink = sweeper::kAttributeReparsePoint;
constexpr unsigned long kReadOnly = 0x1, kHidden = 0x2, kArchive = 0x20;
}  // namespace

TEST(TreeWalk, DotEntriesAreNeverWalkedNorDeleted) {
    for (unsigned long attributes : {kDir, kDir | kHidden, 0ul, kArchive, kDir | kLink}) {
        EXPECT_EQ(EntryAction::Skip, ClassifyEntry(".", attributes));
        EXPECT_EQ(EntryAction::Skip, ClassifyEntry("..", attributes));
    }
    EXPECT_EQ(EntryAction::Skip, ClassifyEntry("", kArchive));
    EXPECT_EQ(EntryAction::Skip, ClassifyEntry(nullptr, kDir));
}

TEST(TreeWalk, NamesThatOnlyStartWithDotsAreOrdinaryEntries) {
    EXPECT_EQ(EntryAction::Descend, ClassifyEntry("...", kDir));
    EXPECT_EQ(EntryAction::Descend, ClassifyEntry(".git", kDir));
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry("..x", kArchive));
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry(". ", kArchive));
}

TEST(TreeWalk, FoldersAreWalkedAndFilesDeletedWhateverTheirOtherBits) {
    EXPECT_EQ(EntryAction::Descend, ClassifyEntry("sub", kDir));
    EXPECT_EQ(EntryAction::Descend, ClassifyEntry("sub", kDir | kReadOnly | kHidden));
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry("a.dat", 0));
    // A read-only file is still handed to DeleteFileA: no attribute is changed
    // first, so the deletion fails and the file stays.
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry("a.dat", kReadOnly | kArchive));
}

TEST(TreeWalk, FolderLinksAreRemovedAsLinksNeverWalked) {
    EXPECT_EQ(EntryAction::RemoveLink, ClassifyEntry("junction", kDir | kLink));
    // Wine shows a Unix symbolic link to a folder as 0x410.
    EXPECT_EQ(EntryAction::RemoveLink, ClassifyEntry("wine-link", 0x410));
    EXPECT_EQ(EntryAction::RemoveLink, ClassifyEntry("x", kDir | kLink | kReadOnly | kHidden));
    // A link to a file is a file: deleting it removes the link, not the target.
    EXPECT_EQ(EntryAction::DeleteFile, ClassifyEntry("file-link", kLink | kArchive));
}

TEST(TreeWalk, TheFolderItselfIsOnlyWalkedWhenItIsNoLink) {
    EXPECT_EQ(FolderAction::Walk, ClassifyFolder(kDir));
    EXPECT_EQ(FolderAction::RemoveLink, ClassifyFolder(kDir | kLink));
    EXPECT_EQ(FolderAction::RemoveLink, ClassifyFolder(0x410));
    // Attributes that could not be read (all bits set) are no link: the walk
    // goes on, its listing fails and only the final removal is tried.
    EXPECT_EQ(FolderAction::Walk, ClassifyFolder(sweeper::kInvalidAttributes));
}

TEST(TreeWalk, JoinPathPutsOneBackslashBetween) {
    EXPECT_EQ("c:\\a\\b", sweeper::JoinPath("c:\\a", "b"));
    EXPECT_EQ("c:\\a\\..x", sweeper::JoinPath("c:\\a", "..x"));
}

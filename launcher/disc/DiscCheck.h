// Checking the disc's files against the list that the launcher carries
// (RCDATA IDR_DISCLIST, see DiscList.h): one file before a command starts
// it, or every listed file (Verify disc, Setup.exe /verify). The SHA-256
// comes from the system's own bcrypt.dll, delay-imported: loaded from the
// system folder when the first file is hashed.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DiscList.h"
#include "Scoped.h"

namespace disccheck {

// Unchecked: the right size, but the system has no SHA-256 to hash it with.
enum class FileState { Good, Missing, Unreadable, Damaged, Cancelled, Unchecked };

// Whether the image carries a list at all (a resource look-up, nothing read).
bool CarriesList(HMODULE image);
// The image's list, read and parsed at the first call and kept; null when
// there is none or it is malformed (then it counts as no list).
const std::vector<disclist::Entry>* CarriedList(HMODULE image);

// The listed entry for a path below the disc's root (UTF-8), compared
// case-blind as the file system compares names; null if unlisted.
const disclist::Entry* FindEntry(const std::vector<disclist::Entry>& list,
                                 const std::string& relative);

// The program a command starts, resolved once; the check and the start both
// take it from here.
struct Program {
    std::wstring path;         // full path
    std::wstring commandLine;  // the command as written; a program with blanks quoted
    std::string belowRoot;     // UTF-8 path below the disc's root; "" when off the disc
};

// Resolves a command (ANSI, as setup.dat gives it) against the disc's root:
// the whole command when it names a file (a path with blanks needs no
// quotes), else its first word; ".exe" added to a name without an extension,
// a relative path taken from root. False when it names no program.
bool ResolveProgram(const std::string& command, const std::wstring& root, Program* out);

// root joined with a list path (UTF-8).
std::wstring FullPath(const std::wstring& root, const std::string& listPath);

// Size first, then SHA-256. cancel (may be null) stops between reads;
// progress (may be empty) hears the bytes hashed so far. With keep, a file
// that passes stays open there, shared for reading only, so that nobody can
// change, rename or delete it until *keep is closed.
FileState CheckFile(const std::wstring& path, const disclist::Entry& entry,
                    const std::atomic<bool>* cancel = nullptr,
                    const std::function<void(uint64_t)>& progress = {},
                    scoped::FileHandle* keep = nullptr);

// "damaged", "missing", "unreadable", "unchecked": the state's word for
// people and scripts.
const char* StateWord(FileState state);

// setup.dat as read once at start-up: its fields come from these bytes, and
// these bytes are what the list vouches for before a command uses them.
struct SetupDat {
    bool present = false;
    std::string bytes;
    FileState verdict = FileState::Cancelled;  // the list's word on them, once asked
};
SetupDat ReadSetupDat(const std::wstring& root);

// What the check before a command decided.
enum class Verdict {
    Refused,  // a message box has said why; nothing starts
    AsEver,   // no list (or a malformed one): the command starts as written
    Checked,  // start exactly the Checked program
};
struct Checked {
    Program program;
    scoped::FileHandle held;  // the checked file, held until the program has started
};

// The check before commands 1 to 4 start a program. With a usable list:
// setup.dat must be the listed one (else every command is refused, naming
// it); a program on the disc must be listed, present and intact, and is held
// open in out->held; a program off the disc starts unchecked, but also by
// its resolved path. Where the system has no SHA-256 (before Vista) the size
// alone decides. The file is hashed on a worker thread while this thread
// pumps messages, with the wait cursor; input meanwhile is dropped, so
// nothing starts twice. Refused while another check is under way.
Verdict CheckBeforeStart(HWND owner, HMODULE image, const std::string& command,
                         const std::wstring& root, SetupDat& setupDat, Checked* out);
// True while a check is under way (the window shows the wait cursor).
bool CheckInProgress();

}  // namespace disccheck

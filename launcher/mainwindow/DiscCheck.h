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

namespace disccheck {

// Unchecked: the right size, but the system has no SHA-256 to hash it with.
enum class FileState { Good, Missing, Unreadable, Damaged, Cancelled, Unchecked };

// Whether the image carries a list at all (a resource look-up, nothing read).
bool CarriesList(HMODULE image);
// The image's list, read and parsed at the first call and kept; null when
// there is none or it is malformed (then it counts as no list).
const std::vector<disclist::Entry>* CarriedList(HMODULE image);

// The listed entry for a path below the disc's root (in the ANSI code page),
// compared case-blind as the file system compares names; null if unlisted.
const disclist::Entry* FindEntry(const std::vector<disclist::Entry>& list,
                                 const std::string& relative);

// The path below root of the program that commandLine starts, resolved as
// the system resolves it from the current folder (root for a bare name, ".exe"
// added to a name without one); "" when it does not lie below root.
std::string ProgramBelowRoot(const std::string& commandLine, const std::string& root);

// root (ANSI, as the current folder gives it) joined with a list path (UTF-8).
std::wstring FullPath(const std::string& root, const std::string& listPath);

// Size first, then SHA-256. cancel (may be null) stops between reads;
// progress (may be empty) hears the bytes hashed so far.
FileState CheckFile(const std::wstring& path, const disclist::Entry& entry,
                    const std::atomic<bool>* cancel = nullptr,
                    const std::function<void(uint64_t)>& progress = {});

// "damaged", "missing", "unreadable", "unchecked": the state's word for
// people and scripts.
const char* StateWord(FileState state);

// The check before a command starts a program on the disc: true to start,
// false when the program is listed and missing, unreadable or damaged (a
// message box has said so) or when another check is under way; where the
// system has no SHA-256 (before Vista) the size alone decides. The file is
// hashed on a worker thread while this thread pumps messages, with the wait
// cursor; input meanwhile is dropped, so nothing starts twice.
bool MayStart(HWND owner, HMODULE image, const std::string& commandLine, const std::string& root);
// True while MayStart is checking (the window shows the wait cursor).
bool CheckInProgress();

}  // namespace disccheck

// Shared by the demo CD's stand-in programs: the journal that tests read
// (who was started, with which command line, in which current folder) and
// the quiet switch that keeps them from showing anything.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// The program's own folder, without a trailing backslash.
std::string OwnFolder();
std::string CurrentFolder();
// Appends "role|command line|current folder" to the file named by the
// environment variable CDSTANDIN_JOURNAL, else to standin-journal.txt next
// to the program.
void Journal(const char* role);
// True when CDSTANDIN_QUIET is set: no message boxes (tests).
bool Quiet();
// Shows who this program is, unless quiet.
void Tell(const char* title, const std::string& text);

}  // namespace standin

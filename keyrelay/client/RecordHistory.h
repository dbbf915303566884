// Records a successful run in the history file "RerAZuva.dat" (in the folder
// the client's path provider names) and in the registry.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

// The registry key (under HKEY_LOCAL_MACHINE) whose values point at the
// newest history entry for target;action;serial.
extern const char kHistoryRegistryKey[];

// The local date and time in the user's default formats, "date time".
std::string HistoryStamp();

// certificate: the whole certificate record as the run read it (a byte
// BSTR); the entry names it by the serial number of its signer (upper-case
// hex, "Error" when it cannot be decoded). Writes nothing when the path
// provider fails. May throw std::bad_alloc.
void RecordHistory(BSTR certificate, const char* action, const char* target);

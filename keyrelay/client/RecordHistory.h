// Records a successful run in the history file "RerAZuva.dat" (in the folder
// the client's path provider names) and in the registry.
#pragma once

#include <string>

// The registry key (under HKEY_LOCAL_MACHINE) whose values point at the
// newest history entry for target;action;serial.
extern const char kHistoryRegistryKey[];

// The local date and time in the user's default formats, "date time".
std::string HistoryStamp();

// serial: the signer serial number text of the certificate record (upper-case
// hex, "Error" when it cannot be decoded). Writes nothing when the path
// provider fails. May throw std::bad_alloc.
void RecordHistory(const std::string& serial, const char* action, const char* target);

// Readable names of the client's class and interface identifiers, for
// journals and diagnostics.
#pragma once

#include <windows.h>

#include <string>

// "IID_ILogger", "Old_IID_ILogger", "IID_IUnknown" ... or the GUID in
// registry form ("{8326B310-E59E-11D1-ABF8-006097926655}") when unknown.
std::string ClientIidName(REFIID iid);
// The GUID in registry form, upper case, with braces.
std::string GuidText(REFGUID guid);

// The launcher's own words (the disc check's messages, Verify disc, what a
// screen reader hears a button do) in the language chosen for the user among
// the disc's: each disc's Setup.exe carries them in every language's string
// table (ids IDS_FILE_MISSING to IDS_PRESS in Resource.h); the English built
// in here stands in for a text an image lacks.
#pragma once

#include <windows.h>

#include <string>

namespace launcher {

// Text id of the main image (the chosen language, see UiLanguage), with %1
// and %2 replaced by first and second.
std::wstring UiText(UINT id, const std::wstring& first = std::wstring(),
                    const std::wstring& second = std::wstring());

// The people's word for a state word of Setup.exe /verify ("damaged",
// "missing", "unreadable", "unchecked"); the word itself if it is none.
std::wstring UiStateWord(const char* word);

}  // namespace launcher

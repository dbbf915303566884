// The launcher's texts and pictures in the user's language: one language
// chosen among those the image carries (IDR_LANGUAGES), and every
// language-tagged resource then looked up in exactly that language. An
// image without the list uses the loader's own lookups, as before.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ResourceBytes.h"

namespace launcher {

class UiLanguage {
public:
    // Chooses for user, by default the user's UI language.
    explicit UiLanguage(HMODULE module, LANGID user = GetUserDefaultUILanguage());

    // The chosen language; 0 when the image lists none.
    LANGID language() const { return language_; }

    // A string of the chosen language, or of no language (the image's
    // product and settings keys); fallback (ASCII or wide) when the image
    // lacks it.
    std::wstring String(UINT id, const char* fallback = "") const;
    std::wstring String(UINT id, const wchar_t* fallback) const;
    std::wstring NeutralString(UINT id, const char* fallback = "") const;

    // A design-size picture (RT_BITMAP, a device-dependent bitmap as
    // LoadImage makes) and a double-size one (RCDATA, PNG) of the chosen
    // language; null when missing or malformed. The caller owns it.
    HBITMAP Bitmap(int id) const;
    HBITMAP DoublePicture(int id) const;

    // The text in the ANSI code page, or empty when it has no exact form
    // there (so that an ANSI call never names another key than meant).
    static std::string ToAnsi(const std::wstring& text);

private:
    using Bytes = resbytes::Bytes;
    // kNeutral: the resource of no language, not the chosen one.
    static const LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    Bytes Find(const wchar_t* type, UINT id, bool neutral) const;
    bool StringOf(UINT id, bool neutral, std::wstring* text) const;

    HMODULE module_;
    LANGID language_ = 0;
};

}  // namespace launcher

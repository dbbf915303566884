// Resources of the chosen language (see UiLanguage.h). Everything read from
// the image is bounds-checked by the parsers of ResourceFormats.h first.
#include "UiLanguage.h"

#include <cstring>

#include "LanguageChoice.h"
#include "PngPicture.h"
#include "Resource.h"
#include "ResourceFormats.h"
#include "Scoped.h"

namespace launcher {

UiLanguage::UiLanguage(HMODULE module, LANGID user) : module_(module) {
    Bytes list = Find(MAKEINTRESOURCEW(10), IDR_LANGUAGES, true);  // RT_RCDATA
    language_ = uilang::ChooseLanguage(user, uilang::ParseLanguageList(list.data, list.size));
}

// Without a list of languages the loader chooses, as it always has. The
// resources of no language are asked for as exactly that (the two keys'
// string block, ids 352 to 367, holds nothing of any language).
UiLanguage::Bytes UiLanguage::Find(const wchar_t* type, UINT id, bool neutral) const {
    const wchar_t* name = MAKEINTRESOURCEW(id);
    return resbytes::Of(module_, neutral     ? FindResourceExW(module_, type, name, kNeutral)
                                 : language_ ? FindResourceExW(module_, type, name, language_)
                                             : FindResourceW(module_, name, type));
}

bool UiLanguage::StringOf(UINT id, bool neutral, std::wstring* text) const {
    Bytes block = Find(MAKEINTRESOURCEW(6), id / 16 + 1, neutral);  // RT_STRING
    size_t offset = 0, length = 0;
    if (!resformat::FindInStringBlock(block.data, block.size, id % 16, &offset, &length))
        return false;
    text->assign(length, L'\0');
    memcpy(&(*text)[0], block.data + offset, length * sizeof(wchar_t));
    return true;
}

namespace {
std::wstring Widened(const char* ascii) {
    std::wstring text;
    for (const char* c = ascii ? ascii : ""; *c; ++c)
        text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return text;
}
}  // namespace

std::wstring UiLanguage::String(UINT id, const char* fallback) const {
    std::wstring text;
    return StringOf(id, false, &text) ? text : Widened(fallback);
}

std::wstring UiLanguage::String(UINT id, const wchar_t* fallback) const {
    std::wstring text;
    return StringOf(id, false, &text) ? text : std::wstring(fallback ? fallback : L"");
}

std::wstring UiLanguage::NeutralString(UINT id, const char* fallback) const {
    std::wstring text;
    return StringOf(id, true, &text) ? text : Widened(fallback);
}

HBITMAP UiLanguage::Bitmap(int id) const {
    Bytes b = Find(MAKEINTRESOURCEW(2), id, false);  // RT_BITMAP
    resformat::PackedDib dib;
    if (!resformat::ParsePackedDib(b.data, b.size, &dib)) return nullptr;
    // Compatible with the screen, as LoadImage makes it: run-length encoded
    // pictures cannot be held by DIB sections.
    scoped::WindowDC screen(nullptr);
    if (!screen) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(b.data);
    return CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, b.data + dib.bitsOffset, info,
                          DIB_RGB_COLORS);
}

HBITMAP UiLanguage::DoublePicture(int id) const {
    Bytes b = Find(MAKEINTRESOURCEW(10), id, false);  // RT_RCDATA
    return b.size ? DecodePngPicture(b.data, b.size) : nullptr;
}

std::string UiLanguage::ToAnsi(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = static_cast<int>(text.size());
    // A UTF-8 code page holds every text and takes neither flag nor check.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, flags, text.data(), n, nullptr, 0, nullptr,
                                    utf8 ? nullptr : &lossy);
    if (bytes <= 0 || lossy) return std::string();
    std::string ansi(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), n, &ansi[0], bytes, nullptr,
                            utf8 ? nullptr : &lossy) != bytes)
        return std::string();
    return lossy ? std::string() : ansi;
}

}  // namespace launcher

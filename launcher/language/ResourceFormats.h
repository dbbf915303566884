// The launcher's language choice and the two resource formats it reads by
// itself (string-table blocks and packed bitmaps), as plain C++ over bytes.
// The launcher chooses instead of leaving it to the loader, whose neutral
// lookup does not give "the user's language, else the project's first".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace uilang {

using LangId = std::uint16_t;

// The project's languages (IDR_LANGUAGES: little-endian 16-bit ids in
// project order). A trailing odd byte is ignored, and so are ids that name
// no language (primary language 0: neutral, the user's or system default).
std::vector<LangId> ParseLanguageList(const std::uint8_t* data, std::size_t size);

// The user's language when the project has it exactly; else, for Chinese,
// the project's language of the user's script (zh-HK and zh-MO: zh-TW,
// zh-SG: zh-CN); else the project's first language with the same primary
// language; else its first. 0 for a project without languages.
LangId ChooseLanguage(LangId user, const std::vector<LangId>& project);

// A text with each %1 replaced by first and each %2 by second, in one pass:
// what the arguments hold (a file named "100%2.exe") stays as it is. Any
// other '%' is itself.
std::wstring FillIn(const std::wstring& text, const std::wstring& first,
                    const std::wstring& second);

// Where string `index` (0..15) of a string-table block lies: its offset in
// bytes from the block's start and its length in UTF-16 units. False when
// the string is empty, the index is out of range or the block ends early.
bool FindInStringBlock(const std::uint8_t* block, std::size_t size, unsigned index,
                       std::size_t* offset, std::size_t* length);

// A bitmap resource (a packed DIB: header, masks, colour table, pixels)
// whose parts all lie inside its bytes: pixels start at bitsOffset.
struct PackedDib {
    int width = 0, height = 0;  // height < 0: top-down rows
    std::size_t bitsOffset = 0, bitsSize = 0;
};
// Accepts Windows 3 headers and later (not OS/2 core headers), 1 to 32 bits
// a pixel, uncompressed, bit fields or run-length encoded, up to 8192 pixels
// a side. The run-length codes themselves are left to GDI, which stops at
// the image size the header gives.
bool ParsePackedDib(const std::uint8_t* data, std::size_t size, PackedDib* out);

}  // namespace uilang

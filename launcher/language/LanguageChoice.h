// Which of the project's languages the launcher speaks, and how a text of it
// takes its arguments, as plain C++. The launcher chooses instead of leaving
// it to the loader, whose neutral lookup does not give "the user's language,
// else the project's first".
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

}  // namespace uilang

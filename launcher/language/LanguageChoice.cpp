// Language choice and filling in a text's arguments (see LanguageChoice.h).
#include "LanguageChoice.h"

namespace uilang {

namespace {

LangId Primary(LangId id) {
    return id & 0x3FF;
}
// Chinese is written in two scripts, which the primary language does not
// tell apart: Hong Kong and Macao read Traditional, as Taiwan (zh-TW)
// does, Singapore Simplified, as the mainland (zh-CN) does.
LangId ChineseScript(LangId id) {
    switch (id) {
        case 0x0C04:  // zh-HK
        case 0x1404:  // zh-MO
        case 0x7C04:  // zh-Hant
            return 0x0404;
        case 0x1004:  // zh-SG
        case 0x0004:  // zh-Hans
            return 0x0804;
        default:
            return id;
    }
}

}  // namespace

std::vector<LangId> ParseLanguageList(const std::uint8_t* data, std::size_t size) {
    std::vector<LangId> list;
    if (!data) return list;
    for (std::size_t i = 0; i + 2 <= size; i += 2) {
        LangId id = static_cast<LangId>(data[i] | (data[i + 1] << 8));
        if (Primary(id) != 0) list.push_back(id);
    }
    return list;
}

LangId ChooseLanguage(LangId user, const std::vector<LangId>& project) {
    if (project.empty()) return 0;
    for (LangId id : project)
        if (id == user) return id;
    const LangId script = ChineseScript(user);
    for (LangId id : project)
        if (id == script) return id;
    for (LangId id : project)
        if (Primary(id) == Primary(user)) return id;
    return project.front();
}

std::wstring FillIn(const std::wstring& text, const std::wstring& first,
                    const std::wstring& second) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : L'\0';
        if (text[i] == L'%' && (next == L'1' || next == L'2')) {
            out += next == L'1' ? first : second;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace uilang

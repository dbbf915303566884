// The launcher's own words (see UiText.h).
#include "UiText.h"

#include <cstring>

#include "LanguageChoice.h"
#include "Resource.h"
#include "UiLanguage.h"

namespace launcher {

namespace {

// English, the words of an image without them. tools/disc/disc-project reads
// this table (each {IDS_..., L"..."}) for the English of its discs.
const struct {
    UINT id;
    const wchar_t* text;
} kEnglish[] = {
    {IDS_FILE_MISSING, L"The file %1 is missing from the disc, so it was not started."},
    {IDS_FILE_UNREADABLE, L"The file %1 cannot be read from the disc, so it was not started."},
    {IDS_FILE_DAMAGED, L"The file %1 on the disc is damaged, so it was not started."},
    {IDS_CLEAN_DISC,
     L"The disc may be damaged. Clean it with a soft, dry cloth, wiping from the centre outwards, "
     L"and try again, or use another copy of the disc."},
    {IDS_LIST_DAMAGED, L"The list of the disc's files is damaged, so the disc cannot be checked."},
    {IDS_VERIFY_MENU, L"&Verify disc\x2026"},
    {IDS_VERIFY_TITLE, L"Verify disc"},
    {IDS_VERIFY_CHECKING, L"Checking the files on the disc\x2026"},
    {IDS_VERIFY_CANCEL, L"Cancel"},
    {IDS_VERIFY_CLOSE, L"Close"},
    {IDS_VERIFY_GOOD, L"The disc has been checked."},
    {IDS_VERIFY_BAD, L"The disc may be damaged: clean it, or use another copy."},
    {IDS_VERIFY_NO_BAD, L"No file is damaged or missing."},
    {IDS_CHECKED_ONE_GOOD, L"Checked 1 file: it is good."},
    {IDS_CHECKED_ONE_BAD, L"Checked 1 file: it is damaged, missing or could not be checked."},
    {IDS_CHECKED_GOOD, L"Checked %1 files: all are good."},
    {IDS_CHECKED_BAD_ONE, L"Checked %1 files: 1 is damaged, missing or could not be checked."},
    {IDS_CHECKED_BAD, L"Checked %1 files: %2 are damaged, missing or could not be checked."},
    {IDS_STATE_DAMAGED, L"damaged"},
    {IDS_STATE_MISSING, L"missing"},
    {IDS_STATE_UNREADABLE, L"unreadable"},
    {IDS_STATE_UNCHECKED, L"unchecked"},
    {IDS_PRESS, L"Press"},
};

const wchar_t* English(UINT id) {
    for (const auto& t : kEnglish)
        if (t.id == id) return t.text;
    return L"";
}

}  // namespace

std::wstring UiText(UINT id, const std::wstring& first, const std::wstring& second) {
    // The language is chosen once, as the main window chooses it.
    static const UiLanguage ui(GetModuleHandleW(nullptr));
    return uilang::FillIn(ui.String(id, English(id)), first, second);
}

std::wstring UiStateWord(const char* word) {
    const struct {
        const char* word;
        UINT id;
    } states[] = {{"damaged", IDS_STATE_DAMAGED},
                  {"missing", IDS_STATE_MISSING},
                  {"unreadable", IDS_STATE_UNREADABLE},
                  {"unchecked", IDS_STATE_UNCHECKED}};
    for (const auto& s : states)
        if (std::strcmp(s.word, word) == 0) return UiText(s.id);
    return std::wstring(word, word + std::strlen(word));
}

}  // namespace launcher

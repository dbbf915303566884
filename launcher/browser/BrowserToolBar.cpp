// tbToolBar of the browser window (see BrowserToolBar.h).
#include "BrowserToolBar.h"

#include "BrowserResources.h"

namespace browser {
namespace toolbar {

namespace {

// Left to right: key (also the tooltip); the picture has the same position.
const char* const kButtonKeys[] = {"Back", "Forward", "Stop", "Refresh", "Home", "Search"};
const int kButtonCount = 6;

// The key of the button with this command id, or null.
const char* KeyOf(UINT_PTR id) {
    if (id < static_cast<UINT_PTR>(ids::kFirstButton) ||
        id >= static_cast<UINT_PTR>(ids::kFirstButton + kButtonCount))
        return nullptr;
    return kButtonKeys[id - ids::kFirstButton];
}

}  // namespace

HWND Create(HWND parent, int width, int height, ImageList& images) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                   0, 0, width, height, parent,
                                   reinterpret_cast<HMENU>(ids::kToolBar), instance, nullptr);
    if (!toolbar) return nullptr;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    // imlToolbarIcons: six 24 x 24 pictures, light grey is transparent.
    images.reset(ImageList_Create(24, 24, ILC_COLOR24 | ILC_MASK, kButtonCount, 0));
    scoped::GdiObject strip(LoadImageA(instance, MAKEINTRESOURCEA(IDB_FRMBROWSER_TOOLBAR),
                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (images && strip)
        ImageList_AddMasked(images.get(), static_cast<HBITMAP>(strip.get()), RGB(192, 192, 192));
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));

    TBBUTTON buttons[kButtonCount] = {};
    for (int i = 0; i < kButtonCount; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = ids::kFirstButton + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].iString = -1;
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, kButtonCount, reinterpret_cast<LPARAM>(buttons));
    return toolbar;
}

const char* ClickedKey(HWND toolbar, WPARAM wParam, LPARAM lParam) {
    if (!toolbar || reinterpret_cast<HWND>(lParam) != toolbar) return nullptr;
    return KeyOf(LOWORD(wParam));
}

bool AnswerTooltip(LPARAM lParam) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    const char* key = hdr ? KeyOf(hdr->idFrom) : nullptr;
    if (!key) return false;
    if (hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        info->lpszText = const_cast<char*>(key);
        info->hinst = nullptr;
        return true;
    }
    if (hdr->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        MultiByteToWideChar(CP_ACP, 0, key, -1, info->szText,
                            static_cast<int>(sizeof(info->szText) / sizeof(wchar_t)));
        info->lpszText = info->szText;
        info->hinst = nullptr;
        return true;
    }
    return false;
}

}  // namespace toolbar
}  // namespace browser

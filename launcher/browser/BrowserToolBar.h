// tbToolBar of the browser window: six buttons with their pictures
// (imlToolbarIcons) and tooltips, each known by its key.
#pragma once

// clang-format off
#include <windows.h>  // before commctrl.h, which needs it
#include <commctrl.h>
// clang-format on

#include "Scoped.h"

namespace browser {
namespace toolbar {

struct ImageListTraits {
    using Type = HIMAGELIST;
    static HIMAGELIST invalid() noexcept { return nullptr; }
    static void close(HIMAGELIST v) noexcept { ImageList_Destroy(v); }
};
using ImageList = scoped::Unique<ImageListTraits>;

// Creates the toolbar at the top of parent, width x height pixels, with its
// six buttons; their pictures go into images, which must outlive the
// toolbar. Null if the toolbar could not be made.
HWND Create(HWND parent, int width, int height, ImageList& images);

// The key of the button a WM_COMMAND from toolbar names, or null.
const char* ClickedKey(HWND toolbar, WPARAM wParam, LPARAM lParam);

// Answers a button's tooltip asking for its text (WM_NOTIFY): true when it
// was one of the buttons.
bool AnswerTooltip(LPARAM lParam);

}  // namespace toolbar
}  // namespace browser

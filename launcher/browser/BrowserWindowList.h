// The open browser windows of the program: the list in load order, the
// hidden window that owns them all, and where the next one opens.
#pragma once

#include <windows.h>

#include <vector>

#include "BrowserLayout.h"

namespace browser {
namespace windowlist {

// The open windows, the first loaded first.
const std::vector<HWND>& Loaded();
void Add(HWND hwnd);
void Remove(HWND hwnd);

// The hidden window that owns every browser window, so that none of them has
// a taskbar button while each keeps its own caption and icon. Made on first
// use; null if it could not be made.
HWND HiddenOwner(HINSTANCE instance);

// Where the next window of width x height opens: the design spot for the
// first, else cascaded from the last one still open, inside the work area
// of that window's monitor (or of the primary one).
layout::Spot CascadeSpot(layout::Spot design, int width, int height);

}  // namespace windowlist
}  // namespace browser

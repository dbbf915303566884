// Resource ids, control ids and timer ids of the browser window. The
// resources are linked into the program that shows the window, next to its
// own: the ids are chosen well away from the launcher's.
#pragma once

#define IDR_FRMBROWSER_ICON 2101  // an .ico file, as RCDATA
#define IDB_FRMBROWSER_TOOLBAR 2102

#ifndef RC_INVOKED
namespace browser {
namespace ids {

constexpr int kToolBar = 100;
constexpr int kAddressStrip = 101;
constexpr int kAddressLabel = 102;
constexpr int kAddressBox = 103;
// Toolbar buttons take the command ids kFirstButton + position (0 to 5).
constexpr int kFirstButton = 200;

constexpr UINT_PTR kTimTimer = 1;
constexpr UINT kTimTimerInterval = 5;  // ms

}  // namespace ids
}  // namespace browser
#endif

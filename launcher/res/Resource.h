// Resource, control, menu and timer ids of Setup, shared by the code and Setup.rc.
#pragma once

#define IDI_SETUP 1

// Pictures of the main window (8-bit bitmaps).
#define IDB_BACKGROUND 101  // Picture2, 394 x 305
#define IDB_BUTTON 102      // ButtonPicture, 17 x 25
#define IDB_BUTTONHOT 103   // ButtonHotPicture, 17 x 25
#define IDB_INSTKX 104      // InstKXImage, 196 x 35
#define IDB_RUNKX 105       // RunKXImage, 166 x 34
// The same pictures at twice the size (PNG, RCDATA), for scaled displays.
#define IDP_DOUBLE 110      // IDP_DOUBLE + (IDB_x - 100): the double of IDB_x

// Names of the panel's buttons for screen readers: the captions that the
// pictures show, IDS_BUTTONNAME + k for button k (button 1 while it offers
// the installation), IDS_RUNNAME for button 1 once the product is there.
#define IDS_BUTTONNAME 300
#define IDS_RUNNAME 308
// The rest of the texts of one language: the window's caption and the
// tips of hotspot k (IDS_REGIONTIP + k) and bullet k (IDS_BULLETTIP + k).
#define IDS_CAPTION 310
#define IDS_REGIONTIP 320
#define IDS_BULLETTIP 330

// Of no language: the product's open command under HKEY_CLASSES_ROOT, the
// settings key under HKEY_CURRENT_USER, and the image's languages (RCDATA,
// 16-bit language ids, the first the fallback). Pictures and the texts
// above are given once per language. The two keys have a string block of
// their own (ids 352 to 367): a block shared with a language's strings
// would exist in that language too, and a lookup of no particular language
// may then find the language's copy, which lacks the keys.
#define IDS_PRODUCTKEY 352
#define IDS_SETTINGSKEY 353
#define IDR_LANGUAGES 350

// The disc's list of its files (only in the Setup.exe that goes on a disc).
#define IDR_DISCLIST 360

// Menu items of the main window (all unreachable: both menus are switched
// off), under the names of the form's menu controls.
#ifndef RC_INVOKED
enum MenuItemId : unsigned {
    mnuRunInstall = 1001,
    mnuInstallBrenvik,
    mnuInstallDirectX,
    mnuViewTrouble,
    mnuViewWebSite,
    mnuViewCatalogue,
    mnuUnInstall,
    mnuFileExit,
    mnuHelpAbout,
};
#endif

// Tooltip tool ids: bullets 101..107, hotspots 201..207.
#define ID_MYBUTTON_BASE 100
#define ID_BUTTONREGION_BASE 200

#define ID_MAINTIMER 1

// Resource, control, menu and timer ids of Setup, shared by the code, Setup.rc
// and each disc's resource script (tools/disc/disc-project writes the names).
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

// The launcher's own words, in each language's string table beside the
// disc's texts (ids 368 to 399: blocks of their own, apart from the keys').
// tools/disc/disc-project writes them from its built-in translations or the
// disc.ini's keys, named after the ids ("file-missing" for IDS_FILE_MISSING);
// language/UiText.cpp holds the English used where an image lacks one.
// %1 and %2 stand for a file's name or a count.
#define IDS_FILE_MISSING 368     // a command's program is not on the disc
#define IDS_FILE_UNREADABLE 369  // ... cannot be read
#define IDS_FILE_DAMAGED 370     // ... is not the file the disc was made with
#define IDS_CLEAN_DISC 371       // what to do then
#define IDS_LIST_DAMAGED 372     // Verify disc without a readable list
#define IDS_VERIFY_MENU 373      // the system menu's item
#define IDS_VERIFY_TITLE 374     // the Verify disc window
#define IDS_VERIFY_CHECKING 375
#define IDS_VERIFY_CANCEL 376
#define IDS_VERIFY_CLOSE 377
#define IDS_VERIFY_GOOD 378  // its heading once every file is good
#define IDS_VERIFY_BAD 379   // ... once one is not
#define IDS_VERIFY_NO_BAD 380
#define IDS_CHECKED_ONE_GOOD 381  // its summary: 1 file checked, good
#define IDS_CHECKED_ONE_BAD 382   // 1 file checked, bad
#define IDS_CHECKED_GOOD 383      // %1 files checked, all good
#define IDS_CHECKED_BAD_ONE 384   // %1 files checked, 1 bad
#define IDS_CHECKED_BAD 385       // %1 files checked, %2 bad
#define IDS_STATE_DAMAGED 386     // a bad file's state, for people (scripts
#define IDS_STATE_MISSING 387     // read /verify's fixed English words)
#define IDS_STATE_UNREADABLE 388
#define IDS_STATE_UNCHECKED 389
#define IDS_PRESS 390  // a button's default action, for screen readers

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

// The browser window's icon and toolbar pictures reach Setup.exe beside the
// launcher's own resources (a resource object in a static library would be
// dropped by the linker; see ../CMakeLists.txt).
#include <gtest/gtest.h>
#include <windows.h>

#include "BrowserResources.h"
#include "Testkit.h"

TEST(BrowserResources, ReachSetupNextToItsOwn) {
    HMODULE setup =
        LoadLibraryExA(testkit::BinPath("Setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(setup);
    EXPECT_TRUE(FindResourceA(setup, MAKEINTRESOURCEA(IDB_FRMBROWSER_TOOLBAR), RT_BITMAP));
    EXPECT_TRUE(FindResourceA(setup, MAKEINTRESOURCEA(IDR_FRMBROWSER_ICON), RT_RCDATA));
    // The launcher's own icon is intact beside them.
    EXPECT_TRUE(LoadImageA(setup, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
    FreeLibrary(setup);
}

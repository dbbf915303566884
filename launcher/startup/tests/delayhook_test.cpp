// The delay-load hook takes a late library from the system folder only: a
// copy planted beside the program (oleacc.dll here, which Wine takes from
// there when told to: WINEDLLOVERRIDES=oleacc=n,b) is never loaded. This
// process, unlike Setup.exe, does not lock its DLL search first, which would
// hide a hook that loaded as LoadLibrary does.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h:
#include <oleacc.h>

#include "Testkit.h"

TEST(DelayLoadHook, TakesALateLibraryFromTheSystemFolderOnly) {
    const std::string planted = testkit::BinDir() + "\\oleacc.dll";
    const std::string marker = planted + ".loaded";
    DeleteFileA(marker.c_str());
    ASSERT_TRUE(testkit::FileExists(planted));
    ASSERT_EQ(GetModuleHandleA("oleacc.dll"), nullptr);
    // The first call of an OLEACC function loads the library.
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    IUnknown* object = nullptr;
    EXPECT_EQ(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IUnknown,
                                        reinterpret_cast<void**>(&object)),
              S_OK);
    if (object) object->Release();
    DestroyWindow(window);
    EXPECT_NE(GetModuleHandleA("oleacc.dll"), nullptr);
    EXPECT_FALSE(testkit::FileExists(marker)) << "the planted oleacc.dll was loaded";
}

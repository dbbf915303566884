// frmMain of a project in one language outside the ANSI code page (Greek, in
// an English session) with broken pictures (greek_project_test.rc).
#include "frmMain.h"  // and with it <windows.h>, which the other system headers need

#include <commctrl.h>
#include <gtest/gtest.h>

#include "Gui.h"
#include "Resource.h"
#include "SetupDat.h"
#include "Testkit.h"

namespace {

const wchar_t kCaption[] = L"\x039a\x03ad\x03c3\x03c4\x03c1\x03b9\x03be";
const wchar_t kRun[] = L"\x0395\x03ba\x03c4\x03ad\x03bb\x03b5\x03c3\x03b7";
const wchar_t kTip1[] = L"\x039a\x03ac\x03bd\x03c4\x03b5 \x03ba\x03bb\x03b9\x03ba";

// Windows refuses flags and default characters for UTF-8 (Wine 8 takes them).
decltype(&WideCharToMultiByte) systemConversion;
int WINAPI AsWindows(UINT cp, DWORD flags, LPCWCH w, int n, LPSTR a, int m, LPCCH d, LPBOOL used) {
    const bool utf8 = cp == CP_UTF8 || (cp == CP_ACP && GetACP() == CP_UTF8);
    if (utf8 && ((flags & ~WC_ERR_INVALID_CHARS) || d || used)) return 0;
    return systemConversion(cp, flags, w, n, a, m, d, used);
}

TEST(GreekProject, ShowsItsTextsWholeUsesItsKeysAndDoesWithoutPictures) {
    ASSERT_EQ(std::getenv("EXPECT_ACP") ? 65001u : 1252u, GetACP());  // Greek fits only UTF-8
    ASSERT_EQ(testkit::RedirectImports(systemConversion = &WideCharToMultiByte, AsWindows), 1u);
    // A setup.dat saved as Unicode: the Greek folder whole in UTF-8, or in
    // 1252 the default character, never a best-fit letter.
    const std::string unicode = "\xEF\xBB\xBF\"C:\\\xCE\xA3\\x.exe\"";
    setupdat::MemorySource dat(unicode);
    EXPECT_EQ(setupdat::ReadFields(dat),
              std::vector<std::string>{std::getenv("EXPECT_ACP") ? "C:\\\xCE\xA3\\x.exe"
                                                                 : "C:\\?\\x.exe"});
    const char kProductKey[] = "WexaGreekTestFile\\Shell\\Open\\Command";
    ASSERT_TRUE(testkit::WriteString(HKEY_CLASSES_ROOT, kProductKey, "", "\"C:\\gr\\gr.exe\""));
    launcher::SystemServices services;  // (nothing is clicked)
    launcher::frmMain form(GetModuleHandleA(nullptr), services,
                           launcher::Options{"KestrixBasic", false});
    ASSERT_TRUE(form.Load());
    form.Show();
    testkit::Pump();
    EXPECT_EQ(form.state().RunPath, "\"C:\\gr\\gr.exe\"");  // the project's product key
    wchar_t caption[64] = L"";
    GetWindowTextW(form.hwnd(), caption, 64);
    EXPECT_STREQ(caption, kCaption);

    wchar_t tip[64] = L"";
    TTTOOLINFOW ti = {TTTOOLINFOW_V2_SIZE, 0, form.hwnd(), ID_BUTTONREGION_BASE + 1, {},
                      nullptr, tip, 0, nullptr};
    SendMessageW(form.panel().Tooltip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(tip, kTip1);

    EXPECT_EQ(form.panel().ButtonName(1), kRun);  // for screen readers; installed: "run"

    // No install picture: an empty hotspot. Shown with a background cut after
    // its header, then at 150 % with a double that is no PNG.
    EXPECT_EQ(form.panel().Region1().width, 0);
    RECT suggested = {20, 20, 0, 0};
    SendMessageW(form.hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    UpdateWindow(form.hwnd());
    SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(testkit::ValueExists(HKEY_CURRENT_USER, "Software\\Wexa Greek Test\\Settings",
                                     "MainLeft"));
    testkit::DeleteKeyTree(HKEY_CLASSES_ROOT, "WexaGreekTestFile");
    testkit::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Wexa Greek Test");
}

}  // namespace

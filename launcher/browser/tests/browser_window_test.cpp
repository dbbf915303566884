// The browser window on a scripted engine, as real windows under Wine: what
// the user sees (caption, address box and list, control placement) and what
// reaches the engine, for loading, the address box, the toolbar, the busy
// timer, resizing and the keyboard.
// clang-format off
#include <windows.h>  // before the other system headers, which need it
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <memory>

#include "BrowserForm.h"
#include "BrowserTestKit.h"
#include "BrowserWindow.h"
#include "ScriptedEngine.h"

using namespace browsertest;
using browser::FrmBrowser;
using Items = std::vector<std::string>;

namespace {

// Toolbar positions.
enum { kBack, kForward, kStop, kRefresh, kHome, kSearch };

struct Opened {
    HWND hwnd = nullptr;
    FrmBrowser* form = nullptr;
    std::shared_ptr<Script> script;
    HWND box() const { return form->AddressBox(); }
    HWND edit() const { return EditOf(form->AddressBox()); }
};

class BrowserWindow : public ::testing::Test {
protected:
    void TearDown() override {
        // The real pointer out of the way of the next test's windows.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
        browser::CloseAllBrowserWindows();
        Pump();
        EXPECT_TRUE(FrmBrowser::OpenWindows().empty());
    }

    Opened Open(const std::string& startingAddress,
                std::shared_ptr<Script> script = std::make_shared<Script>()) {
        Opened o;
        o.script = script;
        o.hwnd = FrmBrowser::Open(GetModuleHandleA(nullptr), startingAddress,
                                  std::unique_ptr<browser::Engine>(new ScriptedEngine(script)));
        o.form = FrmBrowser::FromWindow(o.hwnd);
        Pump();
        return o;
    }

    // Waits until the busy timer has stopped.
    static bool Idle(const Opened& o) {
        return PumpUntil([&] { return !o.form->TimerEnabled(); });
    }
};

TEST_F(BrowserWindow, EmptyStartingAddressOpensNoPage) {
    Opened o = Open("");
    ASSERT_TRUE(o.hwnd);
    EXPECT_TRUE(IsWindowVisible(o.hwnd));
    EXPECT_EQ("Combo1", Text(o.box()));
    EXPECT_EQ("", Text(o.hwnd));
    EXPECT_TRUE(ListItems(o.box()).empty());
    EXPECT_TRUE(o.script->calls.empty());
    EXPECT_FALSE(o.form->TimerEnabled());
    EXPECT_EQ(o.edit(), GetFocus());
}

TEST_F(BrowserWindow, IsASizableWindowWithoutTaskbarButtonLaidOutAsDesigned) {
    Opened o = Open("");
    LONG style = GetWindowLongA(o.hwnd, GWL_STYLE);
    LONG exStyle = GetWindowLongA(o.hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    // Owned by a window that is never shown: no taskbar button.
    HWND owner = GetWindow(o.hwnd, GW_OWNER);
    ASSERT_TRUE(owner);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_TRUE(GetClassLongPtrA(o.hwnd, GCLP_HICON));
    EXPECT_TRUE(GetClassLongPtrA(o.hwnd, GCLP_HICONSM));

    // Design client area 6540 x 5130 twips, at 15 twips a pixel.
    SIZE client = ClientSize(o.hwnd);
    EXPECT_EQ(436, client.cx);
    EXPECT_EQ(342, client.cy);
    RECT tb = ChildRect(o.form->ToolBar());
    EXPECT_EQ(0, tb.left);
    EXPECT_EQ(0, tb.top);
    EXPECT_EQ(436, tb.right);
    EXPECT_EQ(36, tb.bottom);
    RECT strip = ChildRect(o.form->AddressStrip());
    EXPECT_EQ(0, strip.left);
    EXPECT_EQ(36, strip.top);
    EXPECT_EQ(436, strip.right);
    EXPECT_EQ(81, strip.bottom);
    EXPECT_EQ("&Address:", Text(o.form->AddressLabel()));
    RECT label = ChildRect(o.form->AddressLabel());
    EXPECT_EQ(3, label.left);
    EXPECT_EQ(4, label.top);
    // Form_Load put the box at left 50 and top 330 twips; the resize rule
    // made it ScaleWidth - 100 wide.
    RECT box = ChildRect(o.box());
    EXPECT_EQ(3, box.left);
    EXPECT_EQ(22, box.top);
    EXPECT_EQ(436 - 7, box.right - box.left);
    EXPECT_LE(box.bottom, 45);
    // The browser: left 50, top 1215; width ScaleWidth - 100, height
    // ScaleHeight - 1215 - 100.
    RECT view = o.script->rect;
    EXPECT_EQ(3, view.left);
    EXPECT_EQ(81, view.top);
    EXPECT_EQ(429, view.right - view.left);
    EXPECT_EQ(254, view.bottom - view.top);
    EXPECT_EQ(view.left, ChildRect(o.script->view).left);
}

TEST_F(BrowserWindow, ToolbarHasSixPicturedButtonsWithTheirTooltips) {
    Opened o = Open("");
    HWND tb = o.form->ToolBar();
    ASSERT_EQ(6, SendMessageA(tb, TB_BUTTONCOUNT, 0, 0));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(tb, TB_GETIMAGELIST, 0, 0));
    ASSERT_TRUE(images);
    EXPECT_EQ(6, ImageList_GetImageCount(images));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(24, cx);
    EXPECT_EQ(24, cy);
    const char* keys[] = {"Back", "Forward", "Stop", "Refresh", "Home", "Search"};
    for (int i = 0; i < 6; ++i) {
        TBBUTTON button = {};
        ASSERT_TRUE(SendMessageA(tb, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(i, button.iBitmap);
        // The tooltip asks the window for its text.
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(tb, TB_GETTOOLTIPS, 0, 0));
        info.hdr.idFrom = button.idCommand;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(o.hwnd, WM_NOTIFY, button.idCommand, reinterpret_cast<LPARAM>(&info));
        ASSERT_TRUE(info.lpszText);
        EXPECT_STREQ(keys[i], info.lpszText);
    }
    // Light grey is the mask colour: drawn on white, each picture shows the
    // white at its (light grey) corner and its own drawing elsewhere.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 24, 24);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    const RECT all = {0, 0, 24, 24};
    for (int i = 0; i < 6; ++i) {
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EXPECT_TRUE(ImageList_Draw(images, i, dc, 0, 0, ILD_TRANSPARENT));
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 0, 0)) << keys[i];
        int drawn = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) drawn += GetPixel(dc, x, y) != RGB(255, 255, 255);
        EXPECT_GT(drawn, 100) << keys[i];
    }
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
}

TEST_F(BrowserWindow, StartAddressIsShownListedAndNavigatedThenReplacedByTheEngineForm) {
    auto script = std::make_shared<Script>();
    Opened o = Open("example.com", script);
    EXPECT_EQ(Items{"Navigate:example.com"}, script->calls);
    EXPECT_EQ("example.com", Text(o.box()));
    EXPECT_EQ(Items{"example.com"}, ListItems(o.box()));
    EXPECT_TRUE(o.form->TimerEnabled());
    EXPECT_TRUE(PumpUntil([&] { return Text(o.hwnd) == "Working..."; }));

    script->Complete("http://example.com/", "Example Domain");
    EXPECT_EQ("Example Domain", Text(o.hwnd));
    // Both forms stand in the list, the browser's own on top and selected.
    EXPECT_EQ((Items{"http://example.com/", "example.com"}), ListItems(o.box()));
    EXPECT_EQ(0, ListIndex(o.box()));
    EXPECT_EQ("http://example.com/", Text(o.box()));
    EXPECT_FALSE(o.form->ListUpdating());
    EXPECT_TRUE(Idle(o));
    EXPECT_EQ("Example Domain", Text(o.hwnd));
    // Selecting the new entry did not navigate again.
    EXPECT_EQ(Items{"Navigate:example.com"}, script->calls);
}

TEST_F(BrowserWindow, EventsRaisedInsideTheFirstNavigateAreHandled) {
    auto script = std::make_shared<Script>();
    Script* s = script.get();
    script->onNavigate = [s](const std::string& address) { s->Complete(address, "At once"); };
    Opened o = Open("http://a.example/", script);
    EXPECT_EQ("At once", Text(o.hwnd));
    EXPECT_EQ(Items{"http://a.example/"}, ListItems(o.box()));
    EXPECT_EQ(0, ListIndex(o.box()));
    EXPECT_TRUE(Idle(o));
    EXPECT_EQ("At once", Text(o.hwnd));
    EXPECT_EQ(1, script->Count("Navigate:http://a.example/"));
}

TEST_F(BrowserWindow, VisitingABAKeepsEachAddressOnceMostRecentFirst) {
    auto script = std::make_shared<Script>();
    const std::string a = "http://a.example/", b = "http://b.example/";
    Opened o = Open(a, script);
    script->Complete(a, "Page A");

    SetWindowTextA(o.box(), "");
    TypeText(o.edit(), b);
    PressKey(o.edit(), VK_RETURN);
    EXPECT_EQ(1, script->Count("Navigate:" + b));
    script->Complete(b, "Page B");
    EXPECT_EQ((Items{b, a}), ListItems(o.box()));

    // A chosen from the list: open it, move down to A, Enter.
    SendMessageA(o.box(), CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    PressKey(o.edit(), VK_DOWN);
    EXPECT_EQ(1, script->Count("Navigate:" + a)) << "after down";
    PressKey(o.edit(), VK_RETURN);
    EXPECT_EQ(2, script->Count("Navigate:" + a)) << testing::PrintToString(script->calls);
    script->Complete(a, "Page A");

    EXPECT_EQ((Items{a, b}), ListItems(o.box()));
    EXPECT_EQ(0, ListIndex(o.box()));
    EXPECT_EQ(a, Text(o.box()));
    EXPECT_EQ("Page A", Text(o.hwnd));
    EXPECT_TRUE(Idle(o));
    // Start, B, the list choice: no navigation from selecting A on top.
    EXPECT_EQ((Items{"Navigate:" + a, "Navigate:" + b, "Navigate:" + a}), script->calls);
}

// A click with the real mouse, at a point on the screen.
void ClickScreen(POINT p) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    for (DWORD flags : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof(in));
        PumpUntil([] { return false; }, 100);
    }
}

TEST_F(BrowserWindow, ChoosingFromTheListWithTheMouseNavigatesOnceOpeningAloneNever) {
    auto script = std::make_shared<Script>();
    const std::string a = "http://a.example/", b = "http://b.example/";
    Opened o = Open(a, script);
    script->Complete(a, "Page A");
    SetWindowTextA(o.box(), b.c_str());
    PressKey(o.edit(), VK_RETURN);
    script->Complete(b, "Page B");
    ASSERT_EQ((Items{b, a}), ListItems(o.box()));
    script->calls.clear();

    RECT box = {};
    GetWindowRect(o.box(), &box);
    POINT arrow = {box.right - 6, (box.top + box.bottom) / 2};
    ClickScreen(arrow);
    ASSERT_TRUE(SendMessageA(o.box(), CB_GETDROPPEDSTATE, 0, 0));
    ClickScreen(arrow);
    EXPECT_FALSE(SendMessageA(o.box(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(script->calls.empty());

    ClickScreen(arrow);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(o.box(), &info));
    RECT item = {};
    SendMessageA(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    POINT second = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(info.hwndList, &second);
    ClickScreen(second);
    EXPECT_EQ(Items{"Navigate:" + a}, script->calls);
    EXPECT_EQ(a, Text(o.box()));
}

TEST_F(BrowserWindow, AddressesDifferingInCaseAreTwoEntries) {
    auto script = std::make_shared<Script>();
    Opened o = Open("", script);
    script->Complete("http://Example.com/", "One");
    script->Complete("http://example.com/", "Two");
    script->Complete("http://Example.com/", "One");
    EXPECT_EQ((Items{"http://Example.com/", "http://example.com/"}), ListItems(o.box()));
}

TEST_F(BrowserWindow, EnterNavigatesExactlyTheTypedTextOnce) {
    auto script = std::make_shared<Script>();
    Opened o = Open("", script);
    SetWindowTextA(o.box(), "");
    const std::string typed = "  not an Address, really  ";
    TypeText(o.edit(), typed);
    EXPECT_TRUE(script->calls.empty());
    PressKey(o.edit(), VK_RETURN);
    EXPECT_EQ(Items{"Navigate:" + typed}, script->calls);
    // Enter is passed on to the box: its text stays as typed.
    EXPECT_EQ(typed, Text(o.box()));
    EXPECT_TRUE(o.form->TimerEnabled());
    // Other keys only type.
    PressKey(o.edit(), VK_END);
    TypeText(o.edit(), "x");
    EXPECT_EQ(1u, script->calls.size());

    // With the list open, text that matches no entry goes out once.
    script->Complete("http://a.example/", "Page A");
    script->calls.clear();
    SendMessageA(o.box(), CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    SetWindowTextA(o.box(), "");
    TypeText(o.edit(), "zzz");
    PressKey(o.edit(), VK_RETURN);
    EXPECT_EQ(Items{"Navigate:zzz"}, script->calls);
}

TEST_F(BrowserWindow, WindowsKeepTheirOwnListsAndCloseTheLastLoadedFirst) {
    auto log = std::make_shared<std::vector<std::string>>();
    std::vector<Opened> opened;
    for (const char* tag : {"1", "2", "3"}) {
        auto script = std::make_shared<Script>();
        script->closeLog = log;
        script->tag = tag;
        opened.push_back(Open(std::string("http://") + tag + ".example/", script));
    }
    ASSERT_NE(opened[0].hwnd, opened[2].hwnd);
    opened[0].script->Complete("http://1.example/", "One");
    opened[2].script->Complete("http://3.example/", "Three");
    opened[2].script->Complete("http://4.example/", "Four");
    EXPECT_EQ(Items{"http://1.example/"}, ListItems(opened[0].box()));
    EXPECT_EQ((Items{"http://4.example/", "http://3.example/"}), ListItems(opened[2].box()));
    EXPECT_EQ("One", Text(opened[0].hwnd));
    EXPECT_EQ("Four", Text(opened[2].hwnd));
    EXPECT_EQ(Items{"Navigate:http://1.example/"}, opened[0].script->calls);
    EXPECT_EQ(Items{"Navigate:http://3.example/"}, opened[2].script->calls);
    EXPECT_EQ((std::vector<HWND>{opened[0].hwnd, opened[1].hwnd, opened[2].hwnd}),
              FrmBrowser::OpenWindows());

    // One closed by the user in between, then all.
    SendMessageA(opened[1].hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(Items{"2"}, *log);
    browser::CloseAllBrowserWindows();
    EXPECT_EQ((Items{"2", "3", "1"}), *log);
    for (auto& o : opened) {
        EXPECT_FALSE(IsWindow(o.hwnd));
        EXPECT_EQ(1, o.script->closeCount);
        EXPECT_EQ(nullptr, o.script->events);
    }
    EXPECT_TRUE(FrmBrowser::OpenWindows().empty());
}

TEST_F(BrowserWindow, ToolbarButtonsCallTheirOperationsAndShowWorkingWhileBusy) {
    auto script = std::make_shared<Script>();
    script->results["GoBack"] = E_FAIL;  // as the control answers with no earlier page
    Opened o = Open("", script);
    script->Complete("http://a.example/", "Page A");
    const struct {
        int button;
        const char* call;
    } cases[] = {
        {kForward, "GoForward"}, {kRefresh, "Refresh"}, {kHome, "GoHome"}, {kSearch, "GoSearch"}};
    for (const auto& c : cases) {
        script->calls.clear();
        ClickToolbarButton(o.form->ToolBar(), c.button);
        EXPECT_EQ(Items{c.call}, script->calls);
        EXPECT_TRUE(o.form->TimerEnabled()) << c.call;
        EXPECT_TRUE(PumpUntil([&] { return Text(o.hwnd) == "Working..."; })) << c.call;
        script->Complete("http://a.example/", "Page A");
        EXPECT_TRUE(Idle(o)) << c.call;
        EXPECT_EQ("Page A", Text(o.hwnd)) << c.call;
    }
    // Back with no earlier page: nothing visible but the page name that the
    // timer then puts in the caption.
    script->calls.clear();
    SetWindowTextA(o.hwnd, "something else");
    ClickToolbarButton(o.form->ToolBar(), kBack);
    EXPECT_EQ(Items{"GoBack"}, script->calls);
    EXPECT_TRUE(Idle(o));
    EXPECT_EQ("Page A", Text(o.hwnd));
    EXPECT_EQ(Items{"http://a.example/"}, ListItems(o.box()));
}

TEST_F(BrowserWindow, StopShowsThePageNameAtOnceAndEndsTheTimer) {
    auto script = std::make_shared<Script>();
    Opened o = Open("", script);
    script->Complete("http://a.example/", "Page A");
    SetWindowTextA(o.box(), "http://slow.example/");
    PressKey(o.edit(), VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return Text(o.hwnd) == "Working..."; }));
    ClickToolbarButton(o.form->ToolBar(), kStop);
    EXPECT_EQ("Stop", script->calls.back());
    EXPECT_FALSE(o.form->TimerEnabled());
    EXPECT_EQ("Page A", Text(o.hwnd));
    // The timer stays off: nothing turns the caption back.
    script->busy = true;
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ("Page A", Text(o.hwnd));
}

TEST_F(BrowserWindow, FailingEngineStepsAreSkipped) {
    auto script = std::make_shared<Script>();
    script->results["Navigate"] = E_FAIL;
    script->results["Busy"] = E_FAIL;
    script->results["LocationName"] = E_FAIL;
    script->results["LocationURL"] = E_FAIL;
    Opened o = Open("http://a.example/", script);
    ASSERT_TRUE(o.hwnd);
    SetWindowTextA(o.hwnd, "kept");
    // An engine that cannot say whether it is busy counts as idle.
    EXPECT_TRUE(Idle(o));
    EXPECT_EQ("kept", Text(o.hwnd));
    PressKey(o.edit(), VK_RETURN);
    EXPECT_TRUE(Idle(o));
    script->Complete("http://b.example/", "B");
    EXPECT_EQ("kept", Text(o.hwnd));
    EXPECT_EQ(Items{"http://a.example/"}, ListItems(o.box()));
    EXPECT_FALSE(o.form->ListUpdating());
    EXPECT_TRUE(IsWindow(o.hwnd));
}

TEST_F(BrowserWindow, WindowWithoutAnEngineViewStillOpens) {
    auto script = std::make_shared<Script>();
    script->results["Create"] = E_FAIL;
    Opened o = Open("http://a.example/", script);
    ASSERT_TRUE(o.hwnd);
    EXPECT_TRUE(IsWindowVisible(o.hwnd));
    EXPECT_EQ(Items{"http://a.example/"}, ListItems(o.box()));
    PressKey(o.edit(), VK_TAB);
    EXPECT_EQ(o.edit(), GetFocus());
}

TEST_F(BrowserWindow, ResizingFollowsTheRuleAndSkipsNegativeSizes) {
    Opened o = Open("");
    RECT frame = {0, 0, 300, 200};
    AdjustWindowRectEx(&frame, GetWindowLongA(o.hwnd, GWL_STYLE), FALSE,
                       GetWindowLongA(o.hwnd, GWL_EXSTYLE));
    SetWindowPos(o.hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(300, ClientSize(o.hwnd).cx);
    RECT box = ChildRect(o.box());
    EXPECT_EQ(293, box.right - box.left);  // 4500 - 100 twips
    RECT view = o.script->rect;
    EXPECT_EQ(293, view.right - view.left);
    EXPECT_EQ(112, view.bottom - view.top);  // 3000 - 1215 - 100 twips
    EXPECT_EQ(300, ChildRect(o.form->ToolBar()).right);
    EXPECT_EQ(300, ChildRect(o.form->AddressStrip()).right);

    // Too low for the browser: its height keeps the last valid value while
    // the widths still follow.
    SetWindowPos(o.hwnd, nullptr, 0, 0, frame.right - frame.left + 20, 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_LT(ClientSize(o.hwnd).cy * 15, 1315);
    view = o.script->rect;
    EXPECT_EQ(313, view.right - view.left);
    EXPECT_EQ(112, view.bottom - view.top);

    // Minimised, the client area is empty: every step is skipped and the
    // sizes stay, without a message.
    ShowWindow(o.hwnd, SW_MINIMIZE);
    Pump();
    ASSERT_LT(ClientSize(o.hwnd).cx * 15, 100);
    box = ChildRect(o.box());
    EXPECT_EQ(313, box.right - box.left);
    view = o.script->rect;
    EXPECT_EQ(313, view.right - view.left);
    EXPECT_EQ(112, view.bottom - view.top);
    ShowWindow(o.hwnd, SW_RESTORE);
    Pump();
    EXPECT_EQ(313, ChildRect(o.box()).right - ChildRect(o.box()).left);
}

TEST_F(BrowserWindow, KeyboardAltATabAndTheEnginesAccelerators) {
    auto script = std::make_shared<Script>();
    script->acceleratorKeys = {VK_F5};
    Opened o = Open("", script);
    ASSERT_EQ(o.edit(), GetFocus());

    PressKey(o.edit(), VK_TAB);
    EXPECT_EQ(script->view, GetFocus());
    // The engine sees keys aimed at its view first; what it takes is not
    // dispatched, what it leaves is.
    PressKey(script->view, VK_F5);
    PressKey(script->view, VK_F6);
    EXPECT_EQ((std::vector<WPARAM>{VK_F5, VK_F6}), script->offeredKeys);
    EXPECT_EQ(std::vector<WPARAM>{VK_F6}, script->viewKeyDowns);

    PressKey(script->view, 'A', true);
    EXPECT_EQ(o.edit(), GetFocus());
    PressKey(o.edit(), VK_TAB);
    EXPECT_EQ(script->view, GetFocus());
    PressKey(script->view, VK_TAB);
    EXPECT_EQ(o.edit(), GetFocus());
    // Keys in the address box are not offered to the engine.
    PressKey(o.edit(), VK_F5);
    EXPECT_EQ(3u, script->offeredKeys.size());
    EXPECT_TRUE(script->calls.empty());
}

}  // namespace

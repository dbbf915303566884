// The browser window on a scripted engine, as real windows under Wine: what
// the user sees and what reaches the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>

#include "BrowserForm.h"
#include "BrowserTestKit.h"

using namespace browsertest;
using browser::FrmBrowser;

namespace {

enum { kBack, kForward, kStop, kRefresh, kHome, kSearch };  // toolbar positions
const std::string a = "http://a.example/", b = "http://b.example/";

struct Opened {
    HWND hwnd;
    FrmBrowser* form;
    std::shared_ptr<Script> script;
    HWND box() const { return form->AddressBox(); }
    HWND edit() const { return GetWindow(form->AddressBox(), GW_CHILD); }
    std::string caption() const { return WindowText(hwnd); }
    // What the user sees and what reached the engine: caption | address box |
    // list, the selected entry marked * | engine calls.
    std::string Seen() const {
        std::string seen = caption() + " | " + WindowText(box()) + " |";
        char item[1024];
        auto selected = SendMessageA(box(), CB_GETCURSEL, 0, 0);
        for (LRESULT i = 0, n = SendMessageA(box(), CB_GETCOUNT, 0, 0); i < n; ++i) {
            SendMessageA(box(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            seen += (i ? "," : " ") + std::string(i == selected ? "*" : "") + item;
        }
        seen += " |";
        for (const auto& call : script->calls) seen += " " + call;
        return seen;
    }
    // Where the controls are, in client pixels: the address box (left, top,
    // right), the browser, the toolbar and the address strip.
    std::string Placed() const {
        std::string placed = Str(ChildRect(box()));
        placed.erase(placed.rfind(','));
        for (HWND h : {script->view, form->ToolBar(), form->AddressStrip()})
            placed += " " + Str(ChildRect(h));
        return placed;
    }
    // Waits until the busy timer has stopped.
    bool Idle() const {
        return PumpUntil([this] { return !form->TimerEnabled(); });
    }
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
    static Opened Open(const std::string& startingAddress,
                       std::shared_ptr<Script> script = std::make_shared<Script>()) {
        HWND hwnd = FrmBrowser::Open(GetModuleHandleA(nullptr), startingAddress,
                                     std::unique_ptr<browser::Engine>(new ScriptedEngine(script)));
        Pump();
        return {hwnd, FrmBrowser::FromWindow(hwnd), script};
    }
    // A window that has shown a and then b: its list holds b, a.
    static Opened OpenAfterAThenB() {
        Opened o = Open(a);
        o.script->Complete(a, "Page A");
        o.script->Complete(b, "Page B");
        o.script->calls.clear();
        return o;
    }
};

TEST_F(BrowserWindow, OpensEmptyAsDesignedAndResizesByTheRule) {
    Opened o = Open("");
    ASSERT_TRUE(o.hwnd);
    EXPECT_EQ(" | Combo1 | |", o.Seen());
    EXPECT_FALSE(o.form->TimerEnabled());
    EXPECT_EQ(o.edit(), GetFocus());
    // Sizable, with its icons, and no taskbar button: owned by a hidden window.
    EXPECT_TRUE(GetWindowLongA(o.hwnd, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_FALSE(GetWindowLongA(o.hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    HWND owner = GetWindow(o.hwnd, GW_OWNER);
    EXPECT_TRUE(owner && !IsWindowVisible(owner));
    EXPECT_TRUE(GetClassLongPtrA(o.hwnd, GCLP_HICON) && GetClassLongPtrA(o.hwnd, GCLP_HICONSM));
    EXPECT_EQ("&Address:", WindowText(o.form->AddressLabel()));
    EXPECT_LE(ChildRect(o.box()).bottom, 45);  // inside the strip

    // Client sizes, then the places of the address box (left, top, right), the
    // browser, the toolbar and the address strip. A length the rule (in twips,
    // 15 a pixel) would make negative keeps its last value.
    const struct {
        int cx, cy;
        const char* placed;
    } sizes[] = {
        {436, 342, "3,22,432 3,81,432,335 0,0,436,36 0,36,436,81"},  // design: 6540 x 5130
        {300, 200, "3,22,296 3,81,296,193 0,0,300,36 0,36,300,81"},
        {320, 80, "3,22,316 3,81,316,193 0,0,320,36 0,36,320,81"},  // too low for the browser
        {0, 0, "3,22,316 3,81,316,193 0,0,320,36 0,36,320,81"},     // minimised
    };
    for (const auto& s : sizes) {
        RECT frame = {0, 0, s.cx, s.cy};
        AdjustWindowRectEx(&frame, GetWindowLongA(o.hwnd, GWL_STYLE), FALSE,
                           GetWindowLongA(o.hwnd, GWL_EXSTYLE));
        if (s.cx)
            SetWindowPos(o.hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                         SWP_NOMOVE | SWP_NOZORDER);
        if (!s.cx) ShowWindow(o.hwnd, SW_MINIMIZE);
        Pump();
        ASSERT_EQ(Str({0, 0, s.cx, s.cy}), Str(ClientRect(o.hwnd)));
        EXPECT_EQ(s.placed, o.Placed());
    }
}

// At each display scale: the design client area (6540 x 5130 twips) at that
// scale, the label, and the other controls as placed above.
const struct Scale {
    int dpi;
    const char *client, *label, *placed;
} kScales[] = {
    {96, "0,0,436,342", "3,4,208,21", "3,22,432 3,81,432,335 0,0,436,36 0,36,436,81"},
    {144, "0,0,654,513", "5,6,313,32", "5,33,649 5,122,649,504 0,0,654,54 0,54,654,122"},
    {192, "0,0,872,684", "6,8,416,42", "7,44,866 7,162,866,671 0,0,872,72 0,72,872,162"},
};
std::string AtScale(const Scale& s) {
    return std::string(s.client) + " " + s.label + " " + s.placed;
}
std::string Seen(const Opened& o) {
    return Str(ClientRect(o.hwnd)) + " " + Str(ChildRect(o.form->AddressLabel())) + " " +
           o.Placed();
}

// As the main window: sized for the display it opens on (run at 150 % by
// launcher.scaled_display).
TEST_F(BrowserWindow, OpensAtTheScaleOfItsDisplay) {
    const int dpi = testkit::ScreenDpi();
    ASSERT_EQ(dpi, testkit::ExpectedDpi());
    const Scale* scale = std::find_if(std::begin(kScales), std::end(kScales),
                                      [dpi](const Scale& s) { return s.dpi == dpi; });
    ASSERT_NE(std::end(kScales), scale);
    Opened o = Open("");
    EXPECT_EQ(AtScale(*scale), Seen(o));
}

// Moved between displays of other scales: the same client area in twips at
// the position the system suggests, as the main window.
TEST_F(BrowserWindow, FollowsTheDisplayScale) {
    Opened o = Open("");
    for (const Scale* s : {&kScales[1], &kScales[2], &kScales[0]}) {
        RECT suggested = {20 + s->dpi, 30, 0, 0};  // only its position counts
        SendMessageA(o.hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(s->dpi, s->dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        Pump();
        EXPECT_EQ(AtScale(*s), Seen(o));
        RECT frame = {};
        GetWindowRect(o.hwnd, &frame);
        EXPECT_EQ(suggested.left, frame.left);
        EXPECT_EQ(suggested.top, frame.top);
    }
}

TEST_F(BrowserWindow, StartAddressIsShownListedAndNavigatedThenReplacedByTheEngineForm) {
    Opened o = Open("example.com");
    EXPECT_TRUE(PumpUntil([&] { return o.caption() == "Working..."; }));
    EXPECT_EQ("Working... | example.com | example.com | Navigate:example.com", o.Seen());
    o.script->Complete("http://example.com/", "Example Domain");
    // Both forms stand in the list, the browser's own on top and selected,
    // without a second navigation.
    EXPECT_EQ("Example Domain | http://example.com/ | *http://example.com/,example.com | " +
                  std::string("Navigate:example.com"),
              o.Seen());
    EXPECT_TRUE(o.Idle());
    EXPECT_EQ("Example Domain", o.caption());

    // The real control raises its first navigation's events inside Navigate.
    auto script = std::make_shared<Script>();
    script->nameAtOnce = "At once";
    Opened at = Open(a, script);
    EXPECT_EQ("At once | " + a + " | *" + a + " | Navigate:" + a, at.Seen());
}

// Enter navigates once: to the text as typed, or with the list open to the
// entry chosen in it, else still to the text. The box keeps what it shows.
TEST_F(BrowserWindow, EnterNavigatesOnceToTheTextOrTheChosenEntry) {
    const struct {
        bool open;
        std::string typed;
        int downs;
        std::string navigated;
    } cases[] = {
        {false, "  not an Address, really  ", 0, "  not an Address, really  "},
        {true, "zzz", 0, "zzz"},
        {true, "", 1, a},  // the list holds b, a: down to a
    };
    for (const auto& c : cases) {
        Opened o = OpenAfterAThenB();
        if (c.open) SendMessageA(o.box(), CB_SHOWDROPDOWN, TRUE, 0);
        if (!c.typed.empty()) SetWindowTextA(o.box(), "");
        TypeText(o.edit(), c.typed);
        for (int i = 0; i < c.downs; ++i) PressKey(VK_DOWN);
        EXPECT_EQ(Items{}, o.script->calls) << c.typed << ": before Enter";
        PressKey(VK_RETURN);
        EXPECT_EQ(Items{"Navigate:" + c.navigated}, o.script->calls) << c.typed;
        EXPECT_EQ(c.navigated, WindowText(o.box()));
        EXPECT_TRUE(o.form->TimerEnabled());
        browser::CloseAllBrowserWindows();
    }
}

TEST_F(BrowserWindow, ChoosingFromTheListWithTheMouseNavigatesOnceOpeningAloneNever) {
    Opened o = OpenAfterAThenB();
    auto dropped = [&] { return SendMessageA(o.box(), CB_GETDROPPEDSTATE, 0, 0) != 0; };
    RECT box = {};
    GetWindowRect(o.box(), &box);
    const POINT arrow = {box.right - 6, (box.top + box.bottom) / 2};
    testkit::Click(arrow);
    ASSERT_TRUE(PumpUntil(dropped));
    testkit::Click(arrow);
    ASSERT_TRUE(PumpUntil([&] { return !dropped(); }));
    EXPECT_EQ(Items{}, o.script->calls);

    testkit::Click(arrow);
    ASSERT_TRUE(PumpUntil(dropped));
    // The second entry of the list below the box.
    int item = static_cast<int>(SendMessageA(o.box(), CB_GETITEMHEIGHT, 0, 0));
    testkit::Click({(box.left + box.right) / 2, box.bottom + item * 3 / 2});
    PumpUntil([&] { return !dropped(); });
    EXPECT_EQ(Items{"Navigate:" + a}, o.script->calls);
    EXPECT_EQ(a, WindowText(o.box()));
}

// Each window keeps its own list: each loaded address on top, once (case
// counts), shown and selected without a navigation.
TEST_F(BrowserWindow, WindowsKeepTheirOwnListsAndCloseTheLastLoadedFirst) {
    auto log = std::make_shared<Items>();
    std::vector<Opened> opened;
    for (const char* tag : {"1", "2", "3"}) {
        auto script = std::make_shared<Script>();
        script->closeLog = log;
        script->tag = tag;
        opened.push_back(Open(std::string("http://") + tag + ".example/", script));
    }
    const std::string upper = "http://E.example/", lower = "http://e.example/";
    opened[0].script->Complete("http://1.example/", "One");
    for (const auto& url : {a, b, a, upper, lower, upper}) opened[2].script->Complete(url, "Page");
    EXPECT_EQ("One | http://1.example/ | *http://1.example/ | Navigate:http://1.example/",
              opened[0].Seen());
    EXPECT_EQ("Page | " + upper + " | *" + upper + "," + lower + "," + a + "," + b +
                  ",http://3.example/ | Navigate:http://3.example/",
              opened[2].Seen());
    EXPECT_EQ((std::vector<HWND>{opened[0].hwnd, opened[1].hwnd, opened[2].hwnd}),
              FrmBrowser::OpenWindows());

    // One closed by the user in between, then all.
    SendMessageA(opened[1].hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(Items{"2"}, *log);
    browser::CloseAllBrowserWindows();
    EXPECT_EQ((Items{"2", "3", "1"}), *log);
}

// Each button shows its picture (24 x 24, light grey transparent) and its
// key as tooltip, calls its operation and starts the timer, which shows
// "Working..." while the engine is busy and the page name once it is not.
// Stop shows the page name at once and ends the timer.
TEST_F(BrowserWindow, ToolbarButtonsCallTheirOperationsAndTheTimerFollowsTheEngine) {
    Opened o = Open("");
    o.script->results["GoBack"] = E_FAIL;  // as the control answers with no earlier page
    o.script->Complete(a, "Page A");
    HWND tb = o.form->ToolBar();
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(tb, TB_GETIMAGELIST, 0, 0));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy) && cx == 24 && cy == 24);
    scoped::MemoryDC canvas(CreateCompatibleDC(nullptr));
    scoped::GdiObject picture(CreateBitmap(24, 24, 1, 32, nullptr));
    scoped::Selection drawing(canvas.get(), picture.get());
    const HDC dc = canvas.get();
    const struct {
        int button;
        const char *key, *call;
    } cases[] = {{kForward, "Forward", "GoForward"}, {kRefresh, "Refresh", "Refresh"},
                 {kHome, "Home", "GoHome"},          {kSearch, "Search", "GoSearch"},
                 {kBack, "Back", "GoBack"},          {kStop, "Stop", "Stop"}};
    for (const auto& c : cases) {
        TBBUTTON button = {};
        SendMessageA(tb, TB_GETBUTTON, c.button, reinterpret_cast<LPARAM>(&button));
        NMTTDISPINFOA tip = {};  // the tooltip asks the window for its text
        tip.hdr = {nullptr, static_cast<UINT_PTR>(button.idCommand),
                   static_cast<UINT>(TTN_GETDISPINFOA)};
        SendMessageA(o.hwnd, WM_NOTIFY, button.idCommand, reinterpret_cast<LPARAM>(&tip));
        EXPECT_STREQ(c.key, tip.lpszText ? tip.lpszText : "");
        EXPECT_EQ(c.button, button.iBitmap) << c.key;
        // Drawn on white: white in the corner, the picture elsewhere.
        PatBlt(dc, 0, 0, 24, 24, WHITENESS);
        ImageList_Draw(images, button.iBitmap, dc, 0, 0, ILD_TRANSPARENT);
        int drawn = 0;
        for (int p = 0; p < 24 * 24; ++p) drawn += GetPixel(dc, p % 24, p / 24) != 0xFFFFFF;
        EXPECT_TRUE(GetPixel(dc, 0, 0) == 0xFFFFFF && drawn > 100) << c.key << " " << drawn;

        o.script->calls.clear();
        o.script->busy = c.button == kStop;  // Stop ends a page still loading
        SetWindowTextA(o.hwnd, "something else");
        RECT r = {};
        SendMessageA(tb, TB_GETITEMRECT, c.button, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(tb, nullptr, reinterpret_cast<POINT*>(&r), 2);
        testkit::Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        Pump();
        EXPECT_EQ(Items{c.call}, o.script->calls);
        EXPECT_TRUE(c.button != kStop || !o.form->TimerEnabled());
        if (o.script->busy) {
            EXPECT_TRUE(PumpUntil([&] { return o.caption() == "Working..."; })) << c.call;
            o.script->Complete(a, "Page A");
        }
        EXPECT_TRUE(c.button == kStop || o.Idle()) << c.call;
        EXPECT_EQ("Page A", o.caption()) << c.call;
    }
}

TEST_F(BrowserWindow, FailingEngineStepsAreSkipped) {
    auto script = std::make_shared<Script>();
    for (const char* op : {"Navigate", "Busy", "LocationName", "LocationURL"})
        script->results[op] = E_FAIL;
    Opened o = Open(a, script);
    ASSERT_TRUE(o.hwnd);
    SetWindowTextA(o.hwnd, "kept");
    // The list is not left updating: Enter still navigates. An engine that
    // cannot say whether it is busy counts as idle.
    script->Complete(b, "B");
    PressKey(VK_RETURN);
    EXPECT_TRUE(o.Idle());
    EXPECT_EQ("kept | " + a + " | *" + a + " | Navigate:" + a + " Navigate:" + a, o.Seen());

    // Without its engine's view the window still opens, and Tab stays in the box.
    auto viewless = std::make_shared<Script>();
    viewless->results["Create"] = E_FAIL;
    Opened v = Open(a, viewless);
    ASSERT_TRUE(v.hwnd);
    EXPECT_TRUE(IsWindowVisible(v.hwnd));
    EXPECT_EQ(Items{"Navigate:" + a}, viewless->calls);
    PressKey(VK_TAB);
    EXPECT_EQ(v.edit(), GetFocus());
}

// Alt+A goes to the address box, Tab round the box and the page. The engine
// sees key-downs aimed at its view first: what it takes is not dispatched,
// what it leaves is; keys in the box are not offered to it.
TEST_F(BrowserWindow, KeyboardAltATabAndTheEnginesAccelerators) {
    Opened o = Open("");
    o.script->acceleratorKeys = {'Y'};
    HWND edit = o.edit(), view = o.script->view;
    ASSERT_EQ(edit, GetFocus());
    const struct {
        UINT key;
        bool alt;
        HWND focus;
    } steps[] = {{VK_TAB, false, view}, {'Y', false, view},    {'X', false, view},
                 {'A', true, edit},     {VK_TAB, false, view}, {VK_TAB, false, edit},
                 {'Y', false, edit}};
    for (const auto& s : steps) {
        PressKey(s.key, s.alt);
        EXPECT_EQ(s.focus, GetFocus()) << s.key;
    }
    EXPECT_EQ((std::vector<WPARAM>{'Y', 'X', VK_TAB}), o.script->offeredKeys);
    EXPECT_EQ("x", WindowText(view));
}

}  // namespace

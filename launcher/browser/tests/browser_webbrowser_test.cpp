// The shipped engine: the system's WebBrowser control is created inside the
// browser window and placed, Navigate reaches it, its DownloadComplete sets
// the caption, and closing the window releases it, also from inside one of
// the control's own calls.
// (This Wine has no HTML engine: every navigation ends in a navigation
// error, NavigateComplete2 never comes and LocationName is empty.)
#include <gtest/gtest.h>

#include <memory>

#include "BrowserForm.h"
#include "BrowserTestKit.h"
#include "BrowserWindow.h"

using namespace browsertest;
using browser::FrmBrowser;

namespace {

// Passes everything through to the real engine and notes what goes by.
struct Log {
    std::vector<std::string> calls;  // "Navigate:<address>=<hr>"
    int downloadCompletes = 0;
    std::vector<std::string> captionsAfterDownloadComplete;
    bool closeOnDownloadComplete = false;  // the user closes the window then
};

class RecordingEngine : public browser::Engine, private browser::EngineEvents {
public:
    RecordingEngine(std::unique_ptr<browser::Engine> inner, std::shared_ptr<Log> log)
        : inner_(std::move(inner)), log_(std::move(log)) {}

    HRESULT Create(HWND parent, const RECT& rect, browser::EngineEvents* events) override {
        form_ = parent;
        outer_ = events;
        return inner_->Create(parent, rect, this);
    }
    HRESULT SetRect(const RECT& rect) override { return inner_->SetRect(rect); }
    HWND Window() const override { return inner_->Window(); }
    void Focus() override { inner_->Focus(); }
    HRESULT TranslateAccelerator(MSG* msg) override { return inner_->TranslateAccelerator(msg); }
    void Close() override {
        outer_ = nullptr;
        inner_->Close();
    }
    HRESULT Navigate(const std::string& address) override {
        HRESULT hr = inner_->Navigate(address);
        char text[16];
        wsprintfA(text, "%08lX", static_cast<unsigned long>(hr));
        log_->calls.push_back("Navigate:" + address + "=" + text);
        return hr;
    }
    HRESULT GoBack() override { return inner_->GoBack(); }
    HRESULT GoForward() override { return inner_->GoForward(); }
    HRESULT GoHome() override { return inner_->GoHome(); }
    HRESULT GoSearch() override { return inner_->GoSearch(); }
    HRESULT Refresh() override { return inner_->Refresh(); }
    HRESULT Stop() override { return inner_->Stop(); }
    HRESULT Busy(bool* busy) override { return inner_->Busy(busy); }
    HRESULT LocationName(std::string* name) override { return inner_->LocationName(name); }
    HRESULT LocationURL(std::string* url) override { return inner_->LocationURL(url); }

private:
    void Engine_DownloadComplete() override {
        ++log_->downloadCompletes;
        if (!outer_) return;
        if (log_->closeOnDownloadComplete) {
            DestroyWindow(form_);
            return;
        }
        // The caption must come from the window's handler, nothing else.
        SetWindowTextA(form_, "before DownloadComplete");
        outer_->Engine_DownloadComplete();
        log_->captionsAfterDownloadComplete.push_back(Text(form_));
    }
    void Engine_NavigateComplete2() override {
        if (outer_) outer_->Engine_NavigateComplete2();
    }

    std::unique_ptr<browser::Engine> inner_;
    std::shared_ptr<Log> log_;
    browser::EngineEvents* outer_ = nullptr;
    HWND form_ = nullptr;
};

TEST(WebBrowserControl, IsHostedPlacedNavigatedAndReleased) {
    auto log = std::make_shared<Log>();
    HWND hwnd = FrmBrowser::Open(GetModuleHandleA(nullptr), "about:blank",
                                 std::unique_ptr<browser::Engine>(
                                     new RecordingEngine(browser::CreateWebBrowserEngine(), log)));
    ASSERT_TRUE(hwnd);
    FrmBrowser* form = FrmBrowser::FromWindow(hwnd);
    ASSERT_TRUE(form);
    HWND host = form->BrowserEngine()->Window();
    ASSERT_TRUE(host);
    EXPECT_GT(browser::WebBrowserEngineLiveObjects(), 0);

    // Placed by the window's rules: left 50, top 1215 twips, the rest of the
    // window less 100 twips each way.
    RECT place = ChildRect(host);
    EXPECT_EQ(3, place.left);
    EXPECT_EQ(81, place.top);
    EXPECT_EQ(429, place.right - place.left);
    EXPECT_EQ(254, place.bottom - place.top);
    // The control's own window fills it.
    HWND control = GetWindow(host, GW_CHILD);
    ASSERT_TRUE(control);
    EXPECT_TRUE(IsWindowVisible(control));
    RECT rc = ChildRect(control);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);
    EXPECT_EQ(429, rc.right);
    EXPECT_EQ(254, rc.bottom);

    // The start address reached the control and was accepted; its first
    // navigation raised DownloadComplete inside the call.
    ASSERT_EQ(1u, log->calls.size());
    EXPECT_EQ("Navigate:about:blank=00000000", log->calls[0]);
    EXPECT_GE(log->downloadCompletes, 1);

    // A second navigation, typed in the address box: its events come later.
    int before = log->downloadCompletes;
    HWND box = form->AddressBox();
    SetWindowTextA(box, "about:blank");
    PressKey(EditOf(box), VK_RETURN);
    ASSERT_EQ(2u, log->calls.size());
    EXPECT_EQ("Navigate:about:blank=00000000", log->calls[1]);
    EXPECT_TRUE(PumpUntil([&] { return log->downloadCompletes > before; }));
    // DownloadComplete set the caption to LocationName (empty here).
    ASSERT_FALSE(log->captionsAfterDownloadComplete.empty());
    EXPECT_EQ("", log->captionsAfterDownloadComplete.back());
    // The busy timer ends once the control is idle.
    EXPECT_TRUE(PumpUntil([&] { return !form->TimerEnabled(); }));

    // The toolbar's operations reach the control, which here has no history
    // and no search page to go to.
    browser::Engine* engine = form->BrowserEngine();
    EXPECT_EQ(E_FAIL, engine->GoBack());
    EXPECT_EQ(E_FAIL, engine->GoForward());
    EXPECT_EQ(E_NOTIMPL, engine->GoSearch());
    EXPECT_EQ(S_OK, engine->Stop());

    // Resizing the window resizes the control with its host.
    SetWindowPos(hwnd, nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT hostClient = {};
    GetClientRect(host, &hostClient);
    rc = ChildRect(control);
    EXPECT_EQ(hostClient.right, rc.right);
    EXPECT_EQ(hostClient.bottom, rc.bottom);
    EXPECT_EQ(ClientSize(hwnd).cx - 7, hostClient.right);

    // Tab takes the focus into the page.
    SetFocus(EditOf(box));
    PressKey(EditOf(box), VK_TAB);
    HWND focus = GetFocus();
    EXPECT_TRUE(focus == host || IsChild(host, focus));

    // Closing takes the control down and it lets go of every object of ours.
    browser::CloseAllBrowserWindows();
    Pump();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(0, browser::WebBrowserEngineLiveObjects());
    EXPECT_TRUE(FrmBrowser::OpenWindows().empty());
}

// The first navigation raises its events inside Navigate: a window closed
// from there takes the control down while the control is still in that call.
TEST(WebBrowserControl, WindowClosedInsideTheControlsOwnCallGoesCleanly) {
    auto log = std::make_shared<Log>();
    log->closeOnDownloadComplete = true;
    HWND hwnd = FrmBrowser::Open(GetModuleHandleA(nullptr), "about:blank",
                                 std::unique_ptr<browser::Engine>(
                                     new RecordingEngine(browser::CreateWebBrowserEngine(), log)));
    EXPECT_EQ(nullptr, hwnd);
    ASSERT_GE(log->downloadCompletes, 1);
    ASSERT_EQ(1u, log->calls.size());
    EXPECT_EQ("Navigate:about:blank=00000000", log->calls[0]);
    Pump();
    EXPECT_TRUE(FrmBrowser::OpenWindows().empty());
    EXPECT_EQ(0, browser::WebBrowserEngineLiveObjects());
    // Another window still hosts the control.
    HWND next = browser::ShowBrowserWindow(GetModuleHandleA(nullptr), "about:blank");
    ASSERT_TRUE(next);
    EXPECT_TRUE(FrmBrowser::FromWindow(next)->BrowserEngine()->Window());
    browser::CloseAllBrowserWindows();
    EXPECT_EQ(0, browser::WebBrowserEngineLiveObjects());
}

}  // namespace

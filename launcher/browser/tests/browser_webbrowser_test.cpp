// The shipped engine: the system's WebBrowser control hosted in the browser
// window. (This Wine has no HTML engine: every navigation ends in an error,
// NavigateComplete2 never comes and LocationName is empty.)
#include <gtest/gtest.h>

#include <memory>

#include "BrowserForm.h"
#include "BrowserTestKit.h"

using namespace browsertest;
using browser::FrmBrowser;

namespace {

// What went by the recording engine.
struct Log {
    int downloadCompletes = 0;
    std::string captionAfterDownloadComplete = "(none)";
    bool closeOnDownloadComplete = false;  // the user closes the window then
} seen;

// Passes everything through to the real engine and notes what goes by.
class RecordingEngine : public browser::Engine, private browser::EngineEvents {
public:
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
    HRESULT Navigate(const std::string& address) override { return inner_->Navigate(address); }
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
        ++seen.downloadCompletes;
        if (outer_ && seen.closeOnDownloadComplete) {
            DestroyWindow(form_);
        } else if (outer_) {
            // The caption must come from the window's handler, nothing else.
            SetWindowTextA(form_, "before DownloadComplete");
            outer_->Engine_DownloadComplete();
            seen.captionAfterDownloadComplete = WindowText(form_);
        }
    }
    void Engine_NavigateComplete2() override {
        if (outer_) outer_->Engine_NavigateComplete2();
    }

    std::unique_ptr<browser::Engine> inner_ = browser::CreateWebBrowserEngine();
    browser::EngineEvents* outer_ = nullptr;
    HWND form_ = nullptr;
};

HWND OpenOnAboutBlank() {
    return FrmBrowser::Open(GetModuleHandleA(nullptr), "about:blank",
                            std::unique_ptr<browser::Engine>(new RecordingEngine));
}

// The first navigation raises its events inside Navigate: a window closed
// from there takes the control down while the control is still in that call.
// The next window hosts the control anew; it is placed, navigated, resized,
// and released when the window closes.
TEST(WebBrowserControl, IsHostedPlacedNavigatedAndReleasedAlsoFromInsideItsOwnCall) {
    seen.closeOnDownloadComplete = true;
    EXPECT_EQ(nullptr, OpenOnAboutBlank());  // closed by DownloadComplete alone
    Pump();
    EXPECT_TRUE(FrmBrowser::OpenWindows().empty());
    EXPECT_EQ(0, browser::WebBrowserEngineLiveObjects());

    seen = Log{};
    HWND hwnd = OpenOnAboutBlank();
    FrmBrowser* form = FrmBrowser::FromWindow(hwnd);
    ASSERT_TRUE(form);
    HWND host = form->BrowserEngine()->Window(), control = GetWindow(host, GW_CHILD);
    ASSERT_TRUE(control);
    EXPECT_GT(browser::WebBrowserEngineLiveObjects(), 0);
    // Placed by the window's rules (left 50, top 1215 twips, the rest of the
    // window less 100 twips each way); the control's own window fills it.
    EXPECT_EQ("3,81,432,335", Str(ChildRect(host)));
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_EQ("0,0,429,254", Str(ChildRect(control)));

    // A navigation typed in the address box: its events come later, and
    // DownloadComplete sets the caption to LocationName (empty here).
    int before = seen.downloadCompletes;
    HWND box = form->AddressBox(), edit = GetWindow(box, GW_CHILD);
    SetWindowTextA(box, "about:blank");
    SetFocus(edit);
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return seen.downloadCompletes > before; }));
    EXPECT_EQ("", seen.captionAfterDownloadComplete);
    // The busy timer ends once the control is idle.
    EXPECT_TRUE(PumpUntil([&] { return !form->TimerEnabled(); }));
    // The toolbar's operations reach the control (else E_FAIL).
    EXPECT_EQ(S_OK, form->BrowserEngine()->Stop());

    // Resizing the window resizes the control with its host.
    SetWindowPos(hwnd, nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(ClientRect(hwnd).right - 7, ClientRect(host).right);
    EXPECT_EQ(Str(ClientRect(host)), Str(ChildRect(control)));

    // Tab takes the focus into the page.
    SetFocus(edit);
    PressKey(VK_TAB);
    EXPECT_TRUE(GetFocus() == host || IsChild(host, GetFocus()));

    // Closing takes the control down and it lets go of every object of ours.
    browser::CloseAllBrowserWindows();
    Pump();
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(0, browser::WebBrowserEngineLiveObjects());
    // OLE stays started for the next window: the thread is still an STA.
    EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
}

}  // namespace

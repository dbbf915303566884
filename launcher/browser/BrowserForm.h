// frmBrowser: the launcher's small web browser window with its toolbar,
// address strip, busy timer and browser engine. BrowserWindow.h is the
// launcher's way in; this header is for the window's own files and tests.
// Its files: BrowserForm.cpp (the window and its handlers), BrowserKeyboard.cpp,
// BrowserFormLayout.cpp (sizes, docking and the display scale),
// BrowserAddressBox.cpp (cboAddress), BrowserToolBar.cpp (tbToolBar) and
// BrowserWindowList.cpp (the open windows, their hidden owner, the cascade).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "BrowserEngine.h"
#include "BrowserToolBar.h"
#include "Scoped.h"

namespace browser {

class FrmBrowser final : private EngineEvents {
public:
    // Creates a window on engine, sets its StartingAddress and shows it
    // modeless, running Form_Load. The window owns itself from then on and
    // is gone when it is closed. Returns nullptr if it could not be created.
    static HWND Open(HINSTANCE instance, const std::string& startingAddress,
                     std::unique_ptr<Engine> engine);

    // The browser window that hwnd is, or nullptr.
    static FrmBrowser* FromWindow(HWND hwnd);
    // The open browser windows, the first loaded first.
    static std::vector<HWND> OpenWindows();

    // Gives the window of msg's target the first look at a keyboard message.
    static bool PreTranslate(MSG* msg);

    HWND AddressBox() const { return cboAddress; }
    HWND AddressLabel() const { return lblAddress; }
    HWND AddressStrip() const { return picAddress; }
    HWND ToolBar() const { return tbToolBar; }
    Engine* BrowserEngine() const { return brwWebBrowser.get(); }
    bool TimerEnabled() const { return timTimerEnabled_; }
    bool ListUpdating() const { return mbListUpdating; }

    ~FrmBrowser();
    FrmBrowser(const FrmBrowser&) = delete;
    FrmBrowser& operator=(const FrmBrowser&) = delete;

private:
    // Keeps the object alive while one of its handlers runs, even if the
    // window is destroyed inside it (a close from a nested message loop).
    class CallScope {
    public:
        explicit CallScope(FrmBrowser* form) : form_(form) { ++form_->callDepth_; }
        ~CallScope() {
            if (--form_->callDepth_ == 0 && form_->windowGone_ && form_->ownedByWindow_)
                delete form_;
        }
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

    private:
        FrmBrowser* form_;
    };
    struct TwipsRect {
        float left, top, width, height;
    };

    FrmBrowser(std::unique_ptr<Engine> engine, const std::string& startingAddress);

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK StripProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK AddressEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR data);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool PreTranslateMessage(MSG* msg);

    // Window construction (WM_CREATE), controls in creation order.
    bool CreateControls();
    bool CreateAddressBox(HINSTANCE instance, HGDIOBJ font);
    void ReleaseAddressBox();

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    void Form_DpiChanged(int dpi, const RECT* suggested);
    void cboAddress_Click();
    void cboAddress_KeyPress(int keyAscii);
    void cboAddress_ListChoice();
    void tbToolBar_ButtonClick(const std::string& key);
    void timTimer_Timer();
    void brwWebBrowser_DownloadComplete();
    void brwWebBrowser_NavigateComplete2();
    void Engine_DownloadComplete() override;
    void Engine_NavigateComplete2() override;
    void RaisePageEvent(void (FrmBrowser::*handler)());

    // Properties of the controls.
    void SetCaption(const std::string& text);
    bool SetCaptionToLocationName();
    void SetTimerEnabled(bool enabled);
    std::string AddressText() const;
    void SetAddressText(const std::string& text);
    int AddressListCount() const;
    std::string AddressListItem(int index) const;
    bool AddressAddItem(const std::string& text, int index = -1);
    bool AddressRemoveItem(int index);
    bool SetAddressListIndex(int index);
    bool MoveAddressBox();
    bool MoveBrowser();
    void DockBars();
    // Takes a new display scale: twips per pixel, the font, the label's
    // place. The callers size the window (Form_DpiChanged, FitToMonitor);
    // the other controls follow it through WM_SIZE.
    void ApplyDpi(int dpi);
    void FitToMonitor();
    float ScaleWidth() const;
    float ScaleHeight() const;
    int Pixels(float twips) const;
    void FocusAddressBox();

    std::unique_ptr<Engine> brwWebBrowser;
    std::string StartingAddress;
    bool mbListUpdating = false;

    HWND hwnd_ = nullptr;
    HWND picAddress = nullptr;
    HWND cboAddress = nullptr;
    HWND lblAddress = nullptr;
    HWND tbToolBar = nullptr;
    HWND lastFocus_ = nullptr;
    bool timTimerEnabled_ = false;
    bool listOpenAtEnter_ = false;      // the list was open at the last Enter
    bool listChoiceNavigated_ = false;  // a list choice navigated since then
    float twipsPerPixel_ = 15.0f;
    TwipsRect cboRect_;
    TwipsRect brwRect_;
    TwipsRect picRect_;
    scoped::GdiObject font_;
    toolbar::ImageList imlToolbarIcons;

    // Lifetime: the window owns the object once Open succeeds; it is deleted
    // when the window is gone and no handler of it is still running.
    bool ownedByWindow_ = false;
    bool windowGone_ = false;
    int callDepth_ = 0;
};

// The text of a window or control.
std::string WindowText(HWND hwnd);
// Whether hwnd is parent or one of its children (false for null).
bool IsSelfOrChild(HWND parent, HWND hwnd);

}  // namespace browser

// frmMain, the launcher's one main window: a fixed picture with the button
// panel, the product poll, the seven commands and the settings written on
// close. All of the launcher's state lives here.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Layout.h"
#include "PanelAccessible.h"
#include "Scoped.h"
#include "Services.h"

namespace launcher {

// Registry key (below HKEY_CURRENT_USER) of the window rectangle written on
// close: the publisher's key holds the settings of its applications.
extern const char kSettingsKey[];
// The product's open command under HKEY_CLASSES_ROOT.
extern const char kProductCommandKey[];

struct Options {
    // Detection profile; only "KestrixBasic" is known.
    std::string ProductName = "KestrixBasic";
    // Ends the message loop when the window is destroyed (off in tests that
    // pump messages themselves).
    bool quitWhenClosed = true;
};

// What the window holds, under the names the rest of the launcher uses.
struct LauncherState {
    std::string RunPath;
    std::string SetupPath;
    std::string WorkFolder;
    std::string Program2, Program3, Program4;
    std::string WebSiteAddress, CatalogueAddress, UninstallKeyName;
    int InstalledState = 0;
    short HotButton = 0;
};

class frmMain {
public:
    static const char kClassName[];
    static const char kCaption[];
    // Posted to the window to press button wParam (1..7) as a click would.
    static constexpr UINT kPressButtonMessage = WM_APP + 1;

    frmMain(HINSTANCE instance, Services& services, Options options = Options());
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Start-up: creates the window without showing it and runs Form_Load.
    // Returns false when the window could not be created.
    bool Load();
    // Shows the loaded window, modeless, with a ShowWindow command.
    void Show(int showCommand = SW_SHOWNORMAL);
    HWND hwnd() const { return hwnd_; }

    // Public operations.
    static std::string GetSettingString(HKEY hKey, const std::string& strPath,
                                        const std::string& strValue,
                                        const std::string& Default = std::string());
    void DoButtonHighlight(short Index);
    void DoSound(const std::string& Sound);
    std::string DetermineIf_KestrixBasic_IsInstalled(const std::string& path);
    std::string DetermineIfInstalled(const std::string& path);
    void ToggleInstallRunButton();

    // Events.
    void Form_Load();
    void Form_Unload();
    void MainTimer_Timer();
    void MyButton_MouseMove(short Index);
    void ButtonRegion_MouseMove(short Index);
    void Picture2_MouseMove();
    void ButtonRegion_Click(short Index);
    void MyButton_Click(short Index);

    // What is shown, for painting and for tests.
    const LauncherState& state() const { return state_; }
    bool BulletLit(int index) const;
    bool Button1ShowsRun() const { return button1Run_; }
    layout::Rect Region1() const;
    int Dpi() const { return dpi_; }
    HWND Tooltip() const { return tooltip_; }
    // The panel for screen readers: a button's name (the caption its
    // picture shows, from the string table), its hotspot in client pixels,
    // and the button under a client point (0 for the free background, -1
    // outside the picture).
    std::string ButtonName(int index) const;
    RECT ButtonClientRect(int index) const;
    int ButtonAt(int clientX, int clientY) const;
    // What has the keyboard focus: the lit button (1..7), 0 for the panel
    // with none lit, -1 while the window itself has not got it.
    int FocusedChild() const;

private:
    // Posted by Form_Load: the work the first paint does not wait for.
    static constexpr UINT kShownMessage = WM_APP + 2;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void LoadPictures();
    void CreateTooltips();
    void ApplyDpi(int dpi, const RECT* suggested);
    void SetBulletPicture(int index, bool lit);
    void SetButton1Picture(bool run);
    layout::Rect RegionOf(int index) const;
    template <typename F>
    void ForEachTool(F f) const;
    void MoveTools();
    void InvalidateDesignRect(const layout::Rect& r);
    RECT ToClient(const layout::Rect& r) const;
    int ControlAt(int clientX, int clientY) const;
    void OnMouseMove(int clientX, int clientY);
    void OnButtonDown(int clientX, int clientY);
    void OnButtonUp(int clientX, int clientY);
    // The keyboard: arrows, Tab, Home and End light a button in the
    // panel's order; Enter and Space run the lit one, once per press
    // (repeated is the key's auto-repeat).
    bool OnKeyDown(UINT vk, bool repeated);
    // Raises the focus event when FocusedChild has changed since it was
    // last raised, so that a screen reader follows the keys and the mouse.
    void AnnounceFocus();
    bool OnSetCursor();
    // Pictures of one size: the design-size set and, once a scaled display
    // asks for it, the double set.
    struct PictureSet {
        scoped::GdiObject picture2, button, buttonHot, instKX, runKX;
    };
    void LoadDoublePictures();
    const PictureSet& PicturesFor(int artScale) const;
    // Draws the window's picture at artScale times the design size.
    void Render(HDC dc, int artScale) const;
    void Paint();
    void RunProduct();
    void WriteWindowRectangle();

    HINSTANCE instance_;
    Services& services_;
    Options options_;
    LauncherState state_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;  // owned by hwnd_, destroyed with it
    PictureSet pictures_, doublePictures_;
    bool doubleLoaded_ = false;
    bool bulletLit_[layout::kButtonCount + 1] = {};
    bool button1Run_ = false;
    int dpi_ = 96;
    int pressed_ = 0;  // control id under the pressed left button, 0 for none
    bool unloaded_ = false;
    int announcedFocus_ = -1;  // FocusedChild when AnnounceFocus last looked
    std::string startFolder_;  // the folder current at load: the CD's root
    // Made on the first WM_GETOBJECT, with COM for this thread (screen
    // readers reach the object through it); cut from the window when it goes.
    std::unique_ptr<scoped::ComApartment> apartment_;
    scoped::ComPtr<PanelAccessible> accessible_;
};

}  // namespace launcher

// frmMain, the launcher's one main window: a fixed picture with the button
// panel, the product poll, the seven commands and the settings written on
// close. All of the launcher's state lives here, the panel's in its panel_.
#pragma once

#include <windows.h>

#include <string>

#include "DiscCheck.h"
#include "Panel.h"
#include "Services.h"
#include "UiLanguage.h"

namespace launcher {

// Registry key (below HKEY_CURRENT_USER) of the window rectangle written on
// close: the publisher's key holds the settings of its applications.
extern const char kSettingsKey[];
// The product's open command under HKEY_CLASSES_ROOT.
extern const char kProductCommandKey[];
// Both, and the caption (kCaption), are the built-in values of the demo
// product: an image's own (IDS_SETTINGSKEY, IDS_PRODUCTKEY, IDS_CAPTION)
// take their place.

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
};

// The panel's events are the form's: it raises them through PanelEvents.
class frmMain : private PanelEvents {
public:
    static const char kClassName[];
    static const wchar_t kClassNameW[];  // the same, for the wide calls
    static const char kCaption[];

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
    void DoSound(const std::string& Sound) override;
    std::string DetermineIf_KestrixBasic_IsInstalled(const std::string& path);
    std::string DetermineIfInstalled(const std::string& path);
    void ToggleInstallRunButton();

    // Events.
    void Form_Load();
    void Form_Unload();
    void MainTimer_Timer();
    void MyButton_MouseMove(short Index) override;
    void ButtonRegion_MouseMove(short Index) override;
    void Picture2_MouseMove() override;
    void ButtonRegion_Click(short Index) override;
    void MyButton_Click(short Index) override;

    // What is held and shown, for tests.
    const LauncherState& state() const { return state_; }
    short HotButton() const { return panel_.HotButton(); }
    const Panel& panel() const { return panel_; }
    // What names the disc's product: the caption of the chosen language and
    // the open-command key (empty when it has no ANSI form).
    const std::wstring& caption() const { return caption_; }
    const std::string& productKey() const { return productKey_; }

private:
    // Posted by Form_Load: the work the first paint does not wait for.
    static constexpr UINT kShownMessage = WM_APP + 2;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void RunProduct();
    void StartFromDisc(const std::string& command);
    void WriteWindowRectangle();

    HINSTANCE instance_;
    Services& services_;
    Options options_;
    LauncherState state_;
    HWND hwnd_ = nullptr;
    bool unloaded_ = false;
    std::wstring startFolder_;   // the folder current at load: the CD's root
    disccheck::SetupDat setupDat_;  // the bytes its fields came from
    // The user's language and what the image gives in it (or its defaults);
    // the keys in the ANSI code page, empty when they have no form there.
    UiLanguage ui_;
    std::wstring caption_;
    std::string productKey_, settingsKey_;
    // The bullets, hotspots, pictures and tooltips, and the lit button.
    Panel panel_;
};

}  // namespace launcher

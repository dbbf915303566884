// The main window's button panel: seven bullets, each with its hotspot,
// over the background picture. The panel lights the button under the mouse
// or chosen by the keys, keeps a tooltip on every bullet and hotspot, shows
// button 1's install or run picture, paints the window at its display's
// scale and answers screen readers. It owns no window: it draws into and
// listens on its form's, and the form's commands and sounds are reached
// through PanelEvents.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Layout.h"
#include "PanelAccessible.h"
#include "Scoped.h"
#include "UiLanguage.h"

namespace launcher {

// What the panel raises on its form, under the names of its controls'
// events, and the sound it plays through the form.
class PanelEvents {
public:
    virtual void MyButton_MouseMove(short Index) = 0;
    virtual void ButtonRegion_MouseMove(short Index) = 0;
    virtual void Picture2_MouseMove() = 0;
    virtual void ButtonRegion_Click(short Index) = 0;
    virtual void MyButton_Click(short Index) = 0;
    virtual void DoSound(const std::string& Sound) = 0;

protected:
    ~PanelEvents() = default;
};

class Panel {
public:
    // Posted to the panel's window to press button wParam (1..7) as a click
    // would (OnPressButton).
    static constexpr UINT kPressButtonMessage = WM_APP + 1;

    // name: what screen readers call the panel as a whole; ui: the texts
    // and pictures of the user's language, which outlives the panel.
    Panel(HINSTANCE instance, PanelEvents& events, const UiLanguage& ui, std::wstring name);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // Before the window exists: the design-size pictures.
    void LoadPictures();
    // The window the panel fills, from its first message to its last;
    // Detach also cuts the screen readers' object from it.
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    void Detach();
    HWND hwnd() const { return hwnd_; }
    // Sizes the window to the panel at dpi (its position from suggested
    // when given) and moves the tooltips with it.
    void ApplyDpi(int dpi, const RECT* suggested);
    void CreateTooltips();

    // Lights button Index (1..7) and darkens the others, with the sound;
    // nothing when it is lit already.
    void DoButtonHighlight(short Index);
    // Darkens every bullet, silently; nothing when none is lit.
    void DarkenAll();
    // Button 1's hotspot shows the run picture (true) or the install one.
    void SetButton1Picture(bool run);

    // The window's input and painting, as its form hands them on.
    void Paint();
    void OnMouseMove(int clientX, int clientY);
    void OnButtonDown(int clientX, int clientY);
    void OnButtonUp(int clientX, int clientY);
    void OnCaptureChanged(HWND newCapture);
    // The keyboard: arrows, Tab, Home and End light a button in the
    // panel's order; Enter and Space run the lit one, once per press
    // (repeated is the key's auto-repeat). False for other keys.
    bool OnKeyDown(UINT vk, bool repeated);
    void OnPressButton(WPARAM index);
    // The hand over what can be clicked; false to leave the class's arrow.
    bool OnSetCursor();
    // Raises the focus event when FocusedChild has changed since it was
    // last raised, so that a screen reader follows the keys and the mouse.
    void AnnounceFocus();
    void OnKillFocus() { announcedFocus_ = -1; }  // the window that takes it tells
    // WM_GETOBJECT: the screen readers' object, made on the first question
    // with COM for this thread; 0 when not answered.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

    // What is shown, for screen readers and for tests. HotButton: the lit
    // button, -1 for none, 0 before the mouse first met the panel.
    short HotButton() const { return HotButton_; }
    bool BulletLit(int index) const;
    bool Button1ShowsRun() const { return button1Run_; }
    layout::Rect Region1() const;
    HWND Tooltip() const { return tooltip_; }
    const std::wstring& Name() const { return name_; }
    // A button's name (the caption its picture shows, from the string
    // table) and its hotspot's tip, its hotspot in client pixels, and the
    // button under a client point (0 for the free background, -1 outside
    // the picture).
    std::wstring ButtonName(int index) const;
    std::wstring RegionTip(int index) const;
    RECT ButtonClientRect(int index) const;
    int ButtonAt(int clientX, int clientY) const;
    // What has the keyboard focus: the lit button (1..7), 0 for the panel
    // with none lit, -1 while the window itself has not got it.
    int FocusedChild() const;

private:
    // Pictures of one size: the design-size set and, once a scaled display
    // asks for it, the double set.
    struct PictureSet {
        scoped::GdiObject picture2, button, buttonHot, instKX, runKX;
    };
    void LoadDoublePictures();
    const PictureSet& PicturesFor(int artScale) const;
    // Draws the window's picture at artScale times the design size.
    void Render(HDC dc, int artScale) const;
    void SetBulletPicture(int index, bool lit);
    layout::Rect RegionOf(int index) const;
    template <typename F>
    void ForEachTool(F f) const;
    void MoveTools();
    void InvalidateDesignRect(const layout::Rect& r);
    RECT ToClient(const layout::Rect& r) const;
    int ControlAt(int clientX, int clientY) const;

    HINSTANCE instance_;
    PanelEvents& events_;
    const UiLanguage& ui_;
    std::wstring name_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;  // owned by hwnd_, destroyed with it
    PictureSet pictures_, doublePictures_;
    bool doubleLoaded_ = false;
    short HotButton_ = 0;
    bool bulletLit_[layout::kButtonCount + 1] = {};
    bool button1Run_ = false;
    int dpi_ = 96;
    int pressed_ = 0;          // control id under the pressed left button, 0 for none
    int announcedFocus_ = -1;  // FocusedChild when AnnounceFocus last looked
    // Made on the first WM_GETOBJECT, with COM for this thread (screen
    // readers reach the object through it); cut from the window when it goes.
    std::unique_ptr<scoped::ComApartment> apartment_;
    scoped::ComPtr<PanelAccessible> accessible_;
};

}  // namespace launcher

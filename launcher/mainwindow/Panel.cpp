// The button panel (see Panel.h): pictures, hit-testing, the lit button,
// tooltips, the keyboard and painting.
#include "Panel.h"

#include <commctrl.h>

#include "Dpi.h"
#include "Resource.h"

namespace launcher {

namespace {

// The strip of the client area that the background picture does not cover
// takes the colour of the picture's right-hand frame (the frame of
// tools/disc/artwork-places, held against this one by tools/disc/tests/artwork-tie-test).
const COLORREF kFrameColour = RGB(8, 20, 35);

SIZE BitmapSize(HGDIOBJ bitmap) {
    BITMAP bm = {};
    SIZE s = {0, 0};
    if (bitmap && GetObjectA(bitmap, sizeof(bm), &bm)) {
        s.cx = bm.bmWidth;
        s.cy = bm.bmHeight;
    }
    return s;
}

void DrawPicture(HDC dc, HDC source, HGDIOBJ bitmap, int x, int y, int width, int height) {
    if (!bitmap) return;
    scoped::Selection picture(source, bitmap);
    BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
}

}  // namespace

Panel::Panel(HINSTANCE instance, PanelEvents& events, const UiLanguage& ui, std::wstring name)
    : instance_(instance), events_(events), ui_(ui), name_(std::move(name)) {}

Panel::~Panel() {
    Detach();
}

void Panel::Detach() {
    if (accessible_) {
        accessible_->Disconnect();
        accessible_.reset();
    }
    hwnd_ = nullptr;
    tooltip_ = nullptr;
}

// A picture that cannot be loaded leaves its place empty; nothing else
// depends on it.
void Panel::LoadPictures() {
    auto load = [this](int id) { return scoped::GdiObject(ui_.Bitmap(id)); };
    pictures_.picture2 = load(IDB_BACKGROUND);
    pictures_.button = load(IDB_BUTTON);
    pictures_.buttonHot = load(IDB_BUTTONHOT);
    pictures_.instKX = load(IDB_INSTKX);
    pictures_.runKX = load(IDB_RUNKX);
}

// The double set is decoded the first time a scaled display needs it. A
// picture missing from it makes the whole set unused: the design-size
// set, enlarged, is drawn instead.
void Panel::LoadDoublePictures() {
    if (doubleLoaded_) return;
    doubleLoaded_ = true;
    auto load = [this](int id) {
        return scoped::GdiObject(ui_.DoublePicture(IDP_DOUBLE + (id - 100)));
    };
    doublePictures_.picture2 = load(IDB_BACKGROUND);
    doublePictures_.button = load(IDB_BUTTON);
    doublePictures_.buttonHot = load(IDB_BUTTONHOT);
    doublePictures_.instKX = load(IDB_INSTKX);
    doublePictures_.runKX = load(IDB_RUNKX);
}

const Panel::PictureSet& Panel::PicturesFor(int artScale) const {
    const PictureSet& d = doublePictures_;
    bool whole = d.picture2 && d.button && d.buttonHot && d.instKX && d.runKX;
    return artScale == 2 && whole ? d : pictures_;
}

void Panel::DoButtonHighlight(short Index) {
    if (Index == HotButton_) return;
    if (Index < 1 || Index > layout::kButtonCount) return;
    for (int k = 1; k <= layout::kButtonCount; ++k)
        if (k != Index) SetBulletPicture(k, false);
    SetBulletPicture(Index, true);
    HotButton_ = Index;
    AnnounceFocus();
    events_.DoSound("mouseout.wav");
}

void Panel::DarkenAll() {
    if (HotButton_ == -1) return;
    for (int k = 1; k <= layout::kButtonCount; ++k) SetBulletPicture(k, false);
    HotButton_ = -1;
    AnnounceFocus();
}

bool Panel::BulletLit(int index) const {
    return index >= 1 && index <= layout::kButtonCount && bulletLit_[index];
}

void Panel::SetBulletPicture(int index, bool lit) {
    if (bulletLit_[index] == lit) return;  // same picture: nothing to redraw
    bulletLit_[index] = lit;
    InvalidateDesignRect(layout::BulletRect(index));
}

layout::Rect Panel::Region1() const {
    // The design-size picture sets the hotspot at every scale.
    SIZE s = BitmapSize(button1Run_ ? pictures_.runKX.get() : pictures_.instKX.get());
    return layout::RegionRect(1, s.cx, s.cy);
}

void Panel::SetButton1Picture(bool run) {
    if (run == button1Run_ && hwnd_) {
        // Assigned again on every poll; only a change needs drawing.
        return;
    }
    layout::Rect before = Region1();
    button1Run_ = run;
    InvalidateDesignRect(before);
    InvalidateDesignRect(Region1());
    MoveTools();
    // Button 1's name follows its picture.
    if (hwnd_) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, 1);
}

std::wstring Panel::ButtonName(int index) const {
    if (index < 1 || index > layout::kButtonCount) return std::wstring();
    return ui_.String(index == 1 && button1Run_ ? IDS_RUNNAME : IDS_BUTTONNAME + index);
}

std::wstring Panel::RegionTip(int index) const {
    if (index < 1 || index > layout::kButtonCount) return std::wstring();
    return ui_.String(IDS_REGIONTIP + index, layout::kButtons[index].regionTip);
}

RECT Panel::ButtonClientRect(int index) const {
    return ToClient(RegionOf(index));
}

int Panel::ButtonAt(int clientX, int clientY) const {
    int id = ControlAt(clientX, clientY);
    if (id > ID_BUTTONREGION_BASE) return id - ID_BUTTONREGION_BASE;
    if (id > ID_MYBUTTON_BASE) return id - ID_MYBUTTON_BASE;
    return id == 1 ? 0 : -1;
}

int Panel::FocusedChild() const {
    if (!hwnd_ || GetFocus() != hwnd_) return -1;
    const int lit = HotButton_;
    return lit >= 1 && lit <= layout::kButtonCount ? lit : 0;
}

void Panel::AnnounceFocus() {
    const int focus = FocusedChild();
    if (focus == announcedFocus_) return;
    announcedFocus_ = focus;
    if (focus >= 0) NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, focus);
}

layout::Rect Panel::RegionOf(int index) const {
    return index == 1 ? Region1() : layout::RegionRect(index, 0, 0);
}

// The tooltip shows the first of its tools that holds the pointer, so the
// tools are added in the order HitTest looks: bullets, then the hotspots
// from the highest index down. Where two controls touch, the tip then
// belongs to the control that the mouse events go to. The tip's text is
// string textId, else the built-in English fallback.
template <typename F>
void Panel::ForEachTool(F f) const {
    for (int k = 1; k <= layout::kButtonCount; ++k)
        f(ID_MYBUTTON_BASE + k, layout::BulletRect(k), IDS_BULLETTIP + k,
          layout::kButtons[k].bulletTip);
    for (int k = layout::kButtonCount; k >= 1; --k)
        f(ID_BUTTONREGION_BASE + k, RegionOf(k), IDS_REGIONTIP + k,
          layout::kButtons[k].regionTip);
}

// Puts every tool back on its control: after a change of scale or of
// button 1's picture.
void Panel::MoveTools() {
    if (!tooltip_) return;
    ForEachTool([this](UINT id, const layout::Rect& r, UINT, const char*) {
        TTTOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.hwnd = hwnd_;
        ti.uId = id;
        ti.rect = ToClient(r);
        SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    });
}

void Panel::CreateTooltips() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // Wide throughout, so that a language outside the ANSI code page shows.
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (!tooltip_) return;
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
    ForEachTool([this](UINT id, const layout::Rect& r, UINT textId, const char* fallback) {
        std::wstring text = ui_.String(textId, fallback);
        TTTOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = id;
        ti.rect = ToClient(r);
        ti.lpszText = &text[0];
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    });
}

void Panel::ApplyDpi(int dpi, const RECT* suggested) {
    dpi_ = dpi > 0 ? dpi : 96;
    if (layout::ArtScaleForDpi(dpi_) == 2) LoadDoublePictures();
    display::FitClient(hwnd_, layout::ScaleToDpi(layout::ClientWidth(), dpi_),
                       layout::ScaleToDpi(layout::ClientHeight(), dpi_), dpi_, suggested);
    MoveTools();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

RECT Panel::ToClient(const layout::Rect& r) const {
    RECT c = {layout::ScaleToDpi(r.left, dpi_), layout::ScaleToDpi(r.top, dpi_),
              layout::ScaleToDpi(r.left + r.width, dpi_),
              layout::ScaleToDpi(r.top + r.height, dpi_)};
    return c;
}

void Panel::InvalidateDesignRect(const layout::Rect& r) {
    if (!hwnd_) return;
    RECT c = ToClient(r);
    InflateRect(&c, 1, 1);  // a smoothed picture blends the pixels around it in
    InvalidateRect(hwnd_, &c, FALSE);
}

// Control id under a client point: ID_MYBUTTON_BASE + k for a bullet,
// ID_BUTTONREGION_BASE + k for a hotspot, 1 for the free background, 0 for
// the window's own strip outside the picture.
int Panel::ControlAt(int clientX, int clientY) const {
    if (clientX < 0 || clientY < 0) return 0;
    layout::Hit hit = layout::HitTest(layout::DesignFromDpi(clientX, dpi_),
                                      layout::DesignFromDpi(clientY, dpi_), Region1());
    switch (hit.kind) {
        case layout::HitKind::Bullet:
            return ID_MYBUTTON_BASE + hit.index;
        case layout::HitKind::Region:
            return ID_BUTTONREGION_BASE + hit.index;
        case layout::HitKind::Background:
            return 1;
        default:
            return 0;
    }
}

void Panel::OnMouseMove(int clientX, int clientY) {
    // While the left button is held the pressed control keeps the mouse.
    int id = pressed_ ? pressed_ : ControlAt(clientX, clientY);
    if (id > ID_BUTTONREGION_BASE)
        events_.ButtonRegion_MouseMove(static_cast<short>(id - ID_BUTTONREGION_BASE));
    else if (id > ID_MYBUTTON_BASE)
        events_.MyButton_MouseMove(static_cast<short>(id - ID_MYBUTTON_BASE));
    else if (id == 1)
        events_.Picture2_MouseMove();
}

void Panel::OnButtonDown(int clientX, int clientY) {
    // Only a bullet or a hotspot takes the mouse; the background has no click.
    int id = ControlAt(clientX, clientY);
    pressed_ = id > 1 ? id : 0;
    if (pressed_) SetCapture(hwnd_);
}

void Panel::OnButtonUp(int clientX, int clientY) {
    int pressed = pressed_;
    pressed_ = 0;
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (pressed == 0 || ControlAt(clientX, clientY) != pressed) return;
    if (pressed > ID_BUTTONREGION_BASE)
        events_.ButtonRegion_Click(static_cast<short>(pressed - ID_BUTTONREGION_BASE));
    else if (pressed > ID_MYBUTTON_BASE)
        events_.MyButton_Click(static_cast<short>(pressed - ID_MYBUTTON_BASE));
}

bool Panel::OnKeyDown(UINT vk, bool repeated) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    int lit = HotButton_;
    switch (vk) {
        case VK_DOWN:
            lit = layout::NextInPanelOrder(lit, +1);
            break;
        case VK_UP:
            lit = layout::NextInPanelOrder(lit, -1);
            break;
        case VK_TAB:
            lit = layout::NextInPanelOrder(lit, shift ? -1 : +1);
            break;
        case VK_HOME:
            lit = layout::FirstInPanelOrder();
            break;
        case VK_END:
            lit = layout::LastInPanelOrder();
            break;
        case VK_RETURN:
        case VK_SPACE:
            // Held down, the key repeats; the command runs on the press only.
            if (!repeated && lit >= 1 && lit <= layout::kButtonCount)
                events_.MyButton_Click(static_cast<short>(lit));
            return true;
        default:
            return false;
    }
    DoButtonHighlight(static_cast<short>(lit));
    return true;
}

// Pressed by a screen reader (accDoDefaultAction), after its call has
// returned.
void Panel::OnPressButton(WPARAM index) {
    if (index >= 1 && index <= layout::kButtonCount)
        events_.MyButton_Click(static_cast<short>(index));
}

void Panel::OnCaptureChanged(HWND newCapture) {
    if (newCapture != hwnd_) pressed_ = 0;
}

LRESULT Panel::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return 0;
    if (!accessible_) {
        apartment_.reset(new scoped::ComApartment());
        accessible_ = scoped::ComPtr<PanelAccessible>::Attach(new PanelAccessible(this));
    }
    return AnswerGetObject(accessible_.get(), wParam);
}

// The hand over what can be clicked (bullets and hotspots), the class's
// arrow elsewhere.
bool Panel::OnSetCursor() {
    POINT p;
    if (!GetCursorPos(&p) || !ScreenToClient(hwnd_, &p)) return false;
    if (ControlAt(p.x, p.y) <= 1) return false;
    SetCursor(LoadCursor(nullptr, IDC_HAND));
    return true;
}

void Panel::Render(HDC dc, int artScale) const {
    const PictureSet& set = PicturesFor(artScale);
    // A set that could not be had at the double size is drawn at design size.
    const int k = &set == &pictures_ ? 1 : 2;
    auto scaled = [k](const layout::Rect& r) {
        return layout::Rect{r.left * k, r.top * k, r.width * k, r.height * k};
    };
    RECT all = {0, 0, layout::ClientWidth() * k, layout::ClientHeight() * k};
    scoped::GdiObject frame(CreateSolidBrush(kFrameColour));
    if (frame) FillRect(dc, &all, static_cast<HBRUSH>(frame.get()));
    scoped::MemoryDC source(CreateCompatibleDC(dc));
    if (!source) return;
    layout::Rect p2 = scaled(layout::Picture2Rect());
    SIZE bg = BitmapSize(set.picture2.get());
    DrawPicture(dc, source.get(), set.picture2.get(), 0, 0, bg.cx < p2.width ? bg.cx : p2.width,
                bg.cy < p2.height ? bg.cy : p2.height);
    for (int i = 1; i <= layout::kButtonCount; ++i) {
        layout::Rect b = scaled(layout::BulletRect(i));
        DrawPicture(dc, source.get(), bulletLit_[i] ? set.buttonHot.get() : set.button.get(),
                    b.left, b.top, b.width, b.height);
    }
    layout::Rect r1 = scaled(Region1());
    DrawPicture(dc, source.get(), button1Run_ ? set.runKX.get() : set.instKX.get(), r1.left, r1.top,
                r1.width, r1.height);
}

// The picture is composed at the size of its set, then copied to the window:
// pixel for pixel at 100 % and 200 %, smoothed (HALFTONE) in between.
void Panel::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (!dc) return;
    const int artScale = &PicturesFor(layout::ArtScaleForDpi(dpi_)) == &pictures_ ? 1 : 2;
    const int w = layout::ClientWidth() * artScale, h = layout::ClientHeight() * artScale;
    const int cw = layout::ScaleToDpi(layout::ClientWidth(), dpi_),
              ch = layout::ScaleToDpi(layout::ClientHeight(), dpi_);
    scoped::MemoryDC frame(CreateCompatibleDC(dc));
    scoped::GdiObject bitmap(CreateCompatibleBitmap(dc, w, h));
    if (frame && bitmap) {
        scoped::Selection composed(frame.get(), bitmap.get());
        Render(frame.get(), artScale);
        if (cw == w && ch == h) {
            BitBlt(dc, 0, 0, w, h, frame.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, cw, ch, frame.get(), 0, 0, w, h, SRCCOPY);
        }
    }
    EndPaint(hwnd_, &ps);
}

}  // namespace launcher

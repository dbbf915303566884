// The panel's MSAA object (see PanelAccessible.h).
#include "PanelAccessible.h"

#include <string>

#include "Layout.h"
#include "Panel.h"
#include "Resource.h"
#include "Scoped.h"
#include "UiText.h"

namespace launcher {

namespace {

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT NoText(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
}

HRESULT Long(VARIANT* out, long value) {
    if (!out) return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

}  // namespace

PanelAccessible::PanelAccessible(Panel* panel) : panel_(panel) {}

STDMETHODIMP PanelAccessible::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PanelAccessible::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) PanelAccessible::Release() {
    ULONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP PanelAccessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
STDMETHODIMP PanelAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP PanelAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
STDMETHODIMP PanelAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

int PanelAccessible::Child(const VARIANT& child, HRESULT* hr) const {
    if (!panel_ || !panel_->hwnd()) {
        *hr = RPC_E_DISCONNECTED;
        return -1;
    }
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > layout::kButtonCount) {
        *hr = E_INVALIDARG;
        return -1;
    }
    return child.lVal;
}

STDMETHODIMP PanelAccessible::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!panel_ || !panel_->hwnd()) return RPC_E_DISCONNECTED;
    return CreateStdAccessibleObject(panel_->hwnd(), OBJID_WINDOW, IID_IDispatch,
                                     reinterpret_cast<void**>(parent));
}

STDMETHODIMP PanelAccessible::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    if (!panel_ || !panel_->hwnd()) return RPC_E_DISCONNECTED;
    *count = layout::kButtonCount;
    return S_OK;
}

STDMETHODIMP PanelAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    HRESULT hr = S_OK;
    if (Child(child, &hr) < 0) return hr;
    return S_FALSE;  // the buttons are simple elements, not objects
}

STDMETHODIMP PanelAccessible::get_accName(VARIANT child, BSTR* name) {
    HRESULT hr = S_OK;
    int k = Child(child, &hr);
    if (k < 0) return hr;
    return Text(k == 0 ? panel_->Name() : panel_->ButtonName(k), name);
}

STDMETHODIMP PanelAccessible::get_accValue(VARIANT, BSTR* value) { return NoText(value); }

STDMETHODIMP PanelAccessible::get_accDescription(VARIANT child, BSTR* description) {
    HRESULT hr = S_OK;
    int k = Child(child, &hr);
    if (k < 0) return hr;
    if (k == 0) return NoText(description);
    return Text(panel_->RegionTip(k), description);
}

STDMETHODIMP PanelAccessible::get_accRole(VARIANT child, VARIANT* role) {
    HRESULT hr = S_OK;
    int k = Child(child, &hr);
    if (k < 0) return hr;
    return Long(role, k == 0 ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_PUSHBUTTON);
}

STDMETHODIMP PanelAccessible::get_accState(VARIANT child, VARIANT* state) {
    HRESULT hr = S_OK;
    int k = Child(child, &hr);
    if (k < 0) return hr;
    // A disabled window's buttons say so, and cannot be pressed.
    if (!IsWindowEnabled(panel_->hwnd())) return Long(state, STATE_SYSTEM_UNAVAILABLE);
    long s = STATE_SYSTEM_FOCUSABLE;
    if (k == panel_->FocusedChild()) s |= STATE_SYSTEM_FOCUSED;
    if (k != 0 && k == panel_->HotButton()) s |= STATE_SYSTEM_HOTTRACKED;
    return Long(state, s);
}

STDMETHODIMP PanelAccessible::get_accHelp(VARIANT, BSTR* help) { return NoText(help); }

STDMETHODIMP PanelAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (topic) *topic = 0;
    return NoText(file);
}

STDMETHODIMP PanelAccessible::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) {
    return NoText(shortcut);
}

// While the window has the keyboard focus: the lit button, or with none
// lit the panel itself. Otherwise nothing here has it.
STDMETHODIMP PanelAccessible::get_accFocus(VARIANT* child) {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!panel_ || !panel_->hwnd()) return RPC_E_DISCONNECTED;
    const int focus = panel_->FocusedChild();
    return focus < 0 ? S_FALSE : Long(child, focus);
}

STDMETHODIMP PanelAccessible::get_accSelection(VARIANT* children) {
    if (!children) return E_POINTER;
    VariantInit(children);
    return panel_ && panel_->hwnd() ? S_FALSE : RPC_E_DISCONNECTED;
}

STDMETHODIMP PanelAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    HRESULT hr = S_OK;
    int k = Child(child, &hr);
    if (k < 0) return hr;
    return k == 0 ? NoText(action) : Text(UiText(IDS_PRESS), action);
}

STDMETHODIMP PanelAccessible::accSelect(long, VARIANT) { return DISP_E_MEMBERNOTFOUND; }

STDMETHODIMP PanelAccessible::accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    HRESULT hr = S_OK;
    int k = Child(child, &hr);
    if (k < 0) return hr;
    RECT r = {};
    if (k == 0)
        GetClientRect(panel_->hwnd(), &r);
    else
        r = panel_->ButtonClientRect(k);
    MapWindowPoints(panel_->hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

STDMETHODIMP PanelAccessible::accNavigate(long, VARIANT, VARIANT* end) {
    if (end) VariantInit(end);
    return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP PanelAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!panel_ || !panel_->hwnd()) return RPC_E_DISCONNECTED;
    POINT p = {x, y};
    ScreenToClient(panel_->hwnd(), &p);
    int k = panel_->ButtonAt(p.x, p.y);
    return k < 0 ? S_FALSE : Long(child, k);
}

// The command runs after this call has returned: a client waiting in it is
// never held while an installer starts or the window closes.
STDMETHODIMP PanelAccessible::accDoDefaultAction(VARIANT child) {
    HRESULT hr = S_OK;
    int k = Child(child, &hr);
    if (k < 0) return hr;
    if (k == 0) return DISP_E_MEMBERNOTFOUND;
    // A window that a dialog has disabled takes no command, as it takes no click.
    if (!IsWindowEnabled(panel_->hwnd())) return E_FAIL;
    return PostMessageA(panel_->hwnd(), Panel::kPressButtonMessage, static_cast<WPARAM>(k), 0)
               ? S_OK
               : E_FAIL;
}

STDMETHODIMP PanelAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
STDMETHODIMP PanelAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

LRESULT AnswerGetObject(PanelAccessible* object, WPARAM wParam) {
    if (!object) return 0;
    LRESULT result = LresultFromObject(IID_IAccessible, wParam, object);
    return result > 0 ? result : 0;
}

}  // namespace launcher

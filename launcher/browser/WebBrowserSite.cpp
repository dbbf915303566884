// The site, frame and event sink of the hosted WebBrowser control (see
// WebBrowserSite.h).
#include "WebBrowserSite.h"

#include <exdisp.h>
#include <exdispid.h>

#include "BrowserEngine.h"

namespace browser {
namespace webhost {

namespace {

long g_liveObjects = 0;  // our COM objects the control may still hold

// Reference counting shared by our small COM objects.
class RefCounted {
public:
    RefCounted() { ++g_liveObjects; }
    virtual ~RefCounted() { --g_liveObjects; }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

protected:
    ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG ReleaseImpl() {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

private:
    LONG refs_ = 1;
};

// The control's client site and in-place site.
class Site : public IOleClientSite, public IOleInPlaceSite, private RefCounted {
public:
    explicit Site(std::shared_ptr<Link> link) : link_(std::move(link)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = link_->engine ? link_->engine->Window() : nullptr;
        return *out ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return link_->engine ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (frame) *frame = nullptr;
        if (doc) *doc = nullptr;
        Host* engine = link_->engine;
        if (!engine || !frame || !pos || !clip || !info) return E_FAIL;
        HWND host = engine->Window();
        GetClientRect(host, pos);
        *clip = *pos;
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(host, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        *frame = engine->Frame();
        if (*frame) (*frame)->AddRef();
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT rect) override {
        if (link_->engine && rect) {
            RECT r = *rect;
            link_->engine->PlaceObject(&r);
        }
        return S_OK;
    }

private:
    std::shared_ptr<Link> link_;
};

// The frame the control sees: the browser window itself, without menus or
// border space for tools.
class FrameObject : public IOleInPlaceFrame, private RefCounted {
public:
    explicit FrameObject(std::shared_ptr<Link> link) : link_(std::move(link)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow ||
            iid == IID_IOleInPlaceFrame) {
            *out = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = link_->engine ? GetAncestor(link_->engine->Window(), GA_ROOT) : nullptr;
        return *out ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override {
        return widths ? INPLACE_E_NOTOOLSPACE : S_OK;
    }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        if (link_->engine) link_->engine->SetActiveObject(object);
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    std::shared_ptr<Link> link_;
};

// DWebBrowserEvents2: only the two events the window uses are passed on.
class EventSink : public IDispatch, private RefCounted {
public:
    explicit EventSink(std::shared_ptr<Link> link) : link_(std::move(link)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (result) VariantInit(result);
        // Stay alive even if the handler closes the window and unadvises us.
        AddRef();
        try {
            if (link_->engine) link_->engine->OnEvent(id);
        } catch (...) {
        }
        Release();
        return S_OK;
    }

private:
    std::shared_ptr<Link> link_;
};

}  // namespace

IOleClientSite* NewSite(std::shared_ptr<Link> link) {
    return new Site(std::move(link));
}

IOleInPlaceFrame* NewFrame(std::shared_ptr<Link> link) {
    return new FrameObject(std::move(link));
}

IDispatch* NewEventSink(std::shared_ptr<Link> link) {
    return new EventSink(std::move(link));
}

}  // namespace webhost

long WebBrowserEngineLiveObjects() {
    return webhost::g_liveObjects;
}

}  // namespace browser

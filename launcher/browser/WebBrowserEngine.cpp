// The shipped browser engine: the system's WebBrowser control hosted as an
// in-place OLE object inside a child window of the browser window, with a
// DWebBrowserEvents2 sink (WebBrowserSite.cpp). Taken down in a fixed order
// when the window goes.
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "BrowserEngine.h"
#include "Scoped.h"
#include "WebBrowserSite.h"
#include "WideText.h"

namespace browser {

namespace {

// OLE is started on the launcher's thread for its first browser window and
// kept until the launcher ends: the main window never needs it, and windows
// that come and go do not load and unload the libraries each time.
HRESULT StartOle() {
    static const scoped::OleApartment ole;
    return ole.result();
}

const char kHostClass[] = "WexaBrowserHost";

std::string Narrow(BSTR text) {
    if (!text) return std::string();
    int length = static_cast<int>(SysStringLen(text));
    if (length == 0) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], n, nullptr, nullptr);
    return narrow;
}

class WebBrowserEngine : public Engine, private webhost::Host {
public:
    WebBrowserEngine() : link_(std::make_shared<webhost::Link>()) { link_->engine = this; }
    ~WebBrowserEngine() override { Close(); }

    HRESULT Create(HWND parent, const RECT& rect, EngineEvents* events) override;
    HRESULT SetRect(const RECT& rect) override;
    HWND Window() const override { return host_; }
    void Focus() override;
    HRESULT TranslateAccelerator(MSG* msg) override;
    void Close() override;

    HRESULT Navigate(const std::string& address) override;
    HRESULT GoBack() override { return CallOperation(&IWebBrowser2::GoBack); }
    HRESULT GoForward() override { return CallOperation(&IWebBrowser2::GoForward); }
    HRESULT GoHome() override { return CallOperation(&IWebBrowser2::GoHome); }
    HRESULT GoSearch() override { return CallOperation(&IWebBrowser2::GoSearch); }
    HRESULT Refresh() override { return CallOperation(&IWebBrowser2::Refresh); }
    HRESULT Stop() override { return CallOperation(&IWebBrowser2::Stop); }
    HRESULT Busy(bool* busy) override;
    HRESULT LocationName(std::string* name) override;
    HRESULT LocationURL(std::string* url) override;

private:
    // Called by the site, frame and sink.
    void SetActiveObject(IOleInPlaceActiveObject* object) override;
    void PlaceObject(const RECT* rect) override;
    void OnEvent(DISPID id) override;
    IOleInPlaceFrame* Frame() const override;

    static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HRESULT Activate(LONG verb);

    // A call into the control can run a nested message loop (a download or
    // security prompt) in which the window closes and Close lets go of the
    // control. The call keeps it until it has returned, so the control is
    // never released under its own feet.
    template <typename Call>
    HRESULT CallBrowser(Call call) {
        scoped::ComPtr<IWebBrowser2> browser = browser_;
        return browser ? call(browser.get()) : E_FAIL;
    }
    // The toolbar's operations take no arguments.
    HRESULT CallOperation(HRESULT (STDMETHODCALLTYPE IWebBrowser2::*operation)()) {
        return CallBrowser([operation](IWebBrowser2* b) { return (b->*operation)(); });
    }

    std::shared_ptr<webhost::Link> link_;
    HWND host_ = nullptr;
    EngineEvents* events_ = nullptr;
    scoped::ComPtr<IOleObject> object_;
    scoped::ComPtr<IWebBrowser2> browser_;
    scoped::ComPtr<IOleInPlaceObject> inPlace_;
    scoped::ComPtr<IOleInPlaceActiveObject> activeObject_;
    scoped::ComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
    scoped::ComPtr<IOleClientSite> site_;
    scoped::ComPtr<IOleInPlaceFrame> frame_;
    scoped::ComPtr<IDispatch> sink_;
    bool focusing_ = false;
};

HRESULT WebBrowserEngine::Create(HWND parent, const RECT& rect, EngineEvents* events) {
    if (host_) return E_UNEXPECTED;
    HRESULT hr = StartOle();
    if (FAILED(hr)) return hr;

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kHostClass, &wc)) {
        wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kHostClass;
        if (!RegisterClassA(&wc)) return HRESULT_FROM_WIN32(GetLastError());
    }
    host_ = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP,
                            rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                            parent, nullptr, instance, nullptr);
    if (!host_) return HRESULT_FROM_WIN32(GetLastError());
    SetWindowLongPtrA(host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                          object_.put_void());
    if (FAILED(hr)) return hr;
    site_ = scoped::ComPtr<IOleClientSite>::Attach(webhost::NewSite(link_));
    frame_ = scoped::ComPtr<IOleInPlaceFrame>::Attach(webhost::NewFrame(link_));
    sink_ = scoped::ComPtr<IDispatch>::Attach(webhost::NewEventSink(link_));

    hr = object_->SetClientSite(site_.get());
    if (FAILED(hr)) return hr;
    scoped::ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(object_.As(IID_IPersistStreamInit, persist))) persist->InitNew();
    object_->SetHostNames(L"Setup", nullptr);

    scoped::ComPtr<IConnectionPointContainer> container;
    if (SUCCEEDED(object_.As(IID_IConnectionPointContainer, container)) &&
        SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, connection_.put()))) {
        if (FAILED(connection_->Advise(sink_.get(), &cookie_))) {
            cookie_ = 0;
            connection_.reset();
        }
    }

    hr = Activate(OLEIVERB_INPLACEACTIVATE);
    if (FAILED(hr)) return hr;
    object_.As(IID_IOleInPlaceObject, inPlace_);
    hr = object_.As(IID_IWebBrowser2, browser_);
    if (FAILED(hr)) return hr;
    // Script errors and other boxes of the control never reach the user.
    browser_->put_Silent(VARIANT_TRUE);
    events_ = events;
    return S_OK;
}

HRESULT WebBrowserEngine::Activate(LONG verb) {
    if (!object_ || !host_) return E_FAIL;
    RECT rc = {};
    GetClientRect(host_, &rc);
    return object_->DoVerb(verb, nullptr, site_.get(), 0, host_, &rc);
}

HRESULT WebBrowserEngine::SetRect(const RECT& rect) {
    if (!host_) return E_FAIL;
    if (!SetWindowPos(host_, nullptr, rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE))
        return HRESULT_FROM_WIN32(GetLastError());
    PlaceObject(nullptr);
    return S_OK;
}

// Fits the control to the host window (or to rect, when it asks for one).
void WebBrowserEngine::PlaceObject(const RECT* rect) {
    if (!inPlace_ || !host_) return;
    RECT rc = {};
    GetClientRect(host_, &rc);
    RECT pos = rect ? *rect : rc;
    inPlace_->SetObjectRects(&pos, &rc);
}

void WebBrowserEngine::Focus() {
    if (host_) SetFocus(host_);  // the host hands the focus to the control
}

HRESULT WebBrowserEngine::TranslateAccelerator(MSG* msg) {
    if (!msg) return E_POINTER;
    // Held for the call, as in CallBrowser: a key can close the window.
    scoped::ComPtr<IOleInPlaceActiveObject> object = activeObject_;
    return object ? object->TranslateAccelerator(msg) : S_FALSE;
}

void WebBrowserEngine::SetActiveObject(IOleInPlaceActiveObject* object) {
    activeObject_.reset();
    if (object) {
        object->AddRef();
        activeObject_ = scoped::ComPtr<IOleInPlaceActiveObject>::Attach(object);
    }
}

IOleInPlaceFrame* WebBrowserEngine::Frame() const {
    return frame_.get();
}

void WebBrowserEngine::OnEvent(DISPID id) {
    EngineEvents* events = events_;
    if (!events) return;
    if (id == DISPID_DOWNLOADCOMPLETE)
        events->Engine_DownloadComplete();
    else if (id == DISPID_NAVIGATECOMPLETE2)
        events->Engine_NavigateComplete2();
}

// Takedown order: in-place deactivate, unadvise, SetClientSite(nullptr),
// Close, release.
void WebBrowserEngine::Close() {
    events_ = nullptr;
    link_->engine = nullptr;
    if (inPlace_) inPlace_->InPlaceDeactivate();
    if (connection_ && cookie_) connection_->Unadvise(cookie_);
    cookie_ = 0;
    if (object_) {
        object_->SetClientSite(nullptr);
        object_->Close(OLECLOSE_NOSAVE);
    }
    activeObject_.reset();
    inPlace_.reset();
    browser_.reset();
    connection_.reset();
    object_.reset();
    sink_.reset();
    frame_.reset();
    site_.reset();
    if (host_) {
        HWND host = host_;
        host_ = nullptr;
        SetWindowLongPtrA(host, GWLP_USERDATA, 0);
        if (IsWindow(host)) DestroyWindow(host);
    }
}

HRESULT WebBrowserEngine::Navigate(const std::string& address) {
    std::wstring wide = widetext::Widen(address);
    scoped::Bstr url(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
    if (!url) return E_OUTOFMEMORY;
    VARIANT empty;
    VariantInit(&empty);
    return CallBrowser(
        [&](IWebBrowser2* b) { return b->Navigate(url.get(), &empty, &empty, &empty, &empty); });
}

HRESULT WebBrowserEngine::Busy(bool* busy) {
    if (!busy) return E_POINTER;
    return CallBrowser([&](IWebBrowser2* b) {
        VARIANT_BOOL value = VARIANT_FALSE;
        HRESULT hr = b->get_Busy(&value);
        if (SUCCEEDED(hr)) *busy = value != VARIANT_FALSE;
        return hr;
    });
}

HRESULT WebBrowserEngine::LocationName(std::string* name) {
    if (!name) return E_POINTER;
    return CallBrowser([&](IWebBrowser2* b) {
        scoped::Bstr text;
        HRESULT hr = b->get_LocationName(text.put());
        if (SUCCEEDED(hr)) *name = Narrow(text.get());
        return hr;
    });
}

HRESULT WebBrowserEngine::LocationURL(std::string* url) {
    if (!url) return E_POINTER;
    return CallBrowser([&](IWebBrowser2* b) {
        scoped::Bstr text;
        HRESULT hr = b->get_LocationURL(text.put());
        if (SUCCEEDED(hr)) *url = Narrow(text.get());
        return hr;
    });
}

LRESULT CALLBACK WebBrowserEngine::HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WebBrowserEngine*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_SETFOCUS && !self->focusing_) {
        // Focus on the host means focus on the page: let the control take it.
        self->focusing_ = true;
        self->Activate(OLEIVERB_UIACTIVATE);
        self->focusing_ = false;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

std::unique_ptr<Engine> CreateWebBrowserEngine() {
    return std::unique_ptr<Engine>(new WebBrowserEngine);
}

}  // namespace browser

// Helpers for the browser window tests: the launcher's message loop (browser
// windows see keyboard messages first), rectangles, keys and a scripted engine.
#pragma once

// clang-format off
#include <windows.h>  // before the other system headers, which need it
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BrowserEngine.h"
#include "BrowserWindow.h"
#include "Gui.h"

namespace browsertest {

using testkit::WindowText;
using Items = std::vector<std::string>;

inline void Pump() {
    testkit::Pump(browser::PreTranslateBrowserMessage);
}
inline bool PumpUntil(const std::function<bool()>& done) {
    return testkit::PumpUntil(done, 10000, browser::PreTranslateBrowserMessage);
}

// "left,top,right,bottom"
inline std::string Str(const RECT& rc) {
    char text[64];
    std::snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}
inline RECT ClientRect(HWND hwnd) {
    RECT rc = {};
    GetClientRect(hwnd, &rc);
    return rc;
}
// A child's rectangle in its parent's client pixels.
inline RECT ChildRect(HWND child) {
    RECT rc = {};
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Characters posted as WM_CHAR to target; a real key (with Alt) to the focus.
inline void TypeText(HWND target, const std::string& text) {
    for (unsigned char c : text) PostMessageA(target, WM_CHAR, c, 1);
    Pump();
}
inline void PressKey(UINT vk, bool alt = false) {
    testkit::Key(static_cast<WORD>(vk), false, alt);
    Pump();
}

// What a test scripts and observes of a ScriptedEngine; outlives the window.
struct Script {
    Items calls;  // in order: "Navigate:<address>", "GoBack", "Stop", ...
    std::map<std::string, HRESULT> results;  // by operation ("Busy", "Create", ...); else S_OK
    bool busy = false;       // set by Navigate and the Go/Refresh operations, cleared by Stop
    std::string name, url;   // LocationName, LocationURL
    std::string nameAtOnce;  // when set, Navigate completes inside the call
    std::vector<WPARAM> acceleratorKeys;      // key-downs the engine's accelerators take
    std::vector<WPARAM> offeredKeys;          // key-downs offered to TranslateAccelerator
    browser::EngineEvents* events = nullptr;  // from Create until Close
    HWND view = nullptr;
    std::shared_ptr<Items> closeLog = std::make_shared<Items>();  // windows may share one
    std::string tag;                                              // what Close appends to it

    // A navigation ends: the new location, DownloadComplete, NavigateComplete2.
    void Complete(const std::string& newUrl, const std::string& newName) {
        busy = false;
        url = newUrl;
        name = newName;
        if (events) events->Engine_DownloadComplete();
        if (events) events->Engine_NavigateComplete2();
    }
    HRESULT Result(const std::string& op) const {
        auto it = results.find(op);
        return it == results.end() ? S_OK : it->second;
    }
};

class ScriptedEngine : public browser::Engine {
public:
    explicit ScriptedEngine(std::shared_ptr<Script> script) : s_(std::move(script)) {}
    ~ScriptedEngine() override { Close(); }

    HRESULT Create(HWND parent, const RECT& rc, browser::EngineEvents* events) override {
        if (FAILED(s_->Result("Create"))) return E_FAIL;
        // An edit field: the keys that reach it type.
        s_->view = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rc.left,
                                   rc.top, rc.right - rc.left, rc.bottom - rc.top, parent, nullptr,
                                   nullptr, nullptr);
        s_->events = events;
        return S_OK;
    }
    HRESULT SetRect(const RECT& rc) override {
        MoveWindow(s_->view, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
        return S_OK;
    }
    HWND Window() const override { return s_->view; }
    void Focus() override { SetFocus(s_->view); }
    HRESULT TranslateAccelerator(MSG* msg) override {
        if (msg->message != WM_KEYDOWN) return S_FALSE;
        s_->offeredKeys.push_back(msg->wParam);
        auto& keys = s_->acceleratorKeys;
        return std::find(keys.begin(), keys.end(), msg->wParam) != keys.end() ? S_OK : S_FALSE;
    }
    void Close() override {
        if (!s_->events) return;  // not created, or closed already
        s_->closeLog->push_back(s_->tag);
        s_->events = nullptr;
        if (s_->view) DestroyWindow(s_->view);
        s_->view = nullptr;
    }

    HRESULT Navigate(const std::string& address) override {
        HRESULT hr = Go("Navigate:" + address, "Navigate");
        if (SUCCEEDED(hr) && !s_->nameAtOnce.empty()) s_->Complete(address, s_->nameAtOnce);
        return hr;
    }
    HRESULT GoBack() override { return Go("GoBack", "GoBack"); }
    HRESULT GoForward() override { return Go("GoForward", "GoForward"); }
    HRESULT GoHome() override { return Go("GoHome", "GoHome"); }
    HRESULT GoSearch() override { return Go("GoSearch", "GoSearch"); }
    HRESULT Refresh() override { return Go("Refresh", "Refresh"); }
    HRESULT Stop() override { return Go("Stop", "Stop", false); }
    HRESULT Busy(bool* busy) override { return Get("Busy", s_->busy, busy); }
    HRESULT LocationName(std::string* name) override { return Get("LocationName", s_->name, name); }
    HRESULT LocationURL(std::string* url) override { return Get("LocationURL", s_->url, url); }

private:
    HRESULT Go(const std::string& call, const std::string& op, bool busy = true) {
        s_->calls.push_back(call);
        HRESULT hr = s_->Result(op);
        if (SUCCEEDED(hr)) s_->busy = busy;
        return hr;
    }
    template <typename T>
    HRESULT Get(const std::string& op, const T& value, T* out) {
        HRESULT hr = s_->Result(op);
        if (SUCCEEDED(hr)) *out = value;
        return hr;
    }

    std::shared_ptr<Script> s_;
};

}  // namespace browsertest

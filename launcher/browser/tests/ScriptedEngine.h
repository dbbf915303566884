// A browser engine for tests: records every call it receives, answers as the
// test scripts it, and raises the page events when the test says.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BrowserEngine.h"

namespace browsertest {

// What a test scripts and observes; shared by the test and the engine, so it
// outlives the window.
struct Script {
    std::vector<std::string> calls;  // in order: "Navigate:<address>", "GoBack", "Stop", ...
    std::map<std::string, HRESULT> results;  // by operation ("Busy", "Create", ...); else S_OK
    bool busy = false;  // set by Navigate and the Go/Refresh operations, cleared by Stop
    std::string locationName, locationURL;
    // Runs inside Navigate (the real control raises its first navigation's
    // events there).
    std::function<void(const std::string&)> onNavigate;
    std::vector<WPARAM> acceleratorKeys;  // key-downs the engine's accelerators take
    std::vector<WPARAM> offeredKeys;      // key-downs offered to TranslateAccelerator
    std::vector<WPARAM> viewKeyDowns;     // key-downs that reached the view itself
    browser::EngineEvents* events = nullptr;  // from Create until Close
    HWND view = nullptr;
    RECT rect = {};
    // Each Close appends the engine's tag; windows may share one log.
    std::shared_ptr<std::vector<std::string>> closeLog =
        std::make_shared<std::vector<std::string>>();
    std::string tag;

    // A navigation ends: not busy, the new location, then DownloadComplete
    // and NavigateComplete2.
    void Complete(const std::string& url, const std::string& name) {
        busy = false;
        locationURL = url;
        locationName = name;
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
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ViewProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ScriptedEngineView";
        RegisterClassA(&wc);  // fails harmlessly when already registered
        s_->view = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                   rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                                   parent, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(s_->view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s_.get()));
        s_->rect = rc;
        s_->events = events;
        return S_OK;
    }
    HRESULT SetRect(const RECT& rc) override {
        s_->rect = rc;
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
        if (closed_) return;
        closed_ = true;
        s_->closeLog->push_back(s_->tag);
        s_->events = nullptr;
        if (s_->view) DestroyWindow(s_->view);
        s_->view = nullptr;
    }

    HRESULT Navigate(const std::string& address) override {
        HRESULT hr = Go("Navigate:" + address, "Navigate");
        std::shared_ptr<Script> keep = s_;  // the callback may close the window
        if (SUCCEEDED(hr) && keep->onNavigate) keep->onNavigate(address);
        return hr;
    }
    HRESULT GoBack() override { return Go("GoBack", "GoBack"); }
    HRESULT GoForward() override { return Go("GoForward", "GoForward"); }
    HRESULT GoHome() override { return Go("GoHome", "GoHome"); }
    HRESULT GoSearch() override { return Go("GoSearch", "GoSearch"); }
    HRESULT Refresh() override { return Go("Refresh", "Refresh"); }
    HRESULT Stop() override {
        s_->calls.push_back("Stop");
        s_->busy = false;
        return s_->Result("Stop");
    }
    HRESULT Busy(bool* busy) override { return Get("Busy", s_->busy, busy); }
    HRESULT LocationName(std::string* name) override {
        return Get("LocationName", s_->locationName, name);
    }
    HRESULT LocationURL(std::string* url) override {
        return Get("LocationURL", s_->locationURL, url);
    }

private:
    static LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* script = reinterpret_cast<Script*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (script && msg == WM_KEYDOWN) script->viewKeyDowns.push_back(wParam);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    HRESULT Go(const std::string& call, const std::string& op) {
        s_->calls.push_back(call);
        HRESULT hr = s_->Result(op);
        if (SUCCEEDED(hr)) s_->busy = true;
        return hr;
    }
    template <typename T>
    HRESULT Get(const std::string& op, const T& value, T* out) {
        HRESULT hr = s_->Result(op);
        if (SUCCEEDED(hr)) *out = value;
        return hr;
    }

    std::shared_ptr<Script> s_;
    bool closed_ = false;
};

}  // namespace browsertest

// The scripted browser engine for tests (see ScriptedEngine.h).
#include "ScriptedEngine.h"

#include <algorithm>

namespace browsertest {

namespace {

const char kViewClass[] = "ScriptedEngineView";

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* script = reinterpret_cast<Script*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (script && msg == WM_KEYDOWN) script->viewKeyDowns.push_back(wParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void Script::Complete(const std::string& url, const std::string& name) {
    busy = false;
    locationURL = url;
    locationName = name;
    if (events) events->Engine_DownloadComplete();
    if (events) events->Engine_NavigateComplete2();
}

int Script::Count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

HRESULT Script::Result(const std::string& op) const {
    auto it = results.find(op);
    return it == results.end() ? S_OK : it->second;
}

HRESULT ScriptedEngine::Create(HWND parent, const RECT& rect, browser::EngineEvents* events) {
    HRESULT hr = script_->Result("Create");
    if (FAILED(hr)) return hr;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kViewClass, &wc)) {
        wc = {};
        wc.lpfnWndProc = ViewProc;
        wc.hInstance = instance;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kViewClass;
        RegisterClassA(&wc);
    }
    script_->view = CreateWindowExA(
        WS_EX_CLIENTEDGE, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, instance, nullptr);
    if (!script_->view) return E_FAIL;
    SetWindowLongPtrA(script_->view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(script_.get()));
    script_->rect = rect;
    script_->events = events;
    return S_OK;
}

HRESULT ScriptedEngine::SetRect(const RECT& rect) {
    if (!script_->view) return E_FAIL;
    script_->rect = rect;
    MoveWindow(script_->view, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               TRUE);
    return S_OK;
}

void ScriptedEngine::Focus() {
    if (script_->view) SetFocus(script_->view);
}

HRESULT ScriptedEngine::TranslateAccelerator(MSG* msg) {
    if (msg->message != WM_KEYDOWN) return S_FALSE;
    script_->offeredKeys.push_back(msg->wParam);
    auto& keys = script_->acceleratorKeys;
    return std::find(keys.begin(), keys.end(), msg->wParam) != keys.end() ? S_OK : S_FALSE;
}

void ScriptedEngine::Close() {
    if (closed_) return;
    closed_ = true;
    ++script_->closeCount;
    if (script_->closeLog) script_->closeLog->push_back(script_->tag);
    script_->events = nullptr;
    if (script_->view) {
        SetWindowLongPtrA(script_->view, GWLP_USERDATA, 0);
        if (IsWindow(script_->view)) DestroyWindow(script_->view);
        script_->view = nullptr;
    }
}

HRESULT ScriptedEngine::Navigate(const std::string& address) {
    script_->calls.push_back("Navigate:" + address);
    HRESULT hr = script_->Result("Navigate");
    if (FAILED(hr)) return hr;
    script_->busy = true;
    // Keep the script alive: the callback may close the window.
    std::shared_ptr<Script> keep = script_;
    if (keep->onNavigate) keep->onNavigate(address);
    return S_OK;
}

HRESULT ScriptedEngine::Go(const char* op) {
    script_->calls.push_back(op);
    HRESULT hr = script_->Result(op);
    if (SUCCEEDED(hr)) script_->busy = true;
    return hr;
}

HRESULT ScriptedEngine::Stop() {
    script_->calls.push_back("Stop");
    script_->busy = false;
    return script_->Result("Stop");
}

HRESULT ScriptedEngine::Busy(bool* busy) {
    HRESULT hr = script_->Result("Busy");
    if (SUCCEEDED(hr)) *busy = script_->busy;
    return hr;
}

HRESULT ScriptedEngine::LocationName(std::string* name) {
    HRESULT hr = script_->Result("LocationName");
    if (SUCCEEDED(hr)) *name = script_->locationName;
    return hr;
}

HRESULT ScriptedEngine::LocationURL(std::string* url) {
    HRESULT hr = script_->Result("LocationURL");
    if (SUCCEEDED(hr)) *url = script_->locationURL;
    return hr;
}

}  // namespace browsertest

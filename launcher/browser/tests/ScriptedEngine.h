// A browser engine for tests: records every call it receives and raises the
// page events with the addresses and names a test gives it.
#pragma once

#include <windows.h>

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
    // Calls received, in order: "Navigate:<address>", "GoBack", "Stop", ...
    std::vector<std::string> calls;
    // Results of the operations by name ("Navigate", "GoBack", "Busy",
    // "LocationName", "Create", ...); missing means S_OK.
    std::map<std::string, HRESULT> results;
    // Navigate and the Go/Refresh operations leave the engine busy.
    bool busy = false;
    std::string locationName;
    std::string locationURL;
    // Runs inside Navigate, after it was recorded (the real control raises
    // its first navigation's events there).
    std::function<void(const std::string&)> onNavigate;
    // Keys the engine's own accelerators take (TranslateAccelerator S_OK).
    std::vector<WPARAM> acceleratorKeys;
    // Keyboard messages offered to TranslateAccelerator, and key-down
    // messages that reached the view window itself.
    std::vector<WPARAM> offeredKeys;
    std::vector<WPARAM> viewKeyDowns;

    browser::EngineEvents* events = nullptr;  // set by Create, cleared by Close
    HWND view = nullptr;
    RECT rect = {};
    int closeCount = 0;
    // Shared log of closes across windows: each engine appends its tag.
    std::shared_ptr<std::vector<std::string>> closeLog;
    std::string tag;

    // A navigation ends: not busy, the new location, then DownloadComplete
    // and NavigateComplete2.
    void Complete(const std::string& url, const std::string& name);
    int Count(const std::string& call) const;
    HRESULT Result(const std::string& op) const;
};

class ScriptedEngine : public browser::Engine {
public:
    explicit ScriptedEngine(std::shared_ptr<Script> script) : script_(std::move(script)) {}
    ~ScriptedEngine() override { Close(); }

    HRESULT Create(HWND parent, const RECT& rect, browser::EngineEvents* events) override;
    HRESULT SetRect(const RECT& rect) override;
    HWND Window() const override { return script_->view; }
    void Focus() override;
    HRESULT TranslateAccelerator(MSG* msg) override;
    void Close() override;

    HRESULT Navigate(const std::string& address) override;
    HRESULT GoBack() override { return Go("GoBack"); }
    HRESULT GoForward() override { return Go("GoForward"); }
    HRESULT GoHome() override { return Go("GoHome"); }
    HRESULT GoSearch() override { return Go("GoSearch"); }
    HRESULT Refresh() override { return Go("Refresh"); }
    HRESULT Stop() override;
    HRESULT Busy(bool* busy) override;
    HRESULT LocationName(std::string* name) override;
    HRESULT LocationURL(std::string* url) override;

private:
    HRESULT Go(const char* op);
    std::shared_ptr<Script> script_;
    bool closed_ = false;
};

}  // namespace browsertest

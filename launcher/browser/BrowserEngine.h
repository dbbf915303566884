// The few things the browser window asks of its web browser engine. The
// shipped engine hosts the system's WebBrowser control; tests use a scripted
// one. Every operation reports an HRESULT so that the window can skip a
// failing step and go on.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace browser {

// Receives the engine's page events, on the window's own thread.
class EngineEvents {
public:
    virtual void Engine_DownloadComplete() = 0;
    virtual void Engine_NavigateComplete2() = 0;

protected:
    ~EngineEvents() = default;
};

class Engine {
public:
    virtual ~Engine() = default;

    // Creates the engine's view as a child of parent at rect (client pixels of
    // parent); from then on events go to events, until Close.
    virtual HRESULT Create(HWND parent, const RECT& rect, EngineEvents* events) = 0;
    // Moves and sizes the view.
    virtual HRESULT SetRect(const RECT& rect) = 0;
    // The view's outermost window (keyboard focus lies in it or below it);
    // nullptr before Create or after Close.
    virtual HWND Window() const = 0;
    // Gives the view the keyboard focus.
    virtual void Focus() = 0;
    // Offers a keyboard message aimed at the view to the engine's own
    // accelerators; S_OK means it was used and must not be dispatched.
    virtual HRESULT TranslateAccelerator(MSG* msg) = 0;
    // Takes the view down; no event arrives after it. Safe to call twice.
    virtual void Close() = 0;

    virtual HRESULT Navigate(const std::string& address) = 0;
    virtual HRESULT GoBack() = 0;
    virtual HRESULT GoForward() = 0;
    virtual HRESULT GoHome() = 0;
    virtual HRESULT GoSearch() = 0;
    virtual HRESULT Refresh() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Busy(bool* busy) = 0;
    virtual HRESULT LocationName(std::string* name) = 0;
    virtual HRESULT LocationURL(std::string* url) = 0;
};

// The system's WebBrowser control, hosted as an in-place OLE object.
std::unique_ptr<Engine> CreateWebBrowserEngine();

// How many of the site, frame and event objects that WebBrowser engines
// hand to their controls are still alive: 0 once every control has let go.
long WebBrowserEngineLiveObjects();

}  // namespace browser

// The objects through which the hosted WebBrowser control talks back to the
// engine that hosts it: its client and in-place site, the in-place frame and
// the DWebBrowserEvents2 sink. The control may hold them after the engine
// has closed: they reach the engine through a link that it clears then.
#pragma once

// clang-format off
#include <windows.h>  // before the OLE headers, which need it
#include <ole2.h>
#include <ocidl.h>
// clang-format on

#include <memory>

namespace browser {
namespace webhost {

// What the site, frame and sink ask of the engine.
class Host {
public:
    virtual HWND Window() const = 0;  // the window the control sits in
    virtual IOleInPlaceFrame* Frame() const = 0;
    virtual void PlaceObject(const RECT* rect) = 0;
    virtual void SetActiveObject(IOleInPlaceActiveObject* object) = 0;
    virtual void OnEvent(DISPID id) = 0;

protected:
    ~Host() = default;
};

// The engine, or null once it has closed.
struct Link {
    Host* engine = nullptr;
};

// New objects, each with one reference for the caller.
IOleClientSite* NewSite(std::shared_ptr<Link> link);
IOleInPlaceFrame* NewFrame(std::shared_ptr<Link> link);
IDispatch* NewEventSink(std::shared_ptr<Link> link);

}  // namespace webhost
}  // namespace browser

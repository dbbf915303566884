// Stand-in for the installed product, Kestrix Basic: records that it was
// started (and where) and says so.
#include <windows.h>

#include "StandIn.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    standin::Journal("kestrix");
    standin::Tell("Kestrix Basic", "Kestrix Basic (demo stand-in) is running.\n\nCommand line: " +
                                       std::string(GetCommandLineA()) +
                                       "\nCurrent folder: " + standin::CurrentFolder());
    return 0;
}

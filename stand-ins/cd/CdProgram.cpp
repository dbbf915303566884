// Stand-in for one of the CD's other installers (DirectX, Internet
// Explorer, the Solvane client): records that it was started and says who
// it is. STANDIN_ROLE and STANDIN_TITLE are given by the build.
#include <windows.h>

#include "StandIn.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    standin::Journal(STANDIN_ROLE);
    standin::Tell(STANDIN_TITLE,
                  std::string("This is the demo CD's stand-in for the ") + STANDIN_TITLE +
                      ".\n\nCommand line: " + GetCommandLineA() +
                      "\nCurrent folder: " + standin::CurrentFolder());
    return 0;
}

// Test helper: starts a program as a debuggee and collects its debugger
// output strings, in order, until it exits.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

struct CapturedRun {
    bool started = false;           // CreateProcess succeeded
    DWORD exitCode = 0xFFFFFFFF;    // the debuggee's exit code
    bool crashed = false;           // a second-chance exception ended it
    std::vector<DWORD> exceptions;  // each first-chance exception but the first breakpoint
    std::vector<std::string> lines; // each OutputDebugString call, as written
};

// Runs commandLine (searched like CreateProcessA's) in workDir (or the
// current folder) and collects what it writes with OutputDebugStringA/W.
CapturedRun RunCapturingDebugOutput(const std::string& commandLine,
                                    const std::string& workDir = std::string());

}  // namespace testkit

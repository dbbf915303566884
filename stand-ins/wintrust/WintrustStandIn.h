// Test helper for the stand-in wintrust.dll: puts it into the prefix's
// system folder for a test suite (the tests run with
// WINEDLLOVERRIDES=wintrust=n and hold the "wintrust" lock), puts Wine's own
// copy back afterwards, and reads and writes the stand-in's control file and
// journal.
#pragma once

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "Testkit.h"

namespace wintrust_standin {

inline std::string SystemFile(const char* name) {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

inline std::string Folder() {
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\Temp\\wintrust-standin";
}

// Copies the stand-in over the system folder's wintrust.dll, keeping Wine's.
inline bool Install() {
    const std::string target = SystemFile("wintrust.dll");
    const std::string saved = SystemFile("wintrust.dll.wine");
    if (!testkit::FileExists(saved)) CopyFileA(target.c_str(), saved.c_str(), TRUE);
    const std::string standIn = testkit::BinDir() + "\\..\\stand-ins\\wintrust\\wintrust.dll";
    return CopyFileA(standIn.c_str(), target.c_str(), FALSE) != FALSE;
}

// Puts Wine's own wintrust.dll back.
inline void Restore() {
    const std::string saved = SystemFile("wintrust.dll.wine");
    if (CopyFileA(saved.c_str(), SystemFile("wintrust.dll").c_str(), FALSE))
        DeleteFileA(saved.c_str());
}

// Empties the control file and journal folder.
inline bool Reset() {
    testkit::RemoveTree(Folder());
    return testkit::MakeFolders(Folder());
}

// "trusted", or "reject N CODE": the first N calls answer CODE (hex).
inline bool Control(const std::string& line) {
    return testkit::WriteTextFile(Folder() + "\\control.txt", line + "\n");
}

// One line per WinVerifyTrust call the stand-in received.
inline std::vector<std::string> Journal() {
    std::istringstream in(testkit::ReadTextFile(Folder() + "\\journal.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace wintrust_standin

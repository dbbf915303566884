// The test PKI's files (tools/testpki/make-testpki) and the planted system
// libraries (planted.c) for the Wine-side keyrelay tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>

#include "Testkit.h"

namespace krtest {

// The test publisher's serial number: it signed the test PKI's records.
const char kSerial[] = "4B52C0DE00000100";

// BUILD\testpki\<name>, seen from the test program in BUILD\bin.
inline std::string TestPkiPath(const std::string& name) {
    return testkit::BinDir() + "\\..\\testpki\\" + name;
}

// A fresh folder holding a copy of kr_crypto_probe.exe with planted copies of
// the named system libraries beside it; a planted copy that is ever loaded
// leaves "<dll>.loaded" there.
inline std::string PlantBesideProbe(const std::string& name,
                                    std::initializer_list<const char*> dlls) {
    char temp[MAX_PATH];
    const std::string folder = std::string(temp, GetTempPathA(MAX_PATH, temp)) + name;
    testkit::RemoveTree(folder);
    testkit::MakeFolders(folder);
    for (const char* dll : dlls)
        EXPECT_TRUE(CopyFileA((testkit::BinDir() + "\\..\\planted\\" + dll).c_str(),
                              (folder + "\\" + dll).c_str(), FALSE)) << dll;
    EXPECT_TRUE(CopyFileA(testkit::BinPath("kr_crypto_probe.exe").c_str(),
                          (folder + "\\kr_crypto_probe.exe").c_str(), FALSE));
    return folder;
}

// Runs that probe copy, in its folder, with args; its exit code.
inline DWORD RunProbe(const std::string& folder, const std::string& args) {
    return testkit::RunAndWait("\"" + folder + "\\kr_crypto_probe.exe\" " + args, 60000, folder);
}

}  // namespace krtest

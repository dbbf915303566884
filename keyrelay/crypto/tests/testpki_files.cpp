// Test PKI file helpers; see testpki_files.h.
#include "testpki_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "Testkit.h"

namespace krtest {

std::string TestPkiPath(const std::string& name) {
    return testkit::BinDir() + "\\..\\testpki\\" + name;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

std::string FreshTempFolder(const std::string& name) {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp, n) + name + "-" + std::to_string(GetCurrentProcessId());
    testkit::RemoveTree(folder);
    testkit::MakeFolders(folder);
    return folder;
}

}  // namespace krtest

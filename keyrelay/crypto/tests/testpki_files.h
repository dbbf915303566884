// Paths and contents of the test PKI files (tools/testpki/make-testpki) for
// the Wine-side crypto tests.
#pragma once

#include <string>
#include <vector>

namespace krtest {

// BUILD\testpki\<name>, seen from the test program in BUILD\bin.
std::string TestPkiPath(const std::string& name);
// The whole file; empty when it cannot be read.
std::vector<unsigned char> ReadBytes(const std::string& path);
// A fresh empty folder under the temporary folder, for one test.
std::string FreshTempFolder(const std::string& name);

}  // namespace krtest

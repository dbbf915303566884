// Copies of crypt32.dll and imagehlp.dll planted beside a program are never
// loaded by the bindings, even when Wine is told to prefer native copies
// (WINEDLLOVERRIDES=crypt32,imagehlp=n,b): the system's libraries serve.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Testkit.h"
#include "testpki_files.h"

namespace {

std::string PlantBesideProbe(const std::string& folderName) {
    const std::string folder = krtest::FreshTempFolder(folderName);
    const std::string planted = testkit::BinDir() + "\\..\\planted\\";
    EXPECT_TRUE(
        CopyFileA((planted + "crypt32.dll").c_str(), (folder + "\\crypt32.dll").c_str(), FALSE));
    EXPECT_TRUE(
        CopyFileA((planted + "imagehlp.dll").c_str(), (folder + "\\imagehlp.dll").c_str(), FALSE));
    EXPECT_TRUE(CopyFileA(testkit::BinPath("kr_crypto_probe.exe").c_str(),
                          (folder + "\\kr_crypto_probe.exe").c_str(), FALSE));
    return folder;
}

}  // namespace

TEST(PlantedLibraries, BindingsTakeTheSystemCopiesEitherWay) {
    const std::string folder = PlantBesideProbe("kr-planted");
    const std::string out = folder + "\\result.txt";
    const std::string record = krtest::TestPkiPath("cert-md5.bin");
    const std::string probe = "\"" + folder + "\\kr_crypto_probe.exe\" ";
    EXPECT_EQ(0u, testkit::RunAndWait(probe + "bindings \"" + record + "\" \"" + out + "\"", 60000,
                                      folder));
    // The way taken on systems without LOAD_LIBRARY_SEARCH_SYSTEM32.
    EXPECT_EQ(0u, testkit::RunAndWait(probe + "fallback", 60000, folder));
    EXPECT_FALSE(testkit::FileExists(folder + "\\planted-crypt32.txt"))
        << testkit::ReadTextFile(folder + "\\planted-crypt32.txt");
    EXPECT_FALSE(testkit::FileExists(folder + "\\planted-imagehlp.txt"))
        << testkit::ReadTextFile(folder + "\\planted-imagehlp.txt");
    // The real libraries did the work.
    EXPECT_EQ("serial=4B52C0DE00000100\nverify=00000000\nimage=1\n", testkit::ReadTextFile(out));

    // Control: a bare LoadLibraryA takes the planted copies, so the set-up
    // plants effectively.
    EXPECT_EQ(0u, testkit::RunAndWait(probe + "naive", 60000, folder));
    EXPECT_TRUE(testkit::FileExists(folder + "\\planted-crypt32.txt"));
    EXPECT_TRUE(testkit::FileExists(folder + "\\planted-imagehlp.txt"));
    testkit::RemoveTree(folder);
}

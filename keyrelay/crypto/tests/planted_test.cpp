// Copies of crypt32.dll and imagehlp.dll planted beside a program are never
// loaded by the bindings, even when Wine is told to prefer native copies
// (WINEDLLOVERRIDES=crypt32,imagehlp=n,b): the system's libraries serve.
#include <gtest/gtest.h>

#include "testpki_files.h"

TEST(PlantedLibraries, BindingsTakeTheSystemCopiesEitherWay) {
    const std::string folder = krtest::PlantBesideProbe("kr-planted", {"crypt32.dll", "imagehlp.dll"});
    // The real libraries did the work: the serial, the signature, the image.
    EXPECT_EQ(0u, krtest::RunProbe(folder, "bindings \"" + krtest::TestPkiPath("cert-md5.bin") +
                                               "\" 4B52C0DE00000100"));
    // The way taken on systems without LOAD_LIBRARY_SEARCH_SYSTEM32.
    EXPECT_EQ(0u, krtest::RunProbe(folder, "fallback"));
    for (const char* dll : {"crypt32.dll", "imagehlp.dll"})
        EXPECT_EQ("", testkit::ReadTextFile(folder + "\\" + dll + ".loaded")) << dll;

    // Control: a bare LoadLibraryA takes the planted copies, so the set-up
    // plants effectively.
    EXPECT_EQ(0u, krtest::RunProbe(folder, "naive"));
    for (const char* dll : {"crypt32.dll", "imagehlp.dll"})
        EXPECT_TRUE(testkit::FileExists(folder + "\\" + dll + ".loaded")) << dll;
    testkit::RemoveTree(folder);
}

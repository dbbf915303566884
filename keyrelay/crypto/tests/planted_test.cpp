// Copies of crypt32.dll and imagehlp.dll planted beside a program are never
// loaded by the bindings, even when Wine is told to prefer native copies
// (WINEDLLOVERRIDES=crypt32,imagehlp,dbghelp=n,b): the system's libraries
// serve. Nor is dbghelp.dll, which the system's IMAGEHLP imports.

#include "testpki_files.h"

TEST(PlantedLibraries, BindingsTakeTheSystemCopiesEitherWay) {
    const char* const dlls[] = {"crypt32.dll", "imagehlp.dll", "dbghelp.dll"};
    const std::string folder = krtest::PlantBesideProbe("kr-planted", {dlls[0], dlls[1], dlls[2]});
    // The image check binds both (Wine's own trust decision answers at random:
    // its outcome is left open), and the way taken on systems without
    // LOAD_LIBRARY_SEARCH_SYSTEM32.
    krtest::RunProbe(folder, "verify \"" + krtest::TestPkiPath("image-signed.exe") + "\"");
    EXPECT_EQ(0u, krtest::RunProbe(folder, "fallback"));
    for (const char* dll : dlls)
        EXPECT_FALSE(testkit::FileExists(folder + "\\" + dll + ".loaded")) << dll;
    // Controls: a bare LoadLibraryA takes the planted copies, and a full path
    // alone takes the planted import, so the set-up plants effectively.
    EXPECT_EQ(0u, krtest::RunProbe(folder, "naive"));
    EXPECT_EQ(0u, krtest::RunProbe(folder, "fullpath"));
    for (const char* dll : dlls)
        EXPECT_TRUE(testkit::FileExists(folder + "\\" + dll + ".loaded")) << dll;
    testkit::RemoveTree(folder);
}

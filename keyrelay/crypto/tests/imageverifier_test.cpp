// The own-image check on the signed test images, with the stand-in
// wintrust.dll in the prefix's system folder (WINEDLLOVERRIDES=wintrust=n)
// answering from its control file and journalling each call.
#include "ImageVerifier.h"

#include <vector>

#include "LibraryBindings.h"
#include "testpki_files.h"
#include "WintrustStandIn.h"

namespace {

const auto Pki = &krtest::TestPkiPath;

class StandInTrust : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(wintrust_standin::Install()) << GetLastError(); }
    static void TearDownTestSuite() {
        wintrust_standin::Restore();
        testkit::RemoveTree(wintrust_standin::Folder());
    }
    // A fresh journal and the stand-in's answers.
    static void Trust(const std::string& line) {
        ASSERT_TRUE(wintrust_standin::Reset());
        ASSERT_TRUE(wintrust_standin::Control(line));
    }
};

}  // namespace

TEST_F(StandInTrust, OnlyASignatureThatVerifiesReachesTheTrustCallsUntilTrusted) {
    const struct {
        std::string path, trust;
        bool verified;
        size_t trustCalls;
    } rows[] = {
        {Pki("image-signed.exe"), "trusted", true, 1},
        {Pki("image-signed.exe"), "reject 3 800B0004", true, 4},
        {Pki("image-unsigned.exe"), "trusted", false, 0},
        {"C:\\no\\such\\image.exe", "trusted", false, 0},
        {"", "trusted", false, 0},
        // A signed cabinet is no image: IMAGEHLP finds no attribute certificate.
        {Pki("signed-md5.cab"), "trusted", false, 0},
        // The first of several certificates is judged: valid first, a second
        // one without its signer certificate passes; a broken first fails.
        {Pki("image-twocerts.exe"), "trusted", true, 1},
        {Pki("image-badfirst.exe"), "trusted", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path + " " + row.trust);
        Trust(row.trust);
        {
            UImageFile image;
            image.Open(std::wstring(row.path.begin(), row.path.end()));  // ASCII paths
            UImageVerifier verifier(image);
            EXPECT_EQ(1, UImageHlpLibrary::ReferenceCount());
            EXPECT_EQ(row.verified, verifier.Verify());
        }
        EXPECT_EQ(0, UImageHlpLibrary::ReferenceCount());
        EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
        // Every call: the old action without UI, with its subject: the file
        // read through the open handle, which no one can rename meanwhile.
        const std::vector<std::string> journal = wintrust_standin::Journal();
        EXPECT_EQ(row.trustCalls, journal.size());
        for (const std::string& call : journal)
            EXPECT_EQ("{C6B2E8D0-E005-11CF-A134-00C04FD7BF43} hwnd=FFFFFFFF "
                      "subject={43C9A1E0-8DA0-11CF-8736-00AA00A485EB} path=" + row.path +
                      " handle=file renamable=no", call);
    }
}

TEST_F(StandInTrust, PlantedWintrustBesideTheProgramIsNeverLoaded) {
    Trust("reject 1 800B0004");
    const std::string folder = krtest::PlantBesideProbe("kr-planted-wintrust", {"wintrust.dll"});
    EXPECT_EQ(
        0u, krtest::RunProbe(folder, "verify \"" + krtest::TestPkiPath("image-signed.exe") + "\""));
    EXPECT_FALSE(testkit::FileExists(folder + "\\wintrust.dll.loaded"));
    // The stand-in in the system folder answered (rejected once, then trusted).
    EXPECT_EQ(2u, wintrust_standin::Journal().size());
    // Control: a bare LoadLibraryA would have taken the planted copy.
    EXPECT_EQ(0u, krtest::RunProbe(folder, "naive"));
    EXPECT_TRUE(testkit::FileExists(folder + "\\wintrust.dll.loaded"));
    testkit::RemoveTree(folder);
}

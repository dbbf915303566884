// The own-image check on the signed test images, with the stand-in
// wintrust.dll in the prefix's system folder (WINEDLLOVERRIDES=wintrust=n)
// answering from its control file and journalling each call.
#include "ImageVerifier.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "LibraryBindings.h"
#include "Testkit.h"
#include "testpki_files.h"
#include "WintrustStandIn.h"

namespace {

using wintrust_standin::Journal;

class StandInTrust : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(wintrust_standin::Install()) << GetLastError(); }
    static void TearDownTestSuite() { wintrust_standin::Restore(); }
    void SetUp() override { ASSERT_TRUE(wintrust_standin::Reset()); }
    void TearDown() override { testkit::RemoveTree(wintrust_standin::Folder()); }

    static void Control(const std::string& line) { ASSERT_TRUE(wintrust_standin::Control(line)); }
};

const char kActionAndSubject[] =
    "{C6B2E8D0-E005-11CF-A134-00C04FD7BF43} hwnd=FFFFFFFF "
    "subject={43C9A1E0-8DA0-11CF-8736-00AA00A485EB} path=";

}  // namespace

TEST_F(StandInTrust, TrustedImagePassesRejectedCallsAreRetried) {
    // Trusted at the first call: one call, the old action with its subject.
    Control("trusted");
    const std::string image = krtest::TestPkiPath("image-signed.exe");
    {
        UImageVerifier verifier(image.c_str());
        EXPECT_EQ(1, UImageHlpLibrary::ReferenceCount());
        EXPECT_TRUE(verifier.Verify());
    }
    EXPECT_EQ(0, UImageHlpLibrary::ReferenceCount());
    EXPECT_EQ(0, UCrypt32Library::ReferenceCount());
    std::vector<std::string> journal = Journal();
    ASSERT_EQ(1u, journal.size());
    EXPECT_EQ(kActionAndSubject + image, journal[0]);

    // Rejected three times, then trusted.
    ASSERT_TRUE(wintrust_standin::Reset());
    Control("reject 3 800B0004");
    EXPECT_TRUE(UImageVerifier(image.c_str()).Verify());
    EXPECT_EQ(4u, Journal().size());
}

TEST_F(StandInTrust, UnsignedImageFailsBeforeAnyTrustCall) {
    Control("trusted");
    EXPECT_FALSE(UImageVerifier(krtest::TestPkiPath("image-unsigned.exe").c_str()).Verify());
    EXPECT_FALSE(UImageVerifier("").Verify());
    EXPECT_FALSE(UImageVerifier(nullptr).Verify());
    EXPECT_FALSE(UImageVerifier("C:\\no\\such\\image.exe").Verify());
    // A signed cabinet is no image: IMAGEHLP finds no attribute certificate.
    EXPECT_FALSE(UImageVerifier(krtest::TestPkiPath("signed-md5.cab").c_str()).Verify());
    EXPECT_TRUE(Journal().empty());
}

TEST_F(StandInTrust, TheFirstOfSeveralCertificatesIsJudged) {
    Control("trusted");
    // Valid first, a second one whose signer certificate is missing: passes.
    EXPECT_TRUE(UImageVerifier(krtest::TestPkiPath("image-twocerts.exe").c_str()).Verify());
    EXPECT_EQ(1u, Journal().size());
    // A broken signature first, the valid one second: fails before trust.
    EXPECT_FALSE(UImageVerifier(krtest::TestPkiPath("image-badfirst.exe").c_str()).Verify());
    EXPECT_EQ(1u, Journal().size());
}

TEST_F(StandInTrust, PlantedWintrustBesideTheProgramIsNeverLoaded) {
    Control("reject 1 800B0004");
    const std::string folder = krtest::PlantBesideProbe("kr-planted-wintrust", {"wintrust.dll"});
    EXPECT_EQ(0u, krtest::RunProbe(folder, "verify \"" + krtest::TestPkiPath("image-signed.exe") + "\""));
    EXPECT_EQ("", testkit::ReadTextFile(folder + "\\wintrust.dll.loaded"));
    // The stand-in in the system folder answered (rejected once, then trusted).
    EXPECT_EQ(2u, Journal().size());
    // Control: a bare LoadLibraryA would have taken the planted copy.
    EXPECT_EQ(0u, krtest::RunProbe(folder, "naive"));
    EXPECT_TRUE(testkit::FileExists(folder + "\\wintrust.dll.loaded"));
    testkit::RemoveTree(folder);
}

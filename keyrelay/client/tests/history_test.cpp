// The update history through the client stand-in's path provider: the file,
// the registry value, the null-path case and a failing provider.
#include "RecordHistory.h"
#include "UClientPaths.h"
#include "WrapperFixture.h"
#include "testpki_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kTarget[] = "/com/solvanenetwork";
// The serial number of the test publisher, who signed the test PKI's records.
const char kSerial[] = "4B52C0DE00000100";

// A certificate record file as the run holds it: a byte BSTR.
scoped::Bstr Certificate(const char* name = "cert-md5.bin") {
    const std::vector<unsigned char> bytes = krtest::ReadBytes(krtest::TestPkiPath(name));
    EXPECT_FALSE(bytes.empty()) << name;
    return scoped::Bstr(::SysAllocStringByteLen(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<UINT>(bytes.size())));
}

class History : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        testkit::DeleteKeyTree(HKEY_LOCAL_MACHINE, kHistoryRegistryKey);
        folder_ = Dir() + "\\History";
    }
    void TearDown() override { testkit::DeleteKeyTree(HKEY_LOCAL_MACHINE, kHistoryRegistryKey); }

    std::string File() const { return folder_ + "\\RerAZuva.dat"; }
    static std::string Ini(const std::string& file, const char* section, const char* key) {
        char value[2048] = "";
        ::GetPrivateProfileStringA(section, key, "<absent>", value, sizeof(value), file.c_str());
        return value;
    }
    static std::string Registry(const std::string& name) {
        std::string value = "<absent>";
        testkit::ReadString(HKEY_LOCAL_MACHINE, kHistoryRegistryKey, name, &value);
        return value;
    }
    // The stamp at the end of an entry (after its third ';').
    static std::string StampOf(const std::string& entry) {
        size_t at = 0;
        for (int i = 0; i < 3 && at != std::string::npos; ++i) at = entry.find(';', at == 0 ? 0 : at + 1);
        return at == std::string::npos ? std::string() : entry.substr(at + 1);
    }

    std::string folder_;
};

}  // namespace

TEST_F(History, FirstRunCreatesFileAndRegistryValue) {
    char date[128] = "";
    ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, date, sizeof(date));
    RecordHistory(Certificate().get(), "add", kTarget);

    EXPECT_EQ("1", Ini(File(), "History", "Count"));
    const std::string entry = Ini(File(), "History", "Log0");
    EXPECT_EQ(0u, entry.find(std::string("/com/solvanenetwork;add;") + kSerial + ";")) << entry;
    const std::string stamp = StampOf(entry);
    EXPECT_EQ(0u, stamp.find(std::string(date) + " ")) << stamp;  // the user's short date, then the time
    EXPECT_GT(stamp.size(), std::string(date).size() + 1);
    EXPECT_EQ(stamp, Ini(File(), "Comments", "LastTouched"));
    EXPECT_EQ("Log0", Registry(std::string("/com/solvanenetwork;add;") + kSerial));
    EXPECT_EQ(1u, Count("ClientPaths#1 GetPath(5) = 0x00000000"));
    ExpectAllReleased();
}

TEST_F(History, ThirdRunAndTheNewestEntryInTheRegistry) {
    const scoped::Bstr certificate = Certificate();
    RecordHistory(certificate.get(), "add", kTarget);
    RecordHistory(certificate.get(), "revoke", kTarget);
    RecordHistory(certificate.get(), "add", kTarget);

    const std::string add = std::string("/com/solvanenetwork;add;") + kSerial;
    const std::string revoke = std::string("/com/solvanenetwork;revoke;") + kSerial;
    EXPECT_EQ("3", Ini(File(), "History", "Count"));
    EXPECT_EQ(0u, Ini(File(), "History", "Log1").find(revoke + ";"));
    const std::string third = Ini(File(), "History", "Log2");
    EXPECT_EQ(0u, third.find(add + ";")) << third;
    EXPECT_EQ(StampOf(third), Ini(File(), "Comments", "LastTouched"));
    // The same target, action and certificate: one value naming the newest entry.
    EXPECT_EQ("Log2", Registry(add));
    EXPECT_EQ("Log1", Registry(revoke));
    ExpectAllReleased();
}

TEST_F(History, NonNumericCountIsOverwrittenFromZero) {
    testkit::MakeFolders(folder_);
    ::WritePrivateProfileStringA("History", "Count", "many", File().c_str());
    ::WritePrivateProfileStringA("History", "Log0", "old", File().c_str());
    // A record that does not decode is still recorded, as "Error".
    RecordHistory(Certificate("cert-notsigned.bin").get(), "delete", "/");
    EXPECT_EQ("1", Ini(File(), "History", "Count"));
    EXPECT_EQ(0u, Ini(File(), "History", "Log0").find("/;delete;Error;"));
    EXPECT_EQ("Log0", Registry("/;delete;Error"));
}

TEST_F(History, NullPathWritesAtTheRootOfTheCurrentDrive) {
    Control("Paths", "5", "<null>");
    char saved[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryA("C:\\windows"));
    ::DeleteFileA("C:\\RerAZuva.dat");
    RecordHistory(Certificate().get(), "add", kTarget);
    ::SetCurrentDirectoryA(saved);

    EXPECT_EQ("1", Ini("C:\\RerAZuva.dat", "History", "Count"));
    EXPECT_EQ(0u, Ini("C:\\RerAZuva.dat", "History", "Log0")
                      .find(std::string("/com/solvanenetwork;add;") + kSerial + ";"));
    EXPECT_EQ("Log0", Registry(std::string("/com/solvanenetwork;add;") + kSerial));
    ::DeleteFileA("C:\\RerAZuva.dat");
    ExpectAllReleased();
}

TEST_F(History, FailingPathProviderWritesNothing) {
    Control("Fail", "ClientPaths.GetPath", "0x80004005");
    RecordHistory(Certificate().get(), "add", kTarget);
    Control("Fail", "ClientPaths.GetPath", "0");
    Control("Classes", "ClientPaths", "0");
    RecordHistory(Certificate().get(), "add", kTarget);

    EXPECT_FALSE(testkit::FileExists(File()));
    EXPECT_EQ("<absent>", Registry(std::string("/com/solvanenetwork;add;") + kSerial));
    EXPECT_EQ(1u, Count("GetPath(5) = 0x80004005"));
    EXPECT_EQ(1u, Count("create ClientPaths IID_IClientPaths = 0x80040154"));
    ExpectAllReleased();
}

TEST_F(History, PathProviderWrapper) {
    UClientPaths paths;
    std::string out = "stale";
    EXPECT_EQ(S_OK, paths.GetPath(5, out));
    EXPECT_EQ(folder_, out);
    EXPECT_EQ(E_INVALIDARG, paths.GetPath(4, out));
    EXPECT_EQ("", out);
    Control("Paths", "5", "<null>");
    out = "stale";
    EXPECT_EQ(S_OK, paths.GetPath(5, out));
    EXPECT_EQ("", out);
    // One provider for all calls.
    EXPECT_EQ(1u, Count("create ClientPaths"));
}

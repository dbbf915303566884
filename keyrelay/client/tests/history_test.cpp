// The update history through the client stand-in's path provider (and so
// the provider's wrapper): the file, the registry value, the null-path case
// and a failing provider.
#include "RecordHistory.h"
#include "StandInFixture.h"
#include "testpki_files.h"

namespace {

const char kTarget[] = "/com/solvanenetwork";
const std::string kAdd = std::string("/com/solvanenetwork;add;") + krtest::kSerial;

// A certificate record file as the run holds it: a byte BSTR.
scoped::Bstr Certificate(const char* name = "cert-md5.bin") {
    const std::vector<unsigned char> bytes = testkit::ReadBytes(krtest::TestPkiPath(name));
    return scoped::Bstr(::SysAllocStringByteLen(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<UINT>(bytes.size())));
}

using UpdateHistory = standin::Fixture;
using standin::HistoryValue;

}  // namespace

TEST_F(UpdateHistory, EntriesCountAndTheNewestEntryPerValue) {
    char date[128] = "";
    ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, date, sizeof(date));
    const scoped::Bstr certificate = Certificate();
    RecordHistory(certificate.get(), "add", kTarget);
    const std::string first = History("History", "Log0");
    EXPECT_EQ(0u, first.find(kAdd + ";" + date + " "))
        << first;  // the user's short date, then the time
    EXPECT_GT(first.size(), kAdd.size() + std::string(date).size() + 2);

    RecordHistory(certificate.get(), "revoke", kTarget);
    RecordHistory(certificate.get(), "add", kTarget);
    EXPECT_EQ("3", History("History", "Count"));
    const std::string third = History("History", "Log2");
    EXPECT_EQ(0u, third.find(kAdd + ";")) << third;
    EXPECT_EQ(third.substr(kAdd.size() + 1), History("Comments", "LastTouched"));
    // The same target, action and certificate: one value naming the newest entry.
    EXPECT_EQ("Log2", HistoryValue(kAdd));
    EXPECT_EQ("Log1", HistoryValue(std::string("/com/solvanenetwork;revoke;") + krtest::kSerial));
}

TEST_F(UpdateHistory, NonNumericCountIsOverwrittenFromZero) {
    testkit::MakeFolders(Dir() + "\\History");
    ::WritePrivateProfileStringA("History", "Count", "many", HistoryFile().c_str());
    ::WritePrivateProfileStringA("History", "Log0", "old", HistoryFile().c_str());
    // A record that does not decode is still recorded, as "Error".
    RecordHistory(Certificate("cert-notsigned.bin").get(), "delete", "/");
    EXPECT_EQ("1", History("History", "Count"));
    EXPECT_EQ(0u, History("History", "Log0").find("/;delete;Error;"));
    EXPECT_EQ("Log0", HistoryValue("/;delete;Error"));
}

TEST_F(UpdateHistory, NullPathWritesAtTheRootOfTheCurrentDrive) {
    Control("Paths", "5", "<null>");
    ASSERT_TRUE(::SetCurrentDirectoryA("C:\\windows"));
    ::DeleteFileA("C:\\RerAZuva.dat");
    RecordHistory(Certificate().get(), "add", kTarget);
    EXPECT_EQ(0u, standin::Ini("C:\\RerAZuva.dat", "History", "Log0").find(kAdd + ";"));
    EXPECT_EQ("Log0", HistoryValue(kAdd));
    ::DeleteFileA("C:\\RerAZuva.dat");
}

TEST_F(UpdateHistory, FailingPathProviderWritesNothing) {
    Control("Fail", "ClientPaths.GetPath", "0x80004005");
    RecordHistory(Certificate().get(), "add", kTarget);
    Control("Classes", "ClientPaths", "0");
    RecordHistory(Certificate().get(), "add", kTarget);

    EXPECT_FALSE(testkit::FileExists(HistoryFile()));
    EXPECT_EQ("<absent>", HistoryValue(kAdd));
    EXPECT_EQ(1u, Count("GetPath(5) = 0x80004005"));
    EXPECT_EQ(1u, Count("create ClientPaths IID_IClientPaths = 0x80040154"));
}

// The client stand-in seen from a COM client: registration with regsvr32,
// creation through CoCreateInstance, each method called at its fixed vtable
// position, the control file's switches and the journal.
#include "ClientInterfaces.h"
#include "Scoped.h"
#include "StandInFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Calls entry `slot` of the object's function table directly, so that the
// positions are checked independently of the C++ declarations.
template <typename... A>
HRESULT CallAt(void* object, int slot, A... args) {
    using Fn = HRESULT(STDMETHODCALLTYPE*)(void*, A...);
    Fn fn = reinterpret_cast<Fn>((*reinterpret_cast<void***>(object))[slot]);
    return fn(object, args...);
}

template <typename T>
HRESULT Create(const CLSID& clsid, const IID& iid, scoped::ComPtr<T>& out) {
    return ::CoCreateInstance(clsid, nullptr, kClientClassContext, iid, out.put_void());
}

scoped::Bstr B(const wchar_t* text) { return scoped::Bstr(::SysAllocString(text)); }

std::wstring NarrowOf(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring W(BSTR b) { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(L"<null>"); }

using Expected = std::vector<std::string>;

class StandIn : public standin::Fixture {
protected:
    scoped::ComApartment com_;
};

}  // namespace

TEST_F(StandIn, RegistersPerMachineAndUnregisters) {
    const std::string key = "Software\\Classes\\CLSID\\{793E5AD4-D219-11D1-A0F6-444553540000}\\InprocServer32";
    std::string server;
    ASSERT_TRUE(testkit::ReadString(HKEY_LOCAL_MACHINE, key, "", &server));
    EXPECT_EQ(0, lstrcmpiA(standin::DllPath().c_str(), server.c_str())) << server;
    std::string model;
    ASSERT_TRUE(testkit::ReadString(HKEY_LOCAL_MACHINE, key, "ThreadingModel", &model));
    EXPECT_EQ("Apartment", model);

    ASSERT_EQ(0u, standin::Register(true));
    EXPECT_FALSE(testkit::ValueExists(HKEY_LOCAL_MACHINE, key, ""));
    scoped::ComPtr<IClientPaths> paths;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(CLSID_ClientPaths, IID_IClientPaths, paths));
    ASSERT_EQ(0u, standin::Register());
    EXPECT_EQ(S_OK, Create(CLSID_ClientPaths, IID_IClientPaths, paths));
}

TEST_F(StandIn, CertificateManagerKeepsRecordsPerPath) {
    scoped::ComPtr<ICertificateManager> manager;
    ASSERT_EQ(S_OK, Create(CLSID_CertificateManager, IID_ICertificateManager, manager));
    const char bytes[] = {0x10, 0x00, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 'a', 'b'};
    scoped::Bstr record(::SysAllocStringByteLen(bytes, sizeof(bytes)));
    scoped::Bstr path = B(L"/com/solvanenetwork");
    scoped::Bstr root = B(L"/");

    EXPECT_EQ(S_OK, CallAt(manager.get(), 7, path.get(), 0L, record.get()));
    EXPECT_EQ(S_OK, CallAt(manager.get(), 7, root.get(), 0L, record.get()));
    const std::string fnv = "9B3B759EAF4881F2";  // FNV-1a 64 of the ten bytes
    const std::string stored = Dir() + "\\Certificates\\_com_solvanenetwork\\" + fnv + ".bin";
    ASSERT_TRUE(testkit::FileExists(stored));
    EXPECT_EQ(std::string(bytes, sizeof(bytes)), testkit::ReadTextFile(stored));
    EXPECT_TRUE(testkit::FileExists(Dir() + "\\Certificates\\_\\" + fnv + ".bin"));

    EXPECT_EQ(S_OK, CallAt(manager.get(), 9, path.get(), 0L, record.get()));
    EXPECT_FALSE(testkit::FileExists(stored));
    EXPECT_TRUE(testkit::FileExists(Dir() + "\\Certificates\\_com_solvanenetwork\\revoked\\" + fnv + ".bin"));
    EXPECT_EQ(S_OK, CallAt(manager.get(), 8, root.get(), 0L, record.get()));
    EXPECT_FALSE(testkit::FileExists(Dir() + "\\Certificates\\_\\" + fnv + ".bin"));

    Control("Fail", "CertificateManager.DeleteCertificate", "0x80070005");
    EXPECT_EQ(E_ACCESSDENIED, manager->DeleteCertificate(path.get(), 0, record.get()));
    manager.reset();

    const std::string rec = "bytes(len=10,fnv1a=" + fnv + ")";
    EXPECT_EQ((Expected{
                  "create CertificateManager IID_ICertificateManager = 0x00000000",
                  "CertificateManager AddCertificate(\"/com/solvanenetwork\", 0, " + rec + ") = 0x00000000 -> stored",
                  "CertificateManager AddCertificate(\"/\", 0, " + rec + ") = 0x00000000 -> stored",
                  "CertificateManager RevokeCertificate(\"/com/solvanenetwork\", 0, " + rec + ") = 0x00000000 -> revoked",
                  "CertificateManager DeleteCertificate(\"/\", 0, " + rec + ") = 0x00000000 -> deleted",
                  "CertificateManager DeleteCertificate(\"/com/solvanenetwork\", 0, " + rec + ") = 0x80070005",
              }),
              Calls());
    ExpectAllReleased();
}

// Each method the tool calls answers at its position, whatever the C++
// declarations say. What the wrappers make of the answers (and the journal
// lines they cause) is tested with the wrappers.
TEST_F(StandIn, EveryUsedMethodAnswersAtItsPosition) {
    Control("Relationships", "/com/solvanenetwork", "Solvane Network");
    scoped::Bstr path = B(L"/com/solvanenetwork");
    scoped::Bstr name;

    scoped::ComPtr<IRelationshipManager> manager;
    ASSERT_EQ(S_OK, Create(CLSID_RelationshipManager, IID_IRelationshipManager, manager));
    EXPECT_EQ(S_OK, CallAt(manager.get(), 8));  // Initialize
    EXPECT_EQ(S_OK, CallAt(manager.get(), 10, path.get(), name.put()));  // LookupCompanyName
    EXPECT_EQ(L"Solvane Network", W(name.get()));
    scoped::ComPtr<IRelationships> all;
    ASSERT_EQ(S_OK, CallAt(manager.get(), 7, all.put()));  // get_Relationships
    VARIANT index;
    ::VariantInit(&index);
    index.vt = VT_BSTR;
    index.bstrVal = ::SysAllocString(L"/com/solvanenetwork");
    scoped::ComPtr<IDispatch> item;
    ASSERT_EQ(S_OK, CallAt(all.get(), 10, &index, item.put()));  // get_Item
    ::VariantClear(&index);
    scoped::ComPtr<IRelationship> relationship;
    ASSERT_EQ(S_OK, item.As(IID_IRelationship, relationship));
    EXPECT_EQ(S_OK, CallAt(relationship.get(), 7, name.put()));  // get_CompanyName
    EXPECT_EQ(L"Solvane Network", W(name.get()));
    EXPECT_EQ(S_OK, CallAt(manager.get(), 9));  // Uninitialize

    scoped::ComPtr<ILogger> logger;
    ASSERT_EQ(S_OK, Create(CLSID_Logger, IID_ILogger, logger));
    // Texts are journalled with escapes for quotes, backslashes and non-ASCII.
    scoped::Bstr source = B(L"Dizevedi Zivuzid"), message = B(L"Caf\u00E9 \"x\" \\ done");
    EXPECT_EQ(S_OK, CallAt(logger.get(), 10, 19L, 76L, 0L, path.get(), source.get(), message.get()));
    scoped::ComPtr<IOldLogger> old;
    ASSERT_EQ(S_OK, logger.As(Old_IID_ILogger, old));
    EXPECT_EQ(S_OK, CallAt(old.get(), 13, message.get()));                // LogSolvaneComponent
    EXPECT_EQ(S_OK, CallAt(old.get(), 22, source.get(), message.get()));  // LogError
    const std::string m = "\"Caf\\u00E9 \\\"x\\\" \\\\ done\"";
    EXPECT_EQ((Expected{
                  "Log 19 76 0 \"/com/solvanenetwork\" \"Dizevedi Zivuzid\" " + m,
                  "LogSolvaneComponent " + m,
                  "LogError \"Dizevedi Zivuzid\" " + m,
              }),
              ClientLog());

    scoped::ComPtr<IClientPaths> paths;
    ASSERT_EQ(S_OK, Create(CLSID_ClientPaths, IID_IClientPaths, paths));
    EXPECT_EQ(S_OK, CallAt(paths.get(), 9, 5L, name.put()));  // GetPath
    EXPECT_EQ(NarrowOf(Dir() + "\\History"), W(name.get()));
    EXPECT_TRUE(testkit::FolderExists(Dir() + "\\History"));

    relationship.reset();
    item.reset();
    all.reset();
    manager.reset();
    old.reset();
    logger.reset();
    paths.reset();
    EXPECT_EQ(0u, Count("Unused"));
    ExpectAllReleased();
}

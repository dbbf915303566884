// The client stand-in seen from a COM client: each method, reached through
// CoCreateInstance after regsvr32, called at its fixed vtable position.
#include "ClientInterfaces.h"
#include "Conversions.h"
#include "StandInFixture.h"

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

using StandIn = standin::Fixture;

}  // namespace

// Each method the tool calls answers at its position, whatever the C++
// declarations say. What the wrappers make of the answers (and the journal
// lines they cause) is tested with the wrappers; that every object is
// released, by the fixture.
TEST_F(StandIn, EveryUsedMethodAnswersAtItsPosition) {
    scoped::Bstr path = B(L"/com/solvanenetwork");
    scoped::Bstr name;

    scoped::ComPtr<IRelationshipManager> manager;
    ASSERT_EQ(S_OK, Create(CLSID_RelationshipManager, IID_IRelationshipManager, manager));
    EXPECT_EQ(S_OK, CallAt(manager.get(), 8));  // Initialize
    EXPECT_EQ(S_OK, CallAt(manager.get(), 10, path.get(), name.put()));  // LookupCompanyName
    EXPECT_EQ("Solvane Network", BstrToNarrow(name.get()));
    scoped::ComPtr<IRelationships> all;
    ASSERT_EQ(S_OK, CallAt(manager.get(), 7, all.put()));  // get_Relationships
    VARIANT index{};
    index.vt = VT_BSTR;
    index.bstrVal = path.get();
    scoped::ComPtr<IDispatch> item;
    ASSERT_EQ(S_OK, CallAt(all.get(), 10, &index, item.put()));  // get_Item
    scoped::ComPtr<IRelationship> relationship;
    ASSERT_EQ(S_OK, item.As(IID_IRelationship, relationship));
    EXPECT_EQ(S_OK, CallAt(relationship.get(), 7, name.put()));  // get_CompanyName
    EXPECT_EQ("Solvane Network", BstrToNarrow(name.get()));
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
    EXPECT_EQ((std::vector<std::string>{
                  "Log 19 76 0 \"/com/solvanenetwork\" \"Dizevedi Zivuzid\" " + m,
                  "LogSolvaneComponent " + m,
                  "LogError \"Dizevedi Zivuzid\" " + m,
              }),
              ClientLog());

    // The certificate methods by position; their journal lines name them.
    scoped::ComPtr<ICertificateManager> certificates;
    ASSERT_EQ(S_OK, Create(CLSID_CertificateManager, IID_ICertificateManager, certificates));
    const char* const methods[] = {"AddCertificate(", "DeleteCertificate(", "RevokeCertificate("};
    for (int slot = 7; slot <= 9; ++slot) {
        EXPECT_EQ(S_OK, CallAt(certificates.get(), slot, path.get(), 0L, source.get()));
        EXPECT_EQ(1u, Count(methods[slot - 7])) << slot;
    }

    scoped::ComPtr<IClientPaths> paths;
    ASSERT_EQ(S_OK, Create(CLSID_ClientPaths, IID_IClientPaths, paths));
    EXPECT_EQ(S_OK, CallAt(paths.get(), 9, 5L, name.put()));  // GetPath
    EXPECT_EQ(Dir() + "\\History", BstrToNarrow(name.get()));
    EXPECT_TRUE(testkit::FolderExists(Dir() + "\\History"));
    EXPECT_EQ(0u, Count("Unused"));
}

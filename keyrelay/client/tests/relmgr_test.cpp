// The relationship lookup through the client stand-in: which interface is
// asked, that every failure gives an empty name, and that Uninitialize and
// Release are each called exactly as often as they should be.
#include "Conversions.h"
#include "StandInFixture.h"
#include "URelMgrWrapper.h"

#include <cstring>

namespace {

const char kPath[] = "/com/solvanenetwork";
using standin::Expected;

class Lookup : public standin::Fixture {
protected:
    // GetRelationshipCompanyName as the run flow calls it: a buffer (of 256
    // chars there) holding the default name; bytes after it stay untouched.
    std::string Name(const char* path = kPath, size_t size = 256) {
        scoped::Bstr target(path ? NarrowToBstr(path) : nullptr);
        std::vector<char> buffer(size + 4, 'X');
        std::strncpy(buffer.data(), "relationship", size);
        GetRelationshipCompanyName(::GetModuleHandleA(nullptr), target.get(), buffer.data(), size);
        EXPECT_EQ("XXXX", std::string(buffer.data() + size, 4)) << "written past the buffer";
        return std::string(buffer.data(), strnlen(buffer.data(), size));
    }
};

}  // namespace

// The current interface first; without it, the old one's collection.
TEST_F(Lookup, CurrentInterfaceFirstThenTheOldOnesCollection) {
    const Expected rows[] = {
        {"create RelationshipManager IID_IRelationshipManager = 0x00000000",
         "RelationshipManager Initialize() = 0x00000000",
         "RelationshipManager LookupCompanyName(\"/com/solvanenetwork\") = 0x00000000 -> \"Solvane Network\"",
         "RelationshipManager Uninitialize() = 0x00000000"},
        {"create RelationshipManager IID_IRelationshipManager = 0x80004002",
         "create RelationshipManager Old_IID_IRelationshipManager = 0x00000000",
         "RelationshipManager Initialize() = 0x00000000",
         "RelationshipManager get_Relationships() = 0x00000000 -> Relationships",
         "Relationships get_Item(VT_BSTR \"/com/solvanenetwork\") = 0x00000000 -> Relationship",
         "Relationship get_CompanyName() = 0x00000000 -> \"Solvane Network\"",
         "RelationshipManager Uninitialize() = 0x00000000"},
    };
    for (const Expected& calls : rows) {
        EXPECT_EQ("Solvane Network", Name());
        EXPECT_EQ(calls, Calls());
        ExpectAllReleased();
        ::DeleteFileA((Dir() + "\\journal.txt").c_str());
        Control("Interfaces", "IID_IRelationshipManager", "0");
    }
}

// Each failure gives the empty name; Uninitialize follows only a successful
// Initialize, once; no fall-back beyond the old interface.
TEST_F(Lookup, EveryFailureGivesAnEmptyName) {
    const struct {
        bool old;                  // the current interface switched off
        const char *section, *key;  // the failing call or missing interface
        const char* path;
        const char* seen;  // in the journal
        size_t uninitialized;
    } rows[] = {
        {false, "Fail", "RelationshipManager.Initialize", kPath, "Initialize() = 0x80004005", 0},
        {true, "Fail", "RelationshipManager.Initialize", kPath, "Initialize() = 0x80004005", 0},
        {false, "", "", "/com/unknown", "LookupCompanyName(\"/com/unknown\") = 0x80070490", 1},
        {true, "Fail", "RelationshipManager.get_Relationships", kPath, "get_Relationships() = 0x80004005", 1},
        {true, "Fail", "Relationships.get_Item", kPath, "get_Item(VT_BSTR \"/com/solvanenetwork\") = 0x80004005", 1},
        {true, "Fail", "Relationship.get_CompanyName", kPath, "get_CompanyName() = 0x80004005", 1},
        {true, "Interfaces", "IID_IRelationship", kPath, "QueryInterface(IID_IRelationship) = 0x80004002", 1},
        {true, "Classes", "RelationshipManager", kPath, "Old_IID_IRelationshipManager = 0x80040154", 0},
    };
    for (const auto& row : rows) {
        ::DeleteFileA((Dir() + "\\journal.txt").c_str());
        Control("Interfaces", "IID_IRelationshipManager", row.old ? "0" : "1");
        if (*row.section) Control(row.section, row.key, *row.section == 'F' ? "0x80004005" : "0");
        EXPECT_EQ("", Name(row.path)) << row.seen;
        if (*row.section) Control(row.section, row.key, *row.section == 'F' ? "0" : "1");
        EXPECT_EQ(1u, Count(row.seen)) << row.seen;
        EXPECT_EQ(row.uninitialized, Count("Uninitialize() = 0x00000000")) << row.seen;
        EXPECT_EQ(row.old ? 2u : 1u, Count("create RelationshipManager")) << row.seen;
        ExpectAllReleased();
    }
}

// A failing call that still hands back an object: the wrapper releases it.
TEST_F(Lookup, AnObjectHandedBackWithAFailureIsReleased) {
    Control("Interfaces", "IID_IRelationshipManager", "0");
    for (const char* call : {"RelationshipManager.get_Relationships", "Relationships.get_Item"}) {
        ::DeleteFileA((Dir() + "\\journal.txt").c_str());
        Control("Fail", call, "0x80004005");
        Control("HandBack", call, "1");
        EXPECT_EQ("", Name()) << call;
        Control("Fail", call, "0");
        EXPECT_EQ(1u, Count("= 0x80004005 -> Relationship")) << call;
        ExpectAllReleased();
    }
}

TEST_F(Lookup, LongNullAndCutNames) {
    Control("Relationships", kPath, std::string(300, 'N'));
    EXPECT_EQ(std::string(255, 'N'), Name());
    EXPECT_EQ("NNN", Name(kPath, 4));
    EXPECT_EQ("", Name(kPath, 1));
    GetRelationshipCompanyName(nullptr, nullptr, nullptr, 256);
    // A null target is the empty section path: unknown, so empty.
    EXPECT_EQ("", Name(nullptr));

    Control("Relationships", kPath, "<null>");
    EXPECT_EQ("", Name());
    Control("Interfaces", "IID_IRelationshipManager", "0");
    EXPECT_EQ("", Name());
    EXPECT_EQ(2u, Count("-> null"));
}

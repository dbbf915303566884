// TString::LoadString against this program's own string table, the text
// conversions (empty, non-ASCII, embedded NULs), AnsiToBstr, and the owners
// of Scoped.h that every program shares.
#include "Conversions.h"
#include "Scoped.h"
#include "TString.h"
#include "UException.h"

#include <gtest/gtest.h>

#include <utility>

TEST(TStringLoad, LoadsOrKeepsTheContentUpTo510Characters) {
    const HINSTANCE self = ::GetModuleHandleA(nullptr), kernel = ::GetModuleHandleA("kernel32.dll");
    struct Row {
        UINT id;
        HINSTANCE instance;
        bool loads;
        std::string text;
        bool throws = false;  // 511 characters and more do not fit
    };
    const Row rows[] = {
        {1, self, true, "one"}, {20, self, true, "relationship"}, {2, self, true, "Dizevedi Zivuzid"},
        {17, self, true, std::string(509, 'a')}, {5, self, true, std::string(510, 'b')},
        {3, self, false, "keep"},   // block 1 exists, id 3 does not
        {40, self, false, "keep"},  // block 3 (ids 32 to 47) does not exist
        {0xFFFF, self, false, "keep"}, {17, kernel, false, "keep"},
        {6, self, false, "keep", true}, {7, self, false, "keep", true},
    };
    for (const Row& row : rows) {
        TString s("keep");
        try {
            EXPECT_EQ(row.loads, s.LoadString(row.id, row.instance)) << row.id;
            EXPECT_FALSE(row.throws) << "no exception for id " << row.id;
        } catch (const UException::AHResultException& e) {
            EXPECT_TRUE(row.throws) << row.id;
            EXPECT_EQ(E_FAIL, e.GetHResult());
            EXPECT_STREQ("TString::LoadString error: 'nMax - nLen >= sizeof(TCHAR)' is false: "
                         "HRESULT = 0x80004005", e.what());
        }
        EXPECT_EQ(row.text, s) << row.id;  // kept when not loaded
    }
}

TEST(Conversions, RoundTripsThroughEveryForm) {
    // Empty, ASCII, and e-acute and the euro sign (outside Latin-1): a byte each in code
    // page 1252, which the test prefix uses, two and three in UTF-8 where a run asks for it.
    ASSERT_EQ(std::getenv("EXPECT_ACP") ? 65001u : 1252u, ::GetACP());
    const bool utf8 = ::GetACP() == CP_UTF8;
    const std::pair<std::string, std::wstring> rows[] = {
        {"", L""}, {"/com/solvanenetwork", L"/com/solvanenetwork"},
        {utf8 ? "Caf\xC3\xA9 \xE2\x82\xAC" : "Caf\xE9 \x80", L"Caf\u00E9 \u20AC"},
        {std::string(100000, 'z'), std::wstring(100000, L'z')},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.second, NarrowToWide(row.first));
        EXPECT_EQ(row.first, WideToNarrow(row.second));
        BSTR ansi = nullptr;
        EXPECT_EQ(S_OK, AnsiToBstr(&ansi, row.first.c_str()));
        for (BSTR b : {NarrowToBstr(row.first), NarrowToBstrOrThrow(row.first), ansi}) {
            scoped::Bstr owned(b);
            ASSERT_TRUE(owned.get() != nullptr);
            EXPECT_EQ(row.second, std::wstring(b, ::SysStringLen(b)));
            EXPECT_EQ(row.first, BstrToNarrow(b));
        }
    }
    EXPECT_EQ("", BstrToNarrow(nullptr));
    // A character that 1252 lacks becomes the default character.
    EXPECT_EQ(utf8 ? "\xE4\xB8\xAD" : "?", WideToNarrow(L"\u4E2D"));
}

TEST(Conversions, EmbeddedNulEndsTheTextAndFailuresLeaveTheOutput) {
    EXPECT_EQ(L"ab", NarrowToWide(std::string("ab\0cd", 5)));
    EXPECT_EQ("ab", WideToNarrow(std::wstring(L"ab\0cd", 5)));
    // A BSTR is read up to its first NUL, whatever its counted length says.
    scoped::Bstr b(::SysAllocStringLen(L"xy\0z", 4));
    EXPECT_EQ("xy", BstrToNarrow(b.get()));
    scoped::Bstr c(NarrowToBstr(std::string("pq\0r", 4)));
    EXPECT_EQ(2u, ::SysStringLen(c.get()));

    BSTR sentinel = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x1234));
    BSTR out = sentinel;
    EXPECT_EQ(E_POINTER, AnsiToBstr(&out, nullptr));
    EXPECT_EQ(sentinel, out);
    EXPECT_EQ(E_POINTER, AnsiToBstr(nullptr, "x"));
}

// However an owner lets go of its value, the close call leaves the thread's
// last error as it was; a selection puts back the object it replaced.
TEST(Scoped, OwnersKeepTheLastErrorAndPutTheSelectionBack) {
    struct FailingClose {
        using Type = int;
        static int invalid() noexcept { return 0; }
        static void close(int) noexcept { ::SetLastError(ERROR_INVALID_HANDLE); }
    };
    using Owner = scoped::Unique<FailingClose>;
    const struct {
        const char* name;
        void (*letGo)(Owner&);
    } rows[] = {{"reset", [](Owner& o) { o.reset(); }}, {"put", [](Owner& o) { o.put(); }},
                {"reset to another", [](Owner& o) { o.reset(2); }},
                {"moved over", [](Owner& o) { o = Owner(3); }}};
    for (const auto& row : rows) {
        {
            Owner owner(1);
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            row.letGo(owner);
            EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), ::GetLastError()) << row.name;
            ::SetLastError(ERROR_PATH_NOT_FOUND);
        }
        EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), ::GetLastError()) << row.name << ", then destroyed";
    }
    scoped::MemoryDC dc(::CreateCompatibleDC(nullptr));
    scoped::GdiObject bitmap(::CreateBitmap(1, 1, 1, 1, nullptr));
    const HGDIOBJ before = ::GetCurrentObject(dc.get(), OBJ_BITMAP);
    {
        scoped::Selection selected(dc.get(), bitmap.get());
        EXPECT_EQ(bitmap.get(), ::GetCurrentObject(dc.get(), OBJ_BITMAP));
    }
    EXPECT_EQ(before, ::GetCurrentObject(dc.get(), OBJ_BITMAP));
}

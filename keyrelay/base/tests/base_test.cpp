// TString::LoadString against this program's own string table, the text
// conversions (empty, non-ASCII, embedded NULs) and AnsiToBstr.
#include "Conversions.h"
#include "Scoped.h"
#include "TString.h"
#include "UException.h"

#include <gtest/gtest.h>

#include <string>

TEST(TStringLoad, LoadsOrKeepsTheContentUpTo510Characters) {
    const HINSTANCE self = ::GetModuleHandleA(nullptr), kernel = ::GetModuleHandleA("kernel32.dll");
    struct Row {
        UINT id;
        HINSTANCE instance;
        bool loads;
        std::string text;
    };
    const Row rows[] = {
        {1, self, true, "one"}, {20, self, true, "relationship"}, {2, self, true, "Dizevedi Zivuzid"},
        {17, self, true, std::string(509, 'a')}, {5, self, true, std::string(510, 'b')},
        {3, self, false, "keep"},   // block 1 exists, id 3 does not
        {40, self, false, "keep"},  // block 3 (ids 32 to 47) does not exist
        {0xFFFF, self, false, "keep"}, {17, kernel, false, "keep"},
    };
    for (const Row& row : rows) {
        TString s("keep");
        EXPECT_EQ(row.loads, s.LoadString(row.id, row.instance)) << row.id;
        EXPECT_EQ(row.text, s) << row.id;
    }
    // 511 characters and more do not fit: an exception, the content kept.
    for (UINT id : {6u, 7u}) {
        TString t("unchanged");
        try {
            t.LoadString(id, self);
            ADD_FAILURE() << "no exception for id " << id;
        } catch (const UException::AHResultException& e) {
            EXPECT_EQ(E_FAIL, e.GetHResult());
            EXPECT_STREQ("TString::LoadString error: 'nMax - nLen >= sizeof(TCHAR)' is false: "
                         "HRESULT = 0x80004005", e.what());
        }
        EXPECT_EQ("unchanged", t);
    }
}

TEST(Conversions, EmptyAsciiAndAnsiCodePageRoundTrips) {
    EXPECT_EQ(L"", NarrowToWide(""));
    EXPECT_EQ("", WideToNarrow(L""));
    EXPECT_EQ("", BstrToNarrow(nullptr));
    for (BSTR empty : {NarrowToBstr(""), NarrowToBstrOrThrow("")}) {
        scoped::Bstr owned(empty);
        ASSERT_TRUE(owned.get() != nullptr);
        EXPECT_EQ(0u, ::SysStringLen(owned.get()));
    }
    EXPECT_EQ(L"/com/solvanenetwork", NarrowToWide("/com/solvanenetwork"));
    EXPECT_EQ("/com/solvanenetwork", WideToNarrow(L"/com/solvanenetwork"));

    if (::GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << ::GetACP();
    // e-acute and the euro sign, whose code point lies outside Latin-1.
    const std::string ansi = "Caf\xE9 \x80";
    const std::wstring wide = L"Caf\u00E9 \u20AC";
    EXPECT_EQ(wide, NarrowToWide(ansi));
    EXPECT_EQ(ansi, WideToNarrow(wide));
    scoped::Bstr b(NarrowToBstr(ansi));
    EXPECT_EQ(wide, std::wstring(b.get()));
    EXPECT_EQ(ansi, BstrToNarrow(b.get()));
    // A character the code page lacks becomes the default character.
    EXPECT_EQ("?", WideToNarrow(L"\u4E2D"));
}

TEST(Conversions, EmbeddedNulEndsTheText) {
    EXPECT_EQ(L"ab", NarrowToWide(std::string("ab\0cd", 5)));
    EXPECT_EQ("ab", WideToNarrow(std::wstring(L"ab\0cd", 5)));
    // A BSTR is read up to its first NUL, whatever its counted length says.
    scoped::Bstr b(::SysAllocStringLen(L"xy\0z", 4));
    EXPECT_EQ("xy", BstrToNarrow(b.get()));
    scoped::Bstr c(NarrowToBstr(std::string("pq\0r", 4)));
    EXPECT_EQ(2u, ::SysStringLen(c.get()));
}

TEST(Conversions, AnsiToBstr) {
    BSTR sentinel = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x1234));
    BSTR out = sentinel;
    EXPECT_EQ(E_POINTER, AnsiToBstr(&out, nullptr));
    EXPECT_EQ(sentinel, out);  // left alone on failure
    EXPECT_EQ(E_POINTER, AnsiToBstr(nullptr, "x"));
    const std::wstring wide = ::GetACP() == 1252 ? L"Caf\u00E9 \u20AC" : L"Cafe";
    for (const std::string& text : {std::string(), std::string(100000, 'z'), WideToNarrow(wide)}) {
        ASSERT_EQ(S_OK, AnsiToBstr(&out, text.c_str()));
        scoped::Bstr owned(out);
        ASSERT_TRUE(owned.get() != nullptr);
        EXPECT_EQ(NarrowToWide(text), std::wstring(out, ::SysStringLen(out)));
    }
}

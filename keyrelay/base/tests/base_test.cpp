// TString::LoadString against this program's own string table, the text
// conversions (empty, non-ASCII, embedded NULs) and AnsiToBstr.
#include "Conversions.h"
#include "Scoped.h"
#include "TString.h"
#include "UException.h"

#include <gtest/gtest.h>

#include <string>

namespace {

HINSTANCE Self() { return ::GetModuleHandleA(nullptr); }

bool Load(TString& s, UINT id) {
    HINSTANCE instance = Self();
    return s.LoadString(id, instance);
}

}  // namespace

TEST(TStringLoad, LoadsAndReplacesContent) {
    TString s("before");
    ASSERT_TRUE(Load(s, 1));
    EXPECT_EQ("one", s);
    ASSERT_TRUE(Load(s, 20));
    EXPECT_EQ("relationship", s);
    ASSERT_TRUE(Load(s, 2));
    EXPECT_EQ("Dizevedi Zivuzid", s);
}

TEST(TStringLoad, MissingStringOrBlockKeepsContent) {
    TString s("keep");
    EXPECT_FALSE(Load(s, 3));    // block 1 exists, id 3 does not
    EXPECT_EQ("keep", s);
    EXPECT_FALSE(Load(s, 40));   // block 3 (ids 32 to 47) does not exist
    EXPECT_EQ("keep", s);
    EXPECT_FALSE(Load(s, 0xFFFF));
    EXPECT_EQ("keep", s);
    TString other("x");
    HINSTANCE kernel = ::GetModuleHandleA("kernel32.dll");
    EXPECT_FALSE(other.LoadString(17, kernel));
    EXPECT_EQ("x", other);
}

TEST(TStringLoad, LengthLimitAt511) {
    TString s;
    ASSERT_TRUE(Load(s, 17));
    EXPECT_EQ(std::string(509, 'a'), s);
    ASSERT_TRUE(Load(s, 5));
    EXPECT_EQ(std::string(510, 'b'), s);

    for (UINT id : {6u, 7u}) {
        TString t("unchanged");
        try {
            Load(t, id);
            ADD_FAILURE() << "no exception for id " << id;
        } catch (const UException::AHResultException& e) {
            EXPECT_EQ(E_FAIL, e.GetHResult());
            EXPECT_STREQ("TString::LoadString error: 'nMax - nLen >= sizeof(TCHAR)' is false: "
                         "HRESULT = 0x80004005",
                         e.what());
        }
        EXPECT_EQ("unchanged", t);
    }
}

TEST(Conversions, EmptyInputs) {
    EXPECT_EQ(L"", NarrowToWide(""));
    EXPECT_EQ("", WideToNarrow(L""));
    EXPECT_EQ("", BstrToNarrow(nullptr));
    scoped::Bstr empty(NarrowToBstr(""));
    ASSERT_TRUE(empty.get() != nullptr);
    EXPECT_EQ(0u, ::SysStringLen(empty.get()));
    EXPECT_EQ("", BstrToNarrow(empty.get()));
    scoped::Bstr thrown(NarrowToBstrOrThrow(""));
    EXPECT_TRUE(thrown.get() != nullptr);

    BSTR out = nullptr;
    ASSERT_EQ(S_OK, AnsiToBstr(&out, ""));
    scoped::Bstr owned(out);
    ASSERT_TRUE(owned.get() != nullptr);
    EXPECT_EQ(0u, ::SysStringLen(owned.get()));
}

TEST(Conversions, RoundTripsAsciiAndAnsiCodePage) {
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

    BSTR out = nullptr;
    ASSERT_EQ(S_OK, AnsiToBstr(&out, ansi.c_str()));
    scoped::Bstr owned(out);
    EXPECT_EQ(wide.size(), ::SysStringLen(out));
    EXPECT_EQ(wide, std::wstring(out));

    // A character the code page lacks becomes the default character.
    EXPECT_EQ("?", WideToNarrow(L"\u4E2D"));
}

TEST(Conversions, EmbeddedNulEndsTheText) {
    EXPECT_EQ(L"ab", NarrowToWide(std::string("ab\0cd", 5)));
    EXPECT_EQ("ab", WideToNarrow(std::wstring(L"ab\0cd", 5)));
    // A BSTR is read up to its first NUL, whatever its counted length says.
    scoped::Bstr b(::SysAllocStringLen(L"xy\0z", 4));
    ASSERT_EQ(4u, ::SysStringLen(b.get()));
    EXPECT_EQ("xy", BstrToNarrow(b.get()));
    scoped::Bstr c(NarrowToBstr(std::string("pq\0r", 4)));
    EXPECT_EQ(2u, ::SysStringLen(c.get()));
}

TEST(Conversions, AnsiToBstrLeavesOutputOnFailure) {
    BSTR sentinel = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x1234));
    BSTR out = sentinel;
    EXPECT_EQ(E_POINTER, AnsiToBstr(&out, nullptr));
    EXPECT_EQ(sentinel, out);
    EXPECT_EQ(E_POINTER, AnsiToBstr(nullptr, "x"));

    const std::string long_text(100000, 'z');
    ASSERT_EQ(S_OK, AnsiToBstr(&out, long_text.c_str()));
    scoped::Bstr owned(out);
    EXPECT_EQ(100000u, ::SysStringLen(out));
}

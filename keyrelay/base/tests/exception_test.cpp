// The exception's texts and HRESULT, also after the copy a throw makes.
#include "UException.h"

#include <gtest/gtest.h>

#include <string>

using UException::AHResultException;

TEST(AHResultException, MessageIsTextThenHResult) {
    AHResultException e("Failed to m_pNewRelMgr->Initialize()", static_cast<HRESULT>(0x80004005L));
    EXPECT_STREQ("Failed to m_pNewRelMgr->Initialize(): HRESULT = 0x80004005", e.what());
    EXPECT_EQ(static_cast<HRESULT>(0x80004005L), e.GetHResult());

    AHResultException empty("", 0);
    EXPECT_STREQ(": HRESULT = 0x00000000", empty.what());
    AHResultException null(static_cast<const char*>(nullptr), 1);
    EXPECT_STREQ(": HRESULT = 0x00000001", null.what());
    EXPECT_EQ(1, null.GetHResult());
}

TEST(AHResultException, KeepsHResultThroughThrowAndCopy) {
    try {
        try {
            throw AHResultException(std::string("m_pInterface->Log failed"), static_cast<HRESULT>(0x8007000EL));
        } catch (const std::exception& e) {
            // Rethrow a copy made through the base reference's dynamic type.
            const auto& typed = dynamic_cast<const AHResultException&>(e);
            AHResultException copy = typed;
            throw copy;
        }
    } catch (const AHResultException& e) {
        EXPECT_EQ(static_cast<HRESULT>(0x8007000EL), e.GetHResult());
        EXPECT_STREQ("m_pInterface->Log failed: HRESULT = 0x8007000E", e.what());
    }
}

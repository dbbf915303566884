// The retry rule of the trust decision, with a fake clock.
#include "TrustAttempts.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Series {
    explicit Series(std::vector<long> a) : answers(std::move(a)) {}
    std::vector<long> answers;  // the last one repeats
    int calls = 0;
    std::vector<unsigned> pauses;

    bool Run() {
        return krcrypto::AskTrustWithRetries(
            [this]() {
                const size_t i = static_cast<size_t>(calls++);
                return answers[i < answers.size() ? i : answers.size() - 1];
            },
            [this](unsigned ms) { pauses.push_back(ms); });
    }
};

}  // namespace

TEST(TrustAttempts, TrustedAtOnceMeansOneCallAndNoPause) {
    Series s({0});
    EXPECT_TRUE(s.Run());
    EXPECT_EQ(1, s.calls);
    EXPECT_TRUE(s.pauses.empty());
}

TEST(TrustAttempts, RejectedCallsAreRepeatedFiftyMillisecondsApart) {
    Series s({static_cast<long>(0x800B0004), static_cast<long>(0x800B0004), 0});
    EXPECT_TRUE(s.Run());
    EXPECT_EQ(3, s.calls);
    EXPECT_EQ((std::vector<unsigned>{50, 50}), s.pauses);
}

TEST(TrustAttempts, NeverTrustedStopsAfterTheHundredAndFirstCall) {
    Series s({static_cast<long>(0x80096010)});
    EXPECT_FALSE(s.Run());
    EXPECT_EQ(101, s.calls);
    EXPECT_EQ(100u, s.pauses.size());
}

TEST(TrustAttempts, APositiveErrorCodeIsNoPass) {
    // ERROR_INVALID_PARAMETER, as a trust provider that cannot read its
    // arguments answers: not negative, yet not "trusted".
    Series s({0x57});
    EXPECT_FALSE(s.Run());
    EXPECT_EQ(101, s.calls);
    Series late({0x57, 0x57, 0});
    EXPECT_TRUE(late.Run());
}

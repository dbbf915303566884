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

TEST(TrustAttempts, RejectedCallsAreRepeatedFiftyMillisecondsApartUntilTrusted) {
    Series atOnce({0});
    EXPECT_TRUE(atOnce.Run());
    EXPECT_EQ(1, atOnce.calls);
    EXPECT_TRUE(atOnce.pauses.empty());

    Series late({static_cast<long>(0x800B0004), static_cast<long>(0x800B0004), 0});
    EXPECT_TRUE(late.Run());
    EXPECT_EQ(3, late.calls);
    EXPECT_EQ((std::vector<unsigned>{50, 50}), late.pauses);
}

TEST(TrustAttempts, NeverTrustedStopsAfterTheHundredAndFirstCall) {
    Series s({static_cast<long>(0x80096010)});
    EXPECT_FALSE(s.Run());
    EXPECT_EQ(101, s.calls);
    EXPECT_EQ(100u, s.pauses.size());

    // ERROR_INVALID_PARAMETER, as a trust provider that cannot read its
    // arguments answers: not negative, yet not "trusted".
    Series positive({0x57});
    EXPECT_FALSE(positive.Run());
    EXPECT_EQ(101, positive.calls);
}

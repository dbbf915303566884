// The retry rule of the trust decision, with a fake clock.
#include "TrustAttempts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(TrustAttempts, RejectedCallsAreRepeatedFiftyMillisecondsApartUpTo101Calls) {
    const long kRejected = static_cast<long>(0x800B0004);
    struct Row {
        std::vector<long> answers;  // the last one repeats
        bool trusted;
        int calls;
    };
    const Row rows[] = {
        {{0}, true, 1},
        {{kRejected, kRejected, 0}, true, 3},
        {{static_cast<long>(0x80096010)}, false, 101},
        // ERROR_INVALID_PARAMETER, as a trust provider that cannot read its
        // arguments answers: not negative, yet not "trusted".
        {{0x57}, false, 101},
    };
    for (const Row& row : rows) {
        size_t calls = 0;
        std::vector<unsigned> pauses;
        EXPECT_EQ(row.trusted, krcrypto::AskTrustWithRetries(
                                   [&]() { return row.answers[std::min(calls++, row.answers.size() - 1)]; },
                                   [&](unsigned ms) { pauses.push_back(ms); }));
        EXPECT_EQ(static_cast<size_t>(row.calls), calls);
        EXPECT_EQ(std::vector<unsigned>(row.calls - 1, 50), pauses);
    }
}

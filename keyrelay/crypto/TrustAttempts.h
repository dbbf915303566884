// The retry rule of the trust decision, apart from the platform: ask up to
// kTrustAttempts times, pausing between rejected attempts, and pass only on
// an answer of 0. Header-only plain C++, tested natively.
#pragma once

namespace krcrypto {

constexpr int kTrustAttempts = 101;     // the first call and 100 repeats
constexpr unsigned kTrustPauseMs = 50;  // between attempts

// ask() returns the trust answer (0 means trusted); pause(ms) waits.
// Returns true when an answer was 0. A positive answer is an error code too,
// never a pass. No pause follows the last attempt.
template <typename Ask, typename Pause>
bool AskTrustWithRetries(Ask ask, Pause pause) {
    for (int attempt = 1;; ++attempt) {
        const long result = ask();
        if (result == 0) return true;
        if (attempt >= kTrustAttempts) return false;
        pause(kTrustPauseMs);
    }
}

}  // namespace krcrypto

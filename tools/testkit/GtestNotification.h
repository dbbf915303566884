// GoogleTest's Notification on a Windows event. The win32 thread model of
// MinGW-w64 (GCC 12) has no std::mutex or std::condition_variable, with
// which GoogleTest builds its own; this header is included ahead of every
// GoogleTest source and test (-include), with GTEST_HAS_NOTIFICATION_=1.
#pragma once

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing

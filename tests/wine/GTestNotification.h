// GoogleTest's Notification for mingw-w64's win32-threads compilers, whose C++ library has no
// std::mutex or std::condition_variable, the two GoogleTest's own takes on Windows. The build puts
// this header in front of every file that GoogleTest's headers compile into (CMakeLists.txt).
// Only GoogleTest's tests of its own threads wait on it; no test here starts a thread.
#pragma once
#ifdef __cplusplus
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_ = true; }
    void WaitForNotification() const
    {
        while (!notified_) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
#endif

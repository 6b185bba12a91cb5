// Force-included into googletest and the tests: gtest's own Notification is
// built on std::mutex, which MinGW's -win32 thread model (GCC 12) lacks. This one
// does the same with a Win32 event; gtest takes it when GTEST_HAS_NOTIFICATION_ is set.
#pragma once

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(m_event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(m_event); }
    void WaitForNotification() { WaitForSingleObject(m_event, INFINITE); }

private:
    HANDLE m_event;
};

}  // namespace testing::internal

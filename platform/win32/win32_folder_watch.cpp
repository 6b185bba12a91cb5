// Folder watches on Win32. Each watch asks ReadDirectoryChangesW (overlapped) on a
// thread of its own, which only waits for the folder's changes or the watch's end and
// posts each change to a message-only window of the watch. The window makes the call
// on the window's thread, from whatever message loop runs (a message box's too), a
// moment after the first change of a burst, so that a save of ten pages comes as one.
#include <array>

#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

constexpr WindowClass kWatchClass{L"QuibbetsFolderWatch"};
constexpr UINT kChangedMessage = WM_APP + 1;  // posted by the watch's thread
constexpr UINT_PTR kSettleTimer = 1;
constexpr UINT kSettleMilliseconds = 50;
// Names made, removed or renamed (a replacement by rename among them), and writes.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

class Win32FolderWatch final : public FolderWatch, private Win32Window {
public:
    Win32FolderWatch(const PlatformState& state, std::function<void()> changed)
        : Win32Window(state), m_changed(std::move(changed)) {}
    ~Win32FolderWatch() override;
    Win32FolderWatch(const Win32FolderWatch&) = delete;
    Win32FolderWatch& operator=(const Win32FolderWatch&) = delete;
    // Opens the folder and starts its thread; false when the folder cannot be watched.
    bool start(std::wstring_view folder);

private:
    static DWORD WINAPI run(void* self);
    void listen();
    // Asks for the next change, the first time saying whether the folder can be watched.
    bool askForChanges(OVERLAPPED& overlapped, bool first);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::function<void()> m_changed;
    HANDLE m_folder = INVALID_HANDLE_VALUE;
    HANDLE m_stop = nullptr;       // set when the watch ends
    HANDLE m_completed = nullptr;  // a read's completion
    HANDLE m_ready = nullptr;      // set by the thread once its first read is asked for
    HANDLE m_thread = nullptr;
    HWND m_target = nullptr;  // the window, for the thread to post to
    DWORD m_firstError = ERROR_SUCCESS;
    bool m_settling = false;
    // What changed: never read, as any change makes the call. DWORD-aligned, as asked.
    std::array<DWORD, 1024> m_records{};
};

// The thread is told to end and waited for before anything it uses goes. A change it
// posted meanwhile dies with the window.
Win32FolderWatch::~Win32FolderWatch() {
    if (m_thread) {
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    for (const HANDLE event : {m_stop, m_completed, m_ready}) {
        if (event) {
            CloseHandle(event);
        }
    }
    if (m_folder != INVALID_HANDLE_VALUE) {
        CloseHandle(m_folder);
    }
    destroy();
}

// The first read is asked for before this returns: a change made right after is
// heard. A folder whose file system keeps no record of changes fails that read.
bool Win32FolderWatch::start(std::wstring_view folder) {
    m_folder =
        CreateFileW(zstr(folder).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_completed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_target = create(kWatchClass, WindowParams{.parent = HWND_MESSAGE});
    if (m_folder == INVALID_HANDLE_VALUE || !m_stop || !m_completed || !m_ready || !m_target) {
        return false;
    }
    m_thread = CreateThread(nullptr, 0, &Win32FolderWatch::run, this, 0, nullptr);
    if (!m_thread) {
        return false;
    }
    WaitForSingleObject(m_ready, INFINITE);
    return m_firstError == ERROR_SUCCESS;
}

DWORD WINAPI Win32FolderWatch::run(void* self) {
    static_cast<Win32FolderWatch*>(self)->listen();
    return 0;
}

// Every completed read is a change, one that overflowed the records too (no record,
// or ERROR_NOTIFY_ENUM_DIR). A read that fails otherwise (the folder itself went) is
// told as a change, and ends the watching. The read under way when the watch ends
// is cancelled and waited for, as the system writes into the records until then.
void Win32FolderWatch::listen() {
    OVERLAPPED overlapped{};
    overlapped.hEvent = m_completed;
    for (bool first = true; askForChanges(overlapped, first); first = false) {
        const HANDLE events[] = {m_stop, m_completed};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            CancelIoEx(m_folder, &overlapped);
            DWORD ignored = 0;
            GetOverlappedResult(m_folder, &overlapped, &ignored, TRUE);
            return;
        }
        DWORD bytes = 0;
        const bool read = GetOverlappedResult(m_folder, &overlapped, &bytes, FALSE) != FALSE;
        const DWORD error = read ? ERROR_SUCCESS : GetLastError();
        PostMessageW(m_target, kChangedMessage, 0, 0);
        if (!read && error != ERROR_NOTIFY_ENUM_DIR) {
            return;
        }
    }
}

bool Win32FolderWatch::askForChanges(OVERLAPPED& overlapped, bool first) {
    ResetEvent(m_completed);
    const bool asked = ReadDirectoryChangesW(m_folder, m_records.data(), sizeof(m_records), FALSE, kChanges, nullptr,
                                             &overlapped, nullptr) != FALSE;
    if (first) {
        m_firstError = asked ? ERROR_SUCCESS : GetLastError();
        SetEvent(m_ready);
    } else if (!asked) {
        PostMessageW(m_target, kChangedMessage, 0, 0);  // changes from now on go unheard
    }
    return asked;
}

// The call comes a moment after the first change of a burst; later changes do not
// put it off, so a steady stream of them cannot hold it back. A Windows timer
// repeats: it is killed as it fires. The call may end this watch, so nothing of it
// is touched after.
LRESULT Win32FolderWatch::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kChangedMessage) {
        if (!m_settling) {
            m_settling = true;
            SetTimer(hwnd(), kSettleTimer, kSettleMilliseconds, nullptr);
        }
        return 0;
    }
    if (message == WM_TIMER && wParam == kSettleTimer) {
        KillTimer(hwnd(), kSettleTimer);
        m_settling = false;
        const std::function<void()> changed = m_changed;
        changed();
        return 0;
    }
    return defaultHandling(message, wParam, lParam);
}

}  // namespace

// A failure out of the call reaches the platform's report through the window
// procedure's guard, as a timer's does.
std::unique_ptr<FolderWatch> Win32FolderWatcher::watch(std::wstring_view folder, std::function<void()> changed) {
    auto watch = std::make_unique<Win32FolderWatch>(*m_state, std::move(changed));
    if (!watch->start(folder)) {
        return nullptr;
    }
    return watch;
}

}  // namespace plat::win32

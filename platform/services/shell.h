// The shell and the window manager: the notification area, starting programs,
// other programs' windows, and processes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/services/geometry.h"
#include "platform/services/notify_record.h"
#include "platform/services/status.h"

namespace plat {

// The class of the hidden application window of the program titled `title`
// (Platform::createAppWindow): how another program finds it.
inline std::wstring appWindowClass(std::wstring_view title) {
    return std::wstring(title) + L"Application";
}

// Operations on a notification-area icon.
enum class NotifyOp { Add, Modify, Delete };

class Shell {
public:
    virtual ~Shell() = default;
    // Hands a notification-icon record to the shell; true when the shell accepted it.
    virtual bool notifyIcon(NotifyOp op, const NotifyRecord& record) = 0;
    // Starts a program file as a new process with a normal, focused window, without
    // waiting for it; `error` is the reason when it cannot be started.
    virtual FileStatus startProgram(std::wstring_view path) = 0;
    // First top-level window of class `windowClass` (any class when empty) titled
    // exactly `title` (compared in the ANSI character set), 0 when there is none.
    virtual NativeHandle findWindow(std::wstring_view windowClass, std::wstring_view title) const = 0;
    // Asks another program's top-level window to close, as its close box would, and
    // returns at once; false when the request could not be delivered.
    virtual bool requestClose(NativeHandle window) = 0;
    // The desktop's system-information program when it is found among the programs the
    // desktop is known to offer; empty when none is (or the desktop names it elsewhere).
    virtual std::wstring findSystemInfoTool() const { return {}; }
    // Whether a process with this id is running now (the caller's own included).
    virtual bool isProcessRunning(std::uint32_t processId) const = 0;
};

}  // namespace plat

// The tray icon, starting programs, closing the notes program, processes.
#include "platform/qt/qt_services.h"

namespace plat::qt {

QtShell::~QtShell() = default;

bool QtShell::notifyIcon(NotifyOp, const NotifyRecord&) {
    return false;
}

FileStatus QtShell::startProgram(std::wstring_view) {
    return {false, L"Not yet."};
}

NativeHandle QtShell::findWindow(std::wstring_view, std::wstring_view) const {
    return 0;
}

bool QtShell::requestClose(NativeHandle) {
    return false;
}

std::wstring QtShell::findSystemInfoTool() const {
    return {};
}

bool QtShell::isProcessRunning(std::uint32_t processId) const {
    return posix::processRunning(processId);
}

}  // namespace plat::qt

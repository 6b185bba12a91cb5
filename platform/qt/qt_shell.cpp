// The shell: the tray icon, starting programs, asking the notes program to close
// through its socket, processes, and the system-information tool.
#include <unistd.h>

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>

#include "platform/posix/runtime_folder.h"
#include "platform/qt/qt_app_window.h"
#include "platform/qt/qt_common.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_tray.h"

namespace plat::qt {
namespace {

constexpr int kCloseTimeoutMs = 1000;

// Programs that show what the machine is made of, in the order they are preferred.
constexpr const char* kSystemInfoTools[] = {"hardinfo2", "hardinfo", "kinfocenter", "lshw-gtk"};

}  // namespace

QtShell::QtShell(PlatformState* state) : m_tray(std::make_unique<TrayIcons>(state)) {}

QtShell::~QtShell() = default;

bool QtShell::notifyIcon(NotifyOp op, const NotifyRecord& record) {
    switch (op) {
        case NotifyOp::Add: return m_tray->add(record);
        case NotifyOp::Modify: return m_tray->modify(record);
        case NotifyOp::Delete: return m_tray->remove(record);
    }
    return false;
}

// The program runs in its own folder, as it would when started from a file manager,
// and is not waited for.
FileStatus QtShell::startProgram(std::wstring_view path) {
    const QFileInfo file(toQString(path));
    if (!file.exists()) {
        return {false, L"The program file does not exist."};
    }
    if (!file.isFile() || !file.isExecutable()) {
        return {false, L"The file is not a program that may be run."};
    }
    QProcess process;
    process.setProgram(file.absoluteFilePath());
    process.setWorkingDirectory(file.absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        const std::wstring reason = fromQString(process.errorString());
        return {false, reason.empty() ? L"The program could not be started." : reason};
    }
    return {};
}

// The notes program's application window is its socket: the handle is the process
// id of the one started last. Only the application class of the program titled
// `title` (or any class) is looked for.
NativeHandle QtShell::findWindow(std::wstring_view windowClass, std::wstring_view title) const {
    if (!windowClass.empty() && windowClass != appWindowClass(title)) {
        return 0;
    }
    const std::string folder = appSocketFolder();
    if (!posix::openRuntimeFolder(folder, false).ok) {
        return 0;
    }
    const std::vector<posix::SocketEntry> sockets = posix::liveSockets(folder);
    return sockets.empty() ? 0 : static_cast<NativeHandle>(sockets.front().pid);
}

// Delivered once the line is written to the program's socket; the program reads it
// from its own event loop. The other end must be the user's own process.
bool QtShell::requestClose(NativeHandle window) {
    const std::string folder = appSocketFolder();
    if (window == 0 || !posix::openRuntimeFolder(folder, false).ok) {
        return false;
    }
    const std::string path = folder + "/" + posix::socketFileName(static_cast<pid_t>(window));
    QLocalSocket socket;
    socket.connectToServer(QFile::decodeName(path.c_str()), QIODevice::WriteOnly);
    if (!socket.waitForConnected(kCloseTimeoutMs) ||
        !posix::peerIsUser(static_cast<int>(socket.socketDescriptor()), ::geteuid())) {
        return false;
    }
    socket.write(kCloseRequestLine);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kCloseTimeoutMs)) {
            return false;
        }
    }
    socket.disconnectFromServer();
    return true;
}

std::wstring QtShell::findSystemInfoTool() const {
    for (const char* name : kSystemInfoTools) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) {
            return fromQString(path);
        }
    }
    return {};
}

bool QtShell::isProcessRunning(std::uint32_t processId) const {
    return posix::processRunning(processId);
}

}  // namespace plat::qt

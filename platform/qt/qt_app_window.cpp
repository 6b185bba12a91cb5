// The application channel: a QLocalServer on the user's socket folder. The folder is
// the user's alone (platform/posix/runtime_folder.h), and each connection is checked
// once more to come from the same user before a byte of it is read.
#include "platform/qt/qt_app_window.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "platform/posix/runtime_folder.h"

namespace plat::qt {
namespace {

// A request is one short line; a peer that says more, or nothing for this long, is
// dropped.
constexpr qint64 kMaxRequestBytes = 64;
constexpr int kIdleTimeoutMs = 5000;

void warn(const std::string& text) {
    std::fprintf(stderr, "quibbets-notes: %s\n", text.c_str());
}

}  // namespace

std::string appSocketFolder() {
    return posix::runtimeFolderPath(std::getenv("XDG_RUNTIME_DIR"), ::geteuid());
}

AppChannel::AppChannel(PlatformState& state, std::wstring_view title, AppWindowEvents& events)
    : m_state(state), m_events(events) {
    (void)title;
    SessionEnd::setAppEvents(&m_events);
    listen();
}

AppChannel::~AppChannel() {
    SessionEnd::dropAppEvents(&m_events);
    if (m_server) {
        m_server->close();
        m_server.reset();
        posix::removeSocketFile(m_path);
    }
}

// A socket of the same name can only be one that an ended process with this id left.
// The socket is made in a folder nobody else may enter, then narrowed to the user.
void AppChannel::listen() {
    const std::string folder = appSocketFolder();
    const posix::FolderCheck check = posix::openRuntimeFolder(folder, true);
    if (!check.ok) {
        warn(check.error + " Close from the tray cannot reach this program.");
        return;
    }
    const std::string path = folder + "/" + posix::socketFileName(::getpid());
    posix::removeSocketFile(path);
    auto server = std::make_unique<QLocalServer>();
    if (!server->listen(QFile::decodeName(path.c_str()))) {
        warn("The socket " + path + " cannot be opened: " + server->errorString().toStdString());
        return;
    }
    ::chmod(path.c_str(), 0600);
    QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [this] { accept(); });
    m_server = std::move(server);
    m_path = path;
}

void AppChannel::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!posix::peerIsUser(static_cast<int>(socket->socketDescriptor()), ::geteuid())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { read(socket); });
        QTimer::singleShot(kIdleTimeoutMs, socket, [socket] { socket->abort(); });
        read(socket);  // bytes may have come with the connection
    }
}

// The request is carried out later, from the event loop, after the connection is
// done with: the program may show a box or end meanwhile.
void AppChannel::read(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes) {
            socket->abort();
            socket->deleteLater();
        }
        return;
    }
    const QByteArray line = socket->readLine(kMaxRequestBytes + 1);
    socket->abort();
    socket->deleteLater();
    if (line != kCloseRequestLine) {
        return;
    }
    QTimer::singleShot(0, m_server.get(), [this] {
        try {
            m_events.onAppCloseRequest();
        } catch (...) {
            reportEventFailure(m_state);
        }
    });
}

}  // namespace plat::qt

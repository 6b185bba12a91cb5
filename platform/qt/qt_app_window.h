// The notes program's application channel: how the launcher's Close, the end of the
// session and termination signals reach the program.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/qt/qt_platform.h"

class QLocalServer;
class QLocalSocket;

namespace plat::qt {

// The line by which the launcher asks a notes program to close.
inline constexpr char kCloseRequestLine[] = "close\n";

// The per-user folder of the notes programs' sockets.
std::string appSocketFolder();

// A local socket in that folder, named after the process, on which the launcher's
// close request arrives. When the folder is not safe to use the program runs all the
// same, only out of the launcher's reach.
class AppChannel {
public:
    AppChannel(PlatformState& state, std::wstring_view title, AppWindowEvents& events);
    ~AppChannel();
    AppChannel(const AppChannel&) = delete;
    AppChannel& operator=(const AppChannel&) = delete;

    // The socket's path; empty when the channel is not open.
    const std::string& socketPath() const { return m_path; }

private:
    void listen();
    void accept();
    void read(QLocalSocket* socket);

    PlatformState& m_state;
    AppWindowEvents& m_events;
    std::unique_ptr<QLocalServer> m_server;
    std::string m_path;
};

// SIGTERM, SIGHUP, SIGINT and the desktop's end of session. A program with an application
// channel is asked (onQueryEndSession) and told (onEndSession); in any other every
// loaded form hears sessionEnded. Then the event loop ends.
class SessionEnd {
public:
    // Handles them for this platform from now on (a platform made later takes over).
    static void install(const std::shared_ptr<PlatformState>& state);
    // The application channel's events from now on; dropped again by their channel.
    static void setAppEvents(AppWindowEvents* events);
    static void dropAppEvents(const AppWindowEvents* events);
};

}  // namespace plat::qt

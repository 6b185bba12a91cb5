// The end of the session and termination signals (SIGTERM, SIGHUP, and SIGINT, as
// Ctrl+C in a terminal is a request to end too). A signal handler may do next to
// nothing safely, so it only writes the signal's number into a pipe; the event loop
// reads it there (a QSocketNotifier) and ends the program in the orderly way: the
// pages are saved as on Exit, the launcher's icon goes.
#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include "platform/forms/form_model.h"
#include "platform/qt/qt_app_window.h"

namespace plat::qt {
namespace {

int g_signalPipe[2] = {-1, -1};  // read end, write end; one per process

void onSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

struct SessionState {
    std::weak_ptr<PlatformState> platform;
    AppWindowEvents* appEvents = nullptr;
    QPointer<QSocketNotifier> notifier;  // belongs to the application object
    bool ending = false;
};

SessionState& session() {
    static SessionState state;
    return state;
}

bool installSignalHandlers() {
    if (g_signalPipe[0] >= 0) {
        return true;
    }
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        ::sigaction(number, &action, nullptr);
    }
    return true;
}

// The program with an application channel is asked first and may stay (a save that
// failed, and the user keeps the program); false then.
bool endSession() {
    const std::shared_ptr<PlatformState> state = session().platform.lock();
    if (!state || session().ending) {
        return true;
    }
    session().ending = true;
    bool agreed = true;
    try {
        if (AppWindowEvents* events = session().appEvents) {
            agreed = events->onQueryEndSession();
            if (agreed) {
                events->onEndSession();
            }
        } else {
            const std::vector<Form*> forms = state->forms->forms();
            for (Form* form : forms) {
                if (state->forms->contains(form)) {
                    FormModel::of(*form)->sessionEnded();
                }
            }
        }
    } catch (...) {
        agreed = false;
        reportEventFailure(*state);
    }
    session().ending = false;
    if (agreed) {
        state->quitting = true;
        QCoreApplication::exit(0);
    }
    return agreed;
}

void drainSignals() {
    unsigned char bytes[16];
    while (::read(g_signalPipe[0], bytes, sizeof(bytes)) > 0) {
    }
    endSession();
}

void watchApplication() {
    QCoreApplication* application = QCoreApplication::instance();
    if (session().notifier || application == nullptr || !installSignalHandlers()) {
        return;
    }
    session().notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, application);
    QObject::connect(session().notifier, &QSocketNotifier::activated, application, [] { drainSignals(); });
    if (auto* gui = qobject_cast<QGuiApplication*>(application)) {
        QObject::connect(gui, &QGuiApplication::commitDataRequest, gui, [](QSessionManager& manager) {
            if (!endSession()) {
                manager.cancel();
            }
        });
    }
}

}  // namespace

void SessionEnd::install(const std::shared_ptr<PlatformState>& state) {
    session().platform = state;
    session().appEvents = nullptr;
    watchApplication();
}

void SessionEnd::setAppEvents(AppWindowEvents* events) {
    session().appEvents = events;
}

void SessionEnd::dropAppEvents(const AppWindowEvents* events) {
    if (session().appEvents == events) {
        session().appEvents = nullptr;
    }
}

}  // namespace plat::qt

// The launcher's Close and the end of the session, in one process: the notes side's
// channel and signal handling, the launcher side's findWindow and requestClose.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTimer>

#include <csignal>
#include <string>
#include <vector>

#include "assets/resource_ids.h"
#include "platform/posix/runtime_folder.h"
#include "platform/qt/qt_app_window.h"
#include "platform/services/shell.h"

namespace plat::qt {
namespace {

struct RecordingEvents final : AppWindowEvents {
    void onAppCloseRequest() override { calls.push_back("close"); }
    bool onQueryEndSession() override {
        calls.push_back("query");
        return agree;
    }
    void onEndSession() override { calls.push_back("end"); }
    std::vector<std::string> calls;
    bool agree = true;
};

// Runs the event loop until `done` or two seconds pass.
template <class Done>
void pumpUntil(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

bool present(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

TEST(QtCloseChannel, TheLaunchersCloseReachesTheNotesProgram) {
    QtPlatform notes;
    RecordingEvents events;
    notes.createAppWindow(kAppTitle, events);

    // What an ended notes program left behind goes when the launcher looks.
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ::waitpid(ended, nullptr, 0);
    const std::string stale = appSocketFolder() + "/" + posix::socketFileName(ended);
    ASSERT_TRUE(posix::openRuntimeFolder(appSocketFolder(), false).ok);
    const std::string own = appSocketFolder() + "/" + posix::socketFileName(::getpid());
    ASSERT_EQ(::link(own.c_str(), stale.c_str()), 0);  // a second name of a socket file

    struct stat st {};
    ASSERT_EQ(::lstat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const NativeHandle window = notes.shell().findWindow(appWindowClass(kAppTitle), kAppTitle);
    EXPECT_EQ(window, static_cast<NativeHandle>(::getpid()));
    EXPECT_FALSE(present(stale));
    EXPECT_EQ(notes.shell().findWindow(L"OtherClass", kAppTitle), 0u);

    ASSERT_TRUE(notes.shell().requestClose(window));
    pumpUntil([&] { return !events.calls.empty(); });
    EXPECT_EQ(events.calls, std::vector<std::string>{"close"});
}

// Only the one line closes the program; anything else, or too much, is dropped.
TEST(QtCloseChannel, OtherWordsDoNotClose) {
    QtPlatform notes;
    RecordingEvents events;
    notes.createAppWindow(kAppTitle, events);
    const std::string path = appSocketFolder() + "/" + posix::socketFileName(::getpid());
    for (const QByteArray& words : {QByteArray("exit\n"), QByteArray("close"), QByteArray(100, 'c') + "close\n"}) {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(path));
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(words);
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 200) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_TRUE(events.calls.empty());
}

TEST(QtCloseChannel, NoProgramMeansNoWindowAndNoDelivery) {
    {
        QtPlatform notes;
        RecordingEvents events;
        notes.createAppWindow(kAppTitle, events);
    }  // the socket goes with the program
    const QtPlatform launcher;
    EXPECT_EQ(launcher.shell().findWindow(appWindowClass(kAppTitle), kAppTitle), 0u);
    EXPECT_FALSE(launcher.shell().requestClose(static_cast<NativeHandle>(::getpid())));
    EXPECT_FALSE(launcher.shell().requestClose(0));
}

// Runs the application's event loop as the program would, raising `signal` in it;
// the exit code, or 7 when the loop did not end within half a second.
int runAndRaise(int signal) {
    QTimer::singleShot(0, [signal] { ::raise(signal); });
    QTimer::singleShot(500, [] { QCoreApplication::exit(7); });
    return QApplication::exec();
}

TEST(QtSessionEnd, ATerminationSignalSavesAndEndsTheProgram) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QtPlatform notes;
        RecordingEvents events;
        notes.createAppWindow(kAppTitle, events);
        EXPECT_EQ(runAndRaise(signal), 0);
        EXPECT_EQ(events.calls, (std::vector<std::string>{"query", "end"}));
    }
}

TEST(QtSessionEnd, AProgramThatMustStayKeepsRunning) {
    QtPlatform notes;
    RecordingEvents events;
    events.agree = false;
    notes.createAppWindow(kAppTitle, events);
    EXPECT_EQ(runAndRaise(SIGTERM), 7);
    EXPECT_EQ(events.calls, std::vector<std::string>{"query"});
}

}  // namespace
}  // namespace plat::qt

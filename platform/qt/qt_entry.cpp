// The entry point of a Qt program: the application object, then the platform handed
// to the program's start-up routine.
#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_platform.h"

namespace {

// The window must be able to stay above the others, which a Wayland compositor does
// not let a program ask for: where X (XWayland) is there too, the program uses it.
void chooseDisplayServer() {
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if ((chosen == nullptr || chosen[0] == '\0') && display != nullptr && display[0] != '\0') {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
}

int runProgram(int argc, char** argv) {
    chooseDisplayServer();
    const QString name = plat::qt::toQString(ProgramTitle());
    QCoreApplication::setOrganizationName(name);
    QCoreApplication::setApplicationName(name);
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quibbets.ico")));
    plat::qt::QtPlatform platform;
    return ProgramMain(platform);
}

}  // namespace

// Nothing may unwind out of main: a failure that reaches it is said on stderr.
int main(int argc, char** argv) {
    try {
        return runProgram(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "The program ended after an unexpected failure.\n");
    }
    return 1;
}

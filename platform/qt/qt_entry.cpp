// The entry point of a Qt program: the application object, then the platform handed
// to the program's start-up routine.
#include <QApplication>

#include "platform/qt/qt_platform.h"

int main(int argc, char** argv) {
    try {
        const QApplication application(argc, argv);
        plat::qt::QtPlatform platform;
        return ProgramMain(platform);
    } catch (...) {
        return 1;  // nothing may unwind out of main
    }
}

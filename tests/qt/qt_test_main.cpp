// The Qt services' tests run in one application object on the offscreen platform,
// with the user's folders (configuration, runtime) in a fresh temporary folder: Qt
// reads some of them once, so they are set before anything else happens. The print
// system is one that is not there, so that no test ever reaches a real printer.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    char pattern[] = "/tmp/quibbets-qt-tests-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    ::mkdir((root + "/run").c_str(), 0700);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("CUPS_SERVER", (root + "/no-cups.sock").c_str(), 1);
    ::unsetenv("PRINTER");
    ::unsetenv("LPDEST");
    const QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    [[maybe_unused]] const int removed = std::system(("rm -rf '" + root + "'").c_str());
    return result;
}

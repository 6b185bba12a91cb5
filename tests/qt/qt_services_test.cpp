// Program facts, the screen, the clipboard's line ends and starting programs.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>
#include <string>

#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_services.h"
#include "platform/services/screen.h"
#include "platform/services/shell.h"

namespace plat::qt {
namespace {

// Sets an environment variable for the length of a test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        m_old = m_had ? old : "";
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { m_had ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    std::string m_old;
};

TEST(QtProgramInfo, PagesGoToTheUsersDataFolder) {
    const QtProgramInfo program;
    const ScopedEnv home("HOME", "/home/someone");
    {
        const ScopedEnv data("XDG_DATA_HOME", "/data/here/");
        EXPECT_EQ(program.dataFolder(), L"/data/here/quibbets");
    }
    for (const char* ignored : {"relative/data", "", static_cast<const char*>(nullptr)}) {
        const ScopedEnv data("XDG_DATA_HOME", ignored);
        EXPECT_EQ(program.dataFolder(), L"/home/someone/.local/share/quibbets");
    }
    EXPECT_EQ(program.pathSeparator(), L"/");
    EXPECT_EQ(program.folder().front(), L'/');
}

TEST(QtScreen, FifteenTwipsPerPixelAtNinetySixDpi) {
    const QtPlatform platform;
    ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96);
    EXPECT_FLOAT_EQ(platform.screen().twipsPerPixelX(), 15);
    EXPECT_FLOAT_EQ(platform.screen().twipsPerPixelY(), 15);
    const Rect far = platform.screen().workAreaNearest({1e7f, 1e7f, 1500, 1500});
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_FLOAT_EQ(far.width, static_cast<float>(area.width()) * 15);
    EXPECT_FLOAT_EQ(far.height, static_cast<float>(area.height()) * 15);
}

TEST(QtClipboard, LineEndsAreTheDesktopsOutsideAndCrLfInside) {
    QtClipboard clipboard;
    ASSERT_TRUE(clipboard.setText(L"one\r\ntwo\rthree\r\n").ok);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("one\ntwo\nthree\n"));

    QGuiApplication::clipboard()->setText(QStringLiteral("a\nb\r\nc\rd\n\n"));
    std::wstring text = L"stale";
    ASSERT_TRUE(clipboard.getText(text).ok);
    EXPECT_EQ(text, L"a\r\nb\r\nc\r\nd\r\n\r\n");

    QGuiApplication::clipboard()->clear();
    ASSERT_TRUE(clipboard.getText(text).ok);
    EXPECT_EQ(text, L"");
}

TEST(QtShell, StartingAProgramThatIsNoneFailsWithAReason) {
    const QtPlatform platform;
    const FileStatus missing = platform.shell().startProgram(L"/nonexistent/quibbets-notes");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
    const FileStatus notProgram = platform.shell().startProgram(L"/etc/hostname");
    EXPECT_FALSE(notProgram.ok);
    EXPECT_TRUE(platform.shell().startProgram(L"/bin/true").ok);
}

// The launcher retries while there is no notification area: it must hear "no".
TEST(QtShell, WithoutANotificationAreaNoIconIsTaken) {
    const QtPlatform platform;
    NotifyRecord record;
    record.window = 1;
    record.id = 1;
    EXPECT_FALSE(platform.shell().notifyIcon(NotifyOp::Add, record));
    EXPECT_FALSE(platform.shell().notifyIcon(NotifyOp::Modify, record));
    EXPECT_FALSE(platform.shell().notifyIcon(NotifyOp::Delete, record));
}

}  // namespace
}  // namespace plat::qt

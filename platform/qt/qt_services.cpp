// Program facts, the screen, help and the registry.
#include "platform/qt/qt_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>
#include <limits>

#include "platform/qt/qt_common.h"

namespace plat::qt {
namespace {

constexpr float kTwipsPerInch = 1440;

// An environment variable's value as a path: the file-name encoding of the system.
QString environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? QString() : QFile::decodeName(value);
}

// Squared distance from `point` to the nearest point of `area`; 0 inside it.
qint64 distanceSquared(const QRect& area, const QPoint& point) {
    const qint64 dx = point.x() < area.left() ? area.left() - point.x() : std::max(0, point.x() - area.right());
    const qint64 dy = point.y() < area.top() ? area.top() - point.y() : std::max(0, point.y() - area.bottom());
    return dx * dx + dy * dy;
}

}  // namespace

// applicationDirPath reads the link /proc/self/exe, so a program started through a
// link of its own still finds its real folder.
std::wstring QtProgramInfo::folder() const {
    return fromQString(QCoreApplication::applicationDirPath());
}

std::wstring_view QtProgramInfo::pathSeparator() const {
    return L"/";
}

// A relative XDG_DATA_HOME is to be ignored, as the base-directory rules say.
std::wstring QtProgramInfo::dataFolder() const {
    QString base = environmentPath("XDG_DATA_HOME");
    if (!base.startsWith(u'/')) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    while (base.size() > 1 && base.endsWith(u'/')) {
        base.chop(1);
    }
    return fromQString(base + QStringLiteral("/quibbets"));
}

std::uint32_t QtProgramInfo::processId() const {
    return static_cast<std::uint32_t>(QCoreApplication::applicationPid());
}

void QtProgramInfo::version(int& major, int& minor, int& revision) const {
    major = QUIBBETS_VERSION_MAJOR;
    minor = QUIBBETS_VERSION_MINOR;
    revision = QUIBBETS_VERSION_PATCH;
}

// Twips per pixel follow the primary screen's logical resolution (15 at 96 dpi), as
// a form's measures on Windows follow the system's.
QtScreen::QtScreen(PlatformState* state) : m_state(state) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return;
    }
    const qreal dpiX = primary->logicalDotsPerInchX();
    const qreal dpiY = primary->logicalDotsPerInchY();
    if (dpiX > 0 && dpiY > 0) {
        m_state->twipsPerPixelX = kTwipsPerInch / static_cast<float>(dpiX);
        m_state->twipsPerPixelY = kTwipsPerInch / static_cast<float>(dpiY);
    }
}

float QtScreen::twipsPerPixelX() const {
    return m_state->twipsPerPixelX;
}

float QtScreen::twipsPerPixelY() const {
    return m_state->twipsPerPixelY;
}

// The screen that holds the rectangle's centre, or else the one nearest to it.
Rect QtScreen::workAreaNearest(const Rect& r) const {
    const float tx = m_state->twipsPerPixelX;
    const float ty = m_state->twipsPerPixelY;
    const QPoint centre(static_cast<int>((r.left + r.width / 2) / tx), static_cast<int>((r.top + r.height / 2) / ty));
    const QScreen* nearest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const qint64 distance = distanceSquared(screen->geometry(), centre);
        if (distance < best) {
            best = distance;
            nearest = screen;
        }
    }
    if (nearest == nullptr) {
        return r;
    }
    return toTwips(nearest->availableGeometry(), tx, ty);
}

RegOpenResult QtRegistry::openMachineKey(std::string_view, RegKey& key) {
    key = 0;
    return RegOpenResult::NotFound;
}

RegReadResult QtRegistry::readValue(RegKey, std::string_view, RegValueKind&, std::uint8_t*, std::uint32_t& size) {
    size = 0;
    return RegReadResult::NotFound;
}

void QtRegistry::closeKey(RegKey) {}

std::wstring QtHelp::file() const {
    return {};
}

FileStatus QtHelp::show(NativeHandle, std::wstring_view, HelpCommand) {
    return {false, L"There is no help engine."};
}

}  // namespace plat::qt

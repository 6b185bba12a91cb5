// The notification-area icon: a QSystemTrayIcon per record, whose activations reach
// the launcher's form as the mouse messages the launcher decodes from its picture
// box (x divided by twips per pixel is the message number).
#include "platform/qt/qt_tray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/forms/form_model.h"
#include "platform/posix/posix_services.h"
#include "platform/qt/qt_common.h"

namespace plat::qt {
namespace {

constexpr char kWatcherService[] = "org.kde.StatusNotifierWatcher";

// Whether icons are shown by a StatusNotifierItem host, which reports a click once
// and never a double click (Qt then uses it rather than an embedded window).
bool trayIsNotifierHost() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr || !bus.interface()->isServiceRegistered(kWatcherService)) {
        return false;
    }
    const QDBusInterface watcher(kWatcherService, QStringLiteral("/StatusNotifierWatcher"), kWatcherService, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

int messageFor(QSystemTrayIcon::ActivationReason reason, bool notifierHost) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick: return kNotifyLeftDoubleClick;
        case QSystemTrayIcon::Context: return kNotifyRightButtonUp;
        case QSystemTrayIcon::Trigger: return notifierHost ? kNotifyLeftDoubleClick : kNotifyLeftButtonDown;
        default: return 0;
    }
}

// The record's tip: ANSI bytes up to the first NUL, at most the field's length.
QString tipText(const std::string& tip) {
    const std::string bytes = tip.substr(0, std::min(tip.find('\0'), kNotifyTipBytes));
    return toQString(posix::Cp1252Text().fromAnsi(bytes));
}

}  // namespace

TrayIcons::TrayIcons(PlatformState* state) : m_state(state) {}

TrayIcons::~TrayIcons() = default;

// The shell refuses a second icon of the same window and id, as Windows does.
bool TrayIcons::add(const NotifyRecord& record) {
    if (!QSystemTrayIcon::isSystemTrayAvailable() || m_icons.count(key(record)) != 0) {
        return false;
    }
    auto icon = std::make_unique<QSystemTrayIcon>(applicationIcon());
    const bool notifierHost = trayIsNotifierHost();
    const NativeHandle window = record.window;
    QSystemTrayIcon* tray = icon.get();
    QObject::connect(tray, &QSystemTrayIcon::activated, tray,
                     [this, tray, window, notifierHost](QSystemTrayIcon::ActivationReason reason) {
                         const int message = messageFor(reason, notifierHost);
                         if (message != 0) {
                             // Later, from the event loop: the launcher may open a menu, and the tray
                             // host waits for this call to return.
                             QTimer::singleShot(0, tray, [this, window, message] { deliver(window, message); });
                         }
                     });
    update(*tray, record);
    tray->show();
    m_icons.emplace(key(record), std::move(icon));
    return true;
}

bool TrayIcons::modify(const NotifyRecord& record) {
    const auto found = m_icons.find(key(record));
    if (found == m_icons.end()) {
        return false;
    }
    update(*found->second, record);
    return true;
}

bool TrayIcons::remove(const NotifyRecord& record) {
    const auto found = m_icons.find(key(record));
    if (found == m_icons.end()) {
        return false;
    }
    found->second->hide();
    m_icons.erase(found);
    return true;
}

void TrayIcons::update(QSystemTrayIcon& tray, const NotifyRecord& record) {
    if ((record.flags & kNotifyTip) != 0) {
        tray.setToolTip(tipText(record.tip));
    }
    if ((record.flags & kNotifyIcon) != 0) {
        tray.setIcon(applicationIcon());
    }
}

// The form whose picture box the record names hears of it; a form gone meanwhile
// is passed over.
void TrayIcons::deliver(NativeHandle window, int message) {
    const std::vector<Form*> forms = m_state->forms->forms();
    for (Form* form : forms) {
        if (m_state->forms->contains(form) && form->pictureHandle() == window) {
            try {
                FormModel::of(*form)->pictureMouseMove(0, 0, static_cast<float>(message) * m_state->twipsPerPixelX, 0);
            } catch (...) {
                reportEventFailure(*m_state);
            }
            return;
        }
    }
}

}  // namespace plat::qt

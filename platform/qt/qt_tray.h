// Internal to the Qt backend: the notification-area icons that the shell service
// keeps, one per window and id.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "platform/qt/qt_platform.h"
#include "platform/services/notify_record.h"

class QSystemTrayIcon;

namespace plat::qt {

class TrayIcons {
public:
    explicit TrayIcons(PlatformState* state);
    ~TrayIcons();
    TrayIcons(const TrayIcons&) = delete;
    TrayIcons& operator=(const TrayIcons&) = delete;

    // False when there is no notification area (yet) or the icon is there already.
    bool add(const NotifyRecord& record);
    // False when there is no such icon.
    bool modify(const NotifyRecord& record);
    bool remove(const NotifyRecord& record);

private:
    using Key = std::pair<NativeHandle, std::uint32_t>;
    static Key key(const NotifyRecord& record) { return {record.window, record.id}; }
    static void update(QSystemTrayIcon& tray, const NotifyRecord& record);
    void deliver(NativeHandle window, int message);

    PlatformState* m_state;
    std::map<Key, std::unique_ptr<QSystemTrayIcon>> m_icons;
};

}  // namespace plat::qt

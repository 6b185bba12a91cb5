// The settings store: one INI file per application in the user's configuration
// folder ($XDG_CONFIG_HOME/<app>/<app>.conf), a group per section.
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <utility>
#include <vector>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_services.h"

namespace plat::qt {
namespace {

// Made anew for each call: Qt keeps the parsed file in a cache of its own, and a
// settings object held open would not see another copy's changes. The path is
// spelled out: Qt's own choice for INI files would end in ".ini".
std::unique_ptr<QSettings> openSettings(std::wstring_view app) {
    const QString name = toQString(app);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(folder + u'/' + name + u'/' + name + QStringLiteral(".conf"),
                                       QSettings::IniFormat);
}

QString keyPath(std::wstring_view section, std::wstring_view key) {
    return toQString(section) + u'/' + toQString(key);
}

std::wstring writeFailure(const QSettings& settings, const wchar_t* why) {
    return L"The settings file " + fromQString(settings.fileName()) + L" could not be written (" + why + L").";
}

using QtValues = std::vector<std::pair<QString, QString>>;  // (key path, text)

// The values whose stored text differs, or that are not stored as text at all.
QtValues changedValues(const QSettings& settings, std::wstring_view section, const SettingValues& values) {
    QtValues changed;
    for (const auto& [key, value] : values) {
        const QString path = keyPath(section, key);
        const QString text = toQString(value);
        const QVariant stored = settings.value(path);
        if (stored.typeId() != QMetaType::QString || stored.toString() != text) {
            changed.emplace_back(path, text);
        }
    }
    return changed;
}

// After sync(). Qt rewrites a file it could not wholly parse with what it did read
// and the new values, yet still reports the damage: the values read back tell
// whether the write took.
FileStatus writeStatus(const QSettings& settings, const QtValues& written) {
    if (settings.status() == QSettings::AccessError || !QFileInfo(settings.fileName()).isFile()) {
        return {false, writeFailure(settings, L"access denied")};
    }
    if (settings.status() == QSettings::FormatError) {
        const QSettings reread(settings.fileName(), QSettings::IniFormat);
        for (const auto& [path, text] : written) {
            if (reread.value(path) != text) {
                return {false, writeFailure(settings, L"the file is damaged")};
            }
        }
    }
    return {};
}

}  // namespace

// A value that is not plain text (a list, say, from a line edited by hand) reads as
// absent, as an unreadable one does.
std::wstring QtSettings::get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                             std::wstring_view fallback) const {
    const std::unique_ptr<QSettings> settings = openSettings(app);
    const QVariant value = settings->value(keyPath(section, key));
    if (value.typeId() != QMetaType::QString) {
        return std::wstring(fallback);
    }
    return fromQString(value.toString());
}

// sync() writes the file at once, so that a failure is known here and not lost when
// the object goes.
FileStatus QtSettings::saveAll(std::wstring_view app, std::wstring_view section, const SettingValues& values) {
    const std::unique_ptr<QSettings> settings = openSettings(app);
    const QtValues changed = changedValues(*settings, section, values);
    if (changed.empty()) {
        return {};  // nothing to write: a window left where it was costs no disk write
    }
    for (const auto& [path, text] : changed) {
        settings->setValue(path, text);
    }
    settings->sync();
    return writeStatus(*settings, changed);
}

}  // namespace plat::qt

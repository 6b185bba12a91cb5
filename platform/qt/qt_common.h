// Small conversions between the desktop layer's types and Qt's, and the program's icon.
#pragma once

#include <QGuiApplication>
#include <QIcon>
#include <QRect>
#include <QString>

#include <cmath>
#include <string>
#include <string_view>

#include "platform/services/geometry.h"

namespace plat::qt {

inline QString toQString(std::wstring_view text) {
    return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::wstring fromQString(const QString& text) {
    return text.toStdWString();
}

inline Rect toTwips(const QRect& r, float twipsPerPixelX, float twipsPerPixelY) {
    return {static_cast<float>(r.x()) * twipsPerPixelX, static_cast<float>(r.y()) * twipsPerPixelY,
            static_cast<float>(r.width()) * twipsPerPixelX, static_cast<float>(r.height()) * twipsPerPixelY};
}

// The icon built into the programs (":/quibbets.ico"), else the application's own.
inline QIcon applicationIcon() {
    const QIcon icon(QStringLiteral(":/quibbets.ico"));
    return icon.isNull() ? QGuiApplication::windowIcon() : icon;
}

}  // namespace plat::qt

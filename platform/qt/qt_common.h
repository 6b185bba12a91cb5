// Small conversions between the desktop layer's types and Qt's.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace plat::qt {

inline QString toQString(std::wstring_view text) {
    return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::wstring fromQString(const QString& text) {
    return text.toStdWString();
}

}  // namespace plat::qt

// What the launcher puts into its notification-icon record (whose layout the
// desktop layer keeps in platform/notify_record.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/services/notify_record.h"

namespace launcher {

inline constexpr std::uint32_t kIconId = 1;
// The add record carries the callback message, the icon and the tip.
inline constexpr std::uint32_t kNotifyFlags = plat::kNotifyMessage | plat::kNotifyIcon | plat::kNotifyTip;
inline constexpr std::uint32_t kCallbackMessage = 512;  // the mouse-move message number

// The tip field: the name, one NUL, then blanks to 64 bytes.
std::string tipField(const plat::Platform& platform, std::wstring_view name);

}  // namespace launcher

// The notification-icon record handed to the shell: the ANSI first-version layout
// for a given pointer width (88 bytes with 32-bit pointers, 104 with 64-bit ones).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace launcher {

inline constexpr std::uint32_t kIconId = 1;
inline constexpr std::uint32_t kNotifyFlags = 7;        // message, icon and tip are valid
inline constexpr std::uint32_t kCallbackMessage = 512;  // the mouse-move message number
inline constexpr std::size_t kTipBytes = 64;

struct NotifyRecord {
    plat::NativeHandle window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    plat::NativeHandle icon = 0;
    std::string tip;  // ANSI bytes, at most kTipBytes
};

// Byte offsets of the record's fields for a pointer width of 4 or 8.
struct NotifyLayout {
    std::size_t window, id, flags, callbackMessage, icon, tip, size;
};
NotifyLayout notifyLayout(std::size_t pointerWidth);

// The record's bytes, zero-filled where no field is set.
std::vector<std::uint8_t> encodeNotifyRecord(const NotifyRecord& record, std::size_t pointerWidth);

// The tip field: the name, one NUL, then blanks to 64 bytes.
std::string tipField(const plat::Platform& platform, std::wstring_view name);

}  // namespace launcher

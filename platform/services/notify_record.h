// The notification-icon record: its fields, and its bytes as the shell reads them
// (the ANSI first-version layout, 88 bytes with 32-bit pointers, 104 with 64-bit
// ones). The one place that knows the layout, so that it can be checked for both
// pointer widths on any machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/services/geometry.h"

namespace plat {

// Which of the record's fields the shell is to take.
inline constexpr std::uint32_t kNotifyMessage = 1;  // callbackMessage
inline constexpr std::uint32_t kNotifyIcon = 2;     // icon
inline constexpr std::uint32_t kNotifyTip = 4;      // tip
inline constexpr std::size_t kNotifyTipBytes = 64;

// The mouse messages an icon reports to its window (the desktop's message numbers),
// as the launcher tells them apart.
enum NotifyMouse : int {
    kNotifyLeftButtonDown = 513,
    kNotifyLeftDoubleClick = 515,
    kNotifyRightButtonUp = 517,
};

struct NotifyRecord {
    NativeHandle window = 0;  // gets the icon's mouse messages
    std::uint32_t id = 0;     // tells the icons of one window apart
    std::uint32_t flags = 0;  // kNotifyMessage, kNotifyIcon, kNotifyTip
    std::uint32_t callbackMessage = 0;
    NativeHandle icon = 0;
    std::string tip;  // ANSI bytes; only the first kNotifyTipBytes are sent
    bool operator==(const NotifyRecord&) const = default;
};

// Byte offsets of the record's fields for a pointer width of 4 or 8.
struct NotifyLayout {
    std::size_t window, id, flags, callbackMessage, icon, tip, size;
};

constexpr std::size_t alignNotifyField(std::size_t offset, std::size_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

// The size field comes first; pointers sit on boundaries of their own width.
constexpr NotifyLayout notifyLayout(std::size_t pointerWidth) {
    NotifyLayout l{};
    l.window = alignNotifyField(4, pointerWidth);
    l.id = l.window + pointerWidth;
    l.flags = l.id + 4;
    l.callbackMessage = l.flags + 4;
    l.icon = alignNotifyField(l.callbackMessage + 4, pointerWidth);
    l.tip = l.icon + pointerWidth;
    l.size = l.tip + kNotifyTipBytes;
    return l;
}

// The record's bytes, little-endian, zero-filled where no field is set.
std::vector<std::uint8_t> encodeNotifyRecord(const NotifyRecord& record, std::size_t pointerWidth);

}  // namespace plat

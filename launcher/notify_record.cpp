// Building the notification-icon record byte by byte, so that its layout is the
// same whatever compiler builds it and can be checked on any machine.
#include "launcher/notify_record.h"

#include <algorithm>

namespace launcher {
namespace {

std::size_t alignUp(std::size_t offset, std::size_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

void put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));  // little-endian
    }
}

}  // namespace

NotifyLayout notifyLayout(std::size_t pointerWidth) {
    NotifyLayout l{};
    l.window = alignUp(4, pointerWidth);
    l.id = l.window + pointerWidth;
    l.flags = l.id + 4;
    l.callbackMessage = l.flags + 4;
    l.icon = alignUp(l.callbackMessage + 4, pointerWidth);
    l.tip = l.icon + pointerWidth;
    l.size = l.tip + kTipBytes;
    return l;
}

std::vector<std::uint8_t> encodeNotifyRecord(const NotifyRecord& record, std::size_t pointerWidth) {
    const NotifyLayout l = notifyLayout(pointerWidth);
    std::vector<std::uint8_t> bytes(l.size, 0);
    put(bytes, 0, l.size, 4);
    put(bytes, l.window, record.window, pointerWidth);
    put(bytes, l.id, record.id, 4);
    put(bytes, l.flags, record.flags, 4);
    put(bytes, l.callbackMessage, record.callbackMessage, 4);
    put(bytes, l.icon, record.icon, pointerWidth);
    std::copy_n(record.tip.begin(), std::min(record.tip.size(), kTipBytes), bytes.begin() + l.tip);
    return bytes;
}

std::string tipField(const plat::Platform& platform, std::wstring_view name) {
    std::string tip;
    platform.toAnsi(name, tip);
    tip.push_back('\0');
    tip.resize(kTipBytes, ' ');
    return tip;
}

}  // namespace launcher

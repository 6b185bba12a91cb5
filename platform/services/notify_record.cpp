// Building the notification-icon record byte by byte, so that its layout is the
// same whatever compiler builds it.
#include "platform/services/notify_record.h"

#include <algorithm>

namespace plat {
namespace {

void put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::vector<std::uint8_t> encodeNotifyRecord(const NotifyRecord& record, std::size_t pointerWidth) {
    const NotifyLayout l = notifyLayout(pointerWidth);
    std::vector<std::uint8_t> bytes(l.size, 0);
    put(bytes, 0, l.size, 4);
    put(bytes, l.window, record.window, pointerWidth);
    put(bytes, l.id, record.id, 4);
    put(bytes, l.flags, record.flags, 4);
    put(bytes, l.callbackMessage, record.callbackMessage, 4);
    put(bytes, l.icon, record.icon, pointerWidth);
    std::copy_n(record.tip.begin(), std::min(record.tip.size(), kNotifyTipBytes), bytes.begin() + l.tip);
    return bytes;
}

}  // namespace plat

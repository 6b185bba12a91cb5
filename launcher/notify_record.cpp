// The launcher's notification-icon tip.
#include "launcher/notify_record.h"

#include "platform/services/ansi_text.h"

namespace launcher {

std::string tipField(const plat::Platform& platform, std::wstring_view name) {
    std::string tip;
    platform.ansiText().toAnsi(name, tip);
    tip.push_back('\0');
    tip.resize(plat::kNotifyTipBytes, ' ');
    return tip;
}

}  // namespace launcher

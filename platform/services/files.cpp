// The temporary-file name rule, read back: which process wrote a temporary file.
#include "platform/services/files.h"

namespace plat {

// The name is "<target>.<pid>-<count>" plus the suffix; the pid is the digits
// between the last dot before the last dash and that dash.
std::optional<std::uint32_t> tempFileWriter(std::wstring_view name) {
    if (!name.ends_with(kTempSuffix)) {
        return std::nullopt;
    }
    name.remove_suffix(kTempSuffix.size());
    const std::size_t dash = name.rfind(L'-');
    const std::size_t dot = name.rfind(L'.', dash);
    if (dash == std::wstring_view::npos || dot == std::wstring_view::npos || dash == dot + 1 ||
        dash + 1 == name.size()) {
        return std::nullopt;
    }
    std::uint64_t id = 0;
    for (const wchar_t c : name.substr(dot + 1, dash - dot - 1)) {
        if (c < L'0' || c > L'9' || id > 0xFFFFFFFFu / 10) {
            return std::nullopt;
        }
        id = id * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return id <= 0xFFFFFFFFu ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(id)) : std::nullopt;
}

}  // namespace plat

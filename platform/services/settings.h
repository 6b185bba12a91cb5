// The per-user settings store: text values by application, section and key.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/services/status.h"

namespace plat {

// Values to store, each as (key, text).
using SettingValues = std::vector<std::pair<std::wstring, std::wstring>>;

class Settings {
public:
    virtual ~Settings() = default;
    // Reads a text value; `fallback` when the key is absent or unreadable.
    virtual std::wstring get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                             std::wstring_view fallback) const = 0;
    // Stores text values of one section, as (key, value) pairs, in one write, creating
    // the section when needed. A failure says why; some of the values may be stored then.
    virtual FileStatus saveAll(std::wstring_view app, std::wstring_view section, const SettingValues& values) = 0;
};

}  // namespace plat

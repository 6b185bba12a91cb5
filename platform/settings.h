// The per-user settings store: text values by application, section and key.
#pragma once

#include <string>
#include <string_view>

#include "platform/status.h"

namespace plat {

class Settings {
public:
    virtual ~Settings() = default;
    // Reads a text value; `fallback` when the key is absent or unreadable.
    virtual std::wstring get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                             std::wstring_view fallback) const = 0;
    // Stores a text value, creating its section when needed.
    virtual FileStatus save(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                            std::wstring_view value) = 0;
};

}  // namespace plat

// Conversion between wide text and the desktop's 8-bit ANSI character set.
#pragma once

#include <string>
#include <string_view>

namespace plat {

class AnsiText {
public:
    virtual ~AnsiText() = default;
    // Converts to the 8-bit ANSI character set; false (and `out` empty) when a
    // character has no exact 8-bit form: nothing is ever replaced by '?'.
    virtual bool toAnsi(std::wstring_view text, std::string& out) const = 0;
    // Every byte has a character, so this cannot fail.
    virtual std::wstring fromAnsi(std::string_view bytes) const = 0;
};

}  // namespace plat

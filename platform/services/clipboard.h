// The clipboard, plain text only. Each call makes one attempt: another program may
// hold the clipboard for a moment, and the caller decides whether to try again.
#pragma once

#include <string>
#include <string_view>

#include "platform/services/status.h"

namespace plat {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard and puts `text` on it. Fails, changing nothing, when
    // another program holds the clipboard or it takes no data.
    virtual FileStatus setText(std::wstring_view text) = 0;
    // The clipboard's text, empty when it holds none. Fails when it cannot be opened.
    virtual FileStatus getText(std::wstring& text) = 0;
};

}  // namespace plat

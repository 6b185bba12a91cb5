// The help engine and the application's help file.
#pragma once

#include <string>
#include <string_view>

#include "platform/services/geometry.h"
#include "platform/services/status.h"

namespace plat {

enum class HelpCommand {
    Contents,  // the help file's table of contents
    Search,    // the engine's search by keyword, with no keyword given
};

class Help {
public:
    virtual ~Help() = default;
    // The application's help file; empty when it has none.
    virtual std::wstring file() const = 0;
    // Hands `helpFile` to the help engine with `command`, owned by `owner`. The
    // engine's own result is ignored; fails only when the engine cannot be reached
    // at all, with the reason as error.
    virtual FileStatus show(NativeHandle owner, std::wstring_view helpFile, HelpCommand command) = 0;
};

}  // namespace plat

// What the form interfaces give on top of their operations.
#include "platform/services/form.h"

namespace plat {

std::wstring TextContent::text() const {
    std::wstring copy;
    readText([&copy](std::wstring_view piece) { copy += piece; });
    return copy;
}

}  // namespace plat

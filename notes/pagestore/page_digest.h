// A page text's fingerprint. Save compares a page with what was last loaded or saved
// through this, so the program keeps no second copy of every page's text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace notes {

struct PageDigest {
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    std::size_t length = 0;  // UTF-16 units (wide characters)

    bool empty() const { return length == 0; }
    bool operator==(const PageDigest&) const = default;
};

// Two independent 64-bit hashes of the text and its length: an accidental match of
// two different texts is out of practical reach.
PageDigest digestOf(std::wstring_view text);

}  // namespace notes

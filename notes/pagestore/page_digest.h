// A page file's fingerprint. Save compares the bytes a page would be written as with
// what was last loaded or saved through this, so the program keeps no second copy
// of every page's text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace notes {

struct PageDigest {
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    std::size_t length = 0;  // bytes

    bool operator==(const PageDigest&) const = default;
};

// Two 64-bit hashes of the bytes and their length: an accidental match of two
// different files is out of practical reach.
PageDigest digestOf(std::string_view bytes);

}  // namespace notes

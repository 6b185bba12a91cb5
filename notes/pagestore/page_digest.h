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

// The same digest, taken from bytes handed over piece by piece as they are made, so
// that a writer need not read its bytes a second time.
class DigestBuilder {
public:
    void add(std::string_view bytes);
    PageDigest finish() const;

private:
    std::uint64_t m_a = 0x243F6A8885A308D3ull;
    std::uint64_t m_b = 0x13198A2E03707344ull;
    char m_pending[16] = {};  // bytes of a block not yet whole
    std::size_t m_pendingSize = 0;
    std::size_t m_length = 0;
};

}  // namespace notes

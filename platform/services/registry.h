// The machine-wide registry, read-only and as an 8-bit program reads it: key paths
// and value names are in the ANSI character set, data comes back as stored.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

// An open key, 0 when there is none.
using RegKey = std::uintptr_t;

enum class RegOpenResult { Ok, NotFound, AccessDenied, Failed };
enum class RegReadResult { Ok, NotFound, MoreData, Failed };
// What a value holds: text (its bytes, with the terminating zero as stored), a
// 32-bit number (its four bytes, least significant first), or anything else.
enum class RegValueKind { Text, Number, Other };

class Registry {
public:
    virtual ~Registry() = default;
    // Opens a key of the machine-wide keys by its path, for reading only.
    virtual RegOpenResult openMachineKey(std::string_view path, RegKey& key) = 0;
    // Reads a value into data[0..size); on entry `size` is the buffer's size, on return
    // the value's size in bytes. A value larger than the buffer gives MoreData.
    virtual RegReadResult readValue(RegKey key, std::string_view name, RegValueKind& kind, std::uint8_t* data,
                                    std::uint32_t& size) = 0;
    // Closes a key that openMachineKey opened.
    virtual void closeKey(RegKey key) = 0;
};

}  // namespace plat

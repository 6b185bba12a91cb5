// Reading registry keys as an 8-bit program does: the A functions, so that key
// paths, value names and string data are in the ANSI character set.
#include "platform/win32/win32_platform.h"

namespace plat::win32 {
namespace {

// The predefined roots are 32-bit values with the high bit set; as handles on a
// 64-bit system they are sign-extended (0x80000002 is 0xFFFFFFFF80000002), and the
// zero-extended value names no key at all.
HKEY rootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(root)));
}

}  // namespace

long Win32Platform::regOpenKey(std::uint32_t root, std::string_view path, std::uint32_t access, RegKey& key) {
    key = 0;
    HKEY handle = nullptr;
    const LSTATUS status = RegOpenKeyExA(rootKey(root), std::string(path).c_str(), 0, access, &handle);
    if (status == ERROR_SUCCESS) {
        key = reinterpret_cast<RegKey>(handle);
    }
    return status;
}

long Win32Platform::regQueryValue(RegKey key, std::string_view name, std::uint32_t& type, std::uint8_t* data,
                                  std::uint32_t& size) {
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LSTATUS status =
        RegQueryValueExA(reinterpret_cast<HKEY>(key), std::string(name).c_str(), nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return status;
}

void Win32Platform::regCloseKey(RegKey key) {
    if (key != 0) {
        RegCloseKey(reinterpret_cast<HKEY>(key));
    }
}

}  // namespace plat::win32

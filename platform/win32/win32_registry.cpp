// Reading machine keys of the registry as an 8-bit program does: the A functions,
// so that key paths, value names and string data are in the ANSI character set.
#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

RegValueKind kindOf(DWORD type) {
    switch (type) {
        case REG_SZ: return RegValueKind::Text;
        case REG_DWORD: return RegValueKind::Number;
        default: return RegValueKind::Other;
    }
}

}  // namespace

RegOpenResult Win32Registry::openMachineKey(std::string_view path, RegKey& key) {
    key = 0;
    HKEY handle = nullptr;
    const LSTATUS status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(path).c_str(), 0, KEY_READ, &handle);
    switch (status) {
        case ERROR_SUCCESS: key = reinterpret_cast<RegKey>(handle); return RegOpenResult::Ok;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return RegOpenResult::NotFound;
        case ERROR_ACCESS_DENIED: return RegOpenResult::AccessDenied;
        default: return RegOpenResult::Failed;
    }
}

RegReadResult Win32Registry::readValue(RegKey key, std::string_view name, RegValueKind& kind, std::uint8_t* data,
                                       std::uint32_t& size) {
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LSTATUS status =
        RegQueryValueExA(reinterpret_cast<HKEY>(key), std::string(name).c_str(), nullptr, &valueType, data, &valueSize);
    kind = kindOf(valueType);
    size = valueSize;
    switch (status) {
        case ERROR_SUCCESS: return RegReadResult::Ok;
        case ERROR_FILE_NOT_FOUND: return RegReadResult::NotFound;
        case ERROR_MORE_DATA: return RegReadResult::MoreData;
        default: return RegReadResult::Failed;
    }
}

void Win32Registry::closeKey(RegKey key) {
    if (key != 0) {
        RegCloseKey(reinterpret_cast<HKEY>(key));
    }
}

}  // namespace plat::win32

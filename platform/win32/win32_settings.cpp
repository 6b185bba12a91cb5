// The per-user settings store: REG_SZ values under HKEY_CURRENT_USER\Software\<app>\<section>.
#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

std::wstring keyPath(std::wstring_view app, std::wstring_view section) {
    return L"Software\\" + std::wstring(app) + L"\\" + std::wstring(section);
}

}  // namespace

// Absent, unreadable or not a string: the fallback.
std::wstring Win32Settings::get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                                std::wstring_view fallback) const {
    const std::wstring path = keyPath(app, section);
    const std::wstring name(key);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS) {
            return std::wstring(fallback);
        }
        std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &bytes);
        if (status == ERROR_SUCCESS) {
            value.resize(wcsnlen(value.c_str(), value.size()));
            return value;
        }
        if (status != ERROR_MORE_DATA) {
            break;  // otherwise the value grew in between: ask again
        }
    }
    return std::wstring(fallback);
}

// The key is opened once for all the values, and the first value refused ends the
// write. No RegFlushKey: the system puts the registry on disk by itself, and a forced
// flush would only hold up the close.
FileStatus Win32Settings::saveAll(std::wstring_view app, std::wstring_view section, const SettingValues& values) {
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) {
        return failure(static_cast<DWORD>(status));
    }
    for (const auto& [key, text] : values) {
        const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));  // with the terminating NUL
        status = RegSetValueExW(handle, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
        if (status != ERROR_SUCCESS) {
            break;
        }
    }
    RegCloseKey(handle);
    return status == ERROR_SUCCESS ? FileStatus{} : failure(static_cast<DWORD>(status));
}

}  // namespace plat::win32

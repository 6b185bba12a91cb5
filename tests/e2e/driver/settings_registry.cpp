// Registry access for the window settings tests.
#include "tests/e2e/driver/settings_registry.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "tests/e2e/driver/win_util.h"

namespace e2e {

void clearSettings() {
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        fail("cannot clear the settings key: " + lastErrorText(static_cast<DWORD>(status)));
    }
}

void writeSetting(const std::wstring& name, const std::wstring& value) {
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        fail("cannot write setting " + toUtf8(name) + ": " + lastErrorText(status));
    }
}

void writeGeometry(const std::wstring& left, const std::wstring& top, const std::wstring& width,
                   const std::wstring& height) {
    const std::pair<const wchar_t*, const std::wstring*> values[] = {
        {L"MainLeft", &left}, {L"MainTop", &top}, {L"MainWidth", &width}, {L"MainHeight", &height}};
    for (const auto& [name, value] : values) {
        if (!value->empty()) {
            writeSetting(name, *value);
        }
    }
}

std::optional<std::wstring> readSetting(const std::wstring& name) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer.data());
}

bool settingsEmpty() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return true;
    }
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values == 0;
}

}  // namespace e2e

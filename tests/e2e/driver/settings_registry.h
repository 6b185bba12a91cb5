// The program's stored window settings, HKCU\Software\Quibbets\Settings.
#pragma once

#include <optional>
#include <string>

namespace e2e {

inline constexpr wchar_t kSettingsKey[] = L"Software\\Quibbets\\Settings";

// Removes the key and all its values (a fresh first run).
void clearSettings();
// Writes a REG_SZ value.
void writeSetting(const std::wstring& name, const std::wstring& value);
// Writes the stored window place: "MainLeft", "MainTop", "MainWidth", "MainHeight",
// as given (empty: that value is not written).
void writeGeometry(const std::wstring& left, const std::wstring& top, const std::wstring& width = {},
                   const std::wstring& height = {});
// A REG_SZ value; nullopt when absent.
std::optional<std::wstring> readSetting(const std::wstring& name);
// True when the key holds no value (or does not exist).
bool settingsEmpty();

}  // namespace e2e

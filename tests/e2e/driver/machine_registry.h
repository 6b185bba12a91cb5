// Machine-wide registry values (HKLM) that a test changes for the length of one
// case. The Wine prefix is shared by every group, so each change is undone.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// One HKLM value: remembers what was there and puts it back on destruction.
class SavedMachineValue {
public:
    SavedMachineValue(std::wstring key, std::wstring name);
    ~SavedMachineValue();
    SavedMachineValue(const SavedMachineValue&) = delete;
    SavedMachineValue& operator=(const SavedMachineValue&) = delete;

    // Removes the value (the key stays, when it exists).
    void remove() const;
    // Writes a REG_SZ value, creating the key when needed; fails the test on error.
    void set(std::wstring_view text) const;

private:
    void restore() const;
    std::wstring m_key;
    std::wstring m_name;
    bool m_keyExisted = false;
    bool m_valueExisted = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};

}  // namespace e2e

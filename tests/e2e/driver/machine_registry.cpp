// Changing and restoring HKLM values for the end-to-end tests.
#include "tests/e2e/driver/machine_registry.h"

#include "tests/e2e/driver/win_util.h"

namespace e2e {

namespace {

// An open key; null when it cannot be opened.
class Key {
public:
    Key(const std::wstring& path, REGSAM access, bool create) {
        const LSTATUS status =
            create ? RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, access, nullptr, &m_key, nullptr)
                   : RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &m_key);
        if (status != ERROR_SUCCESS) {
            m_key = nullptr;
        }
    }
    ~Key() {
        if (m_key) {
            RegCloseKey(m_key);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace

SavedMachineValue::SavedMachineValue(std::wstring key, std::wstring name)
    : m_key(std::move(key)), m_name(std::move(name)) {
    Key open(m_key, KEY_QUERY_VALUE, false);
    m_keyExisted = open.get() != nullptr;
    DWORD bytes = 0;
    if (m_keyExisted &&
        RegQueryValueExW(open.get(), m_name.c_str(), nullptr, &m_type, nullptr, &bytes) == ERROR_SUCCESS) {
        m_data.resize(bytes);
        m_valueExisted =
            RegQueryValueExW(open.get(), m_name.c_str(), nullptr, &m_type, m_data.data(), &bytes) == ERROR_SUCCESS;
        m_data.resize(bytes);
    }
}

SavedMachineValue::~SavedMachineValue() {
    restore();
}

void SavedMachineValue::remove() const {
    Key open(m_key, KEY_SET_VALUE, false);
    if (open.get()) {
        RegDeleteValueW(open.get(), m_name.c_str());
    }
}

void SavedMachineValue::set(std::wstring_view text) const {
    Key open(m_key, KEY_SET_VALUE, true);
    if (!open.get()) {
        fail("cannot create HKLM\\" + toUtf8(m_key));
    }
    const std::wstring value(text);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegSetValueExW(open.get(), m_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    if (status != ERROR_SUCCESS) {
        fail("cannot write HKLM\\" + toUtf8(m_key) + " " + toUtf8(m_name) + ": " + lastErrorText(status));
    }
}

// Runs in a destructor: it reports nothing and never throws.
void SavedMachineValue::restore() const {
    if (m_valueExisted) {
        Key open(m_key, KEY_SET_VALUE, true);
        if (open.get()) {
            RegSetValueExW(open.get(), m_name.c_str(), 0, m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
        }
        return;
    }
    remove();
    if (!m_keyExisted) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, m_key.c_str());
    }
}

}  // namespace e2e

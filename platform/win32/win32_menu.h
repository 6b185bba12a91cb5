// The menu bar of a form: the Win32 menu, its accelerator table and the state of
// every entry (hidden entries included, which the menu bar does not hold). Hidden
// drop-downs still get a pop-up menu of their own, for Form::popupMenu.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat::win32 {

class Win32Menu {
public:
    Win32Menu() = default;
    ~Win32Menu();
    Win32Menu(const Win32Menu&) = delete;
    Win32Menu& operator=(const Win32Menu&) = delete;

    // Builds the menu bar and the accelerators; no bar when no top-level entry is visible.
    void build(const std::vector<MenuItem>& bar);
    HMENU bar() const { return m_bar; }
    HACCEL accelerators() const { return m_accelerators; }
    // The window that held the bar destroyed it.
    void forgetBar() { m_bar = nullptr; }

    bool has(int id) const;
    bool enabled(int id) const;
    bool visible(int id) const;
    std::wstring caption(int id) const;
    // The drop-down that holds `id`; none for a top-level entry.
    std::optional<int> parentOf(int id) const;
    void setEnabled(HWND window, int id, bool enabled);
    // The id of the drop-down whose Win32 menu is `popup`.
    std::optional<int> popupId(HMENU popup) const;
    // The pop-up menu of drop-down `id`, also of a hidden one; null when `id` has none.
    HMENU popupOf(int id) const;

    // TranslateAcceleratorW may open the item's drop-down itself (WM_INITMENUPOPUP);
    // this tells the WM_COMMAND that follows whether onMenuOpen has already run.
    bool translating = false;
    bool openedWhileTranslating = false;

private:
    struct Entry {
        std::wstring caption;
        bool enabled = true;
        bool visible = true;
        std::optional<int> parent;
        HMENU owner = nullptr;  // the Win32 menu holding it; none when hidden
        UINT position = 0;
    };
    void add(HMENU owner, const MenuItem& design, std::optional<int> parent);
    void append(HMENU owner, const MenuItem& design, HMENU popup);

    std::map<int, Entry> m_entries;
    std::map<HMENU, int> m_popups;
    std::vector<HMENU> m_detached;  // pop-ups of hidden drop-downs, in no other menu
    std::vector<ACCEL> m_accels;
    HMENU m_bar = nullptr;
    HACCEL m_accelerators = nullptr;
};

}  // namespace plat::win32

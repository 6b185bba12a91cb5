// The menu bar of a form as the system draws it: the Win32 menus and the accelerator
// table of the shortcuts. The entries' state and the rules live in the form's
// MenuModel; this only draws it. Hidden drop-downs still get a pop-up menu of their
// own, for Form::popupMenu.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "platform/services/form.h"

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

    // Draws entry `id` enabled or greyed.
    void drawEnabled(HWND window, int id, bool enabled);
    // The id of the drop-down whose Win32 menu is `popup`.
    std::optional<int> popupId(HMENU popup) const;
    // The pop-up menu of drop-down `id`, also of a hidden one; null when `id` has none.
    HMENU popupOf(int id) const;

    // TranslateAcceleratorW may open the item's drop-down itself (WM_INITMENUPOPUP);
    // this tells the WM_COMMAND that follows whether onMenuOpen has already run.
    bool translating = false;
    bool openedWhileTranslating = false;

private:
    // Where an entry's item is: its holding menu and position there.
    struct Entry {
        HMENU owner = nullptr;
        UINT position = 0;
    };
    void add(HMENU owner, const MenuItem& design);
    void append(HMENU owner, const MenuItem& design, HMENU popup);

    std::map<int, Entry> m_entries;
    std::map<HMENU, int> m_popups;
    std::vector<HMENU> m_detached;  // pop-ups of hidden drop-downs, in no other menu
    std::vector<ACCEL> m_accels;
    HMENU m_bar = nullptr;
    HACCEL m_accelerators = nullptr;
};

}  // namespace plat::win32

// The menu tree of a form with the state of every entry, and the rules by which a
// menu command acts, shared by every backend: a backend reports what reached the
// window (a drop-down opening, a command), the model decides what the form hears.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/services/form.h"

namespace plat {

// How a menu command reached the form.
enum class MenuSource {
    Menu,            // chosen in the menu bar, or sent to the window by another program
    Shortcut,        // the entry's shortcut key
    ShortcutOpened,  // the shortcut key, whose drop-down the backend reported opening
};

class MenuModel {
public:
    explicit MenuModel(std::vector<MenuItem> design);

    // Every entry back to its design state (a new window's menu).
    void reset();
    const std::vector<MenuItem>& items() const { return m_items; }
    const MenuItem* find(int id) const;
    bool enabled(int id) const;
    bool visible(int id) const;
    std::wstring caption(int id) const;
    // The drop-down that holds `id`; none for a top-level or unknown entry.
    std::optional<int> parentOf(int id) const;
    // The first entry with this shortcut, depth first.
    std::optional<int> shortcutEntry(Shortcut shortcut) const;
    // True when the state changed, so that the backend must draw it.
    bool setEnabled(int id, bool enabled);
    // The entry and every drop-down above it are enabled and visible, and none is a
    // separator: a user could reach it.
    bool reachable(int id) const;

    // --- Raw input to events ---
    // The drop-down `id` is about to open.
    void opening(int id, FormEvents& events) const;
    // The command of entry `id` arrived; true when its click was raised.
    bool command(int id, MenuSource source, FormEvents& events) const;
    // `chosen` was picked in the drop-down `popup` shown as a pop-up menu (0: none).
    bool popupChoice(int popup, int chosen, FormEvents& events) const;

private:
    std::vector<const MenuItem*> pathTo(int id) const;
    MenuItem* findMutable(int id);

    std::vector<MenuItem> m_design;
    std::vector<MenuItem> m_items;
};

}  // namespace plat

// Menu bars: the Win32 menu built from the MenuItem tree, the accelerator table of
// its shortcuts, the state of every entry, and the menu messages of a form.
#include "platform/win32/win32_menu.h"

#include "platform/win32/win32_form.h"

namespace plat::win32 {
namespace {

WORD virtualKey(const Shortcut& shortcut) {
    if (shortcut.key == Shortcut::Key::Letter) {
        const wchar_t c = shortcut.letter;
        return static_cast<WORD>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
    }
    return static_cast<WORD>(VK_F1 + shortcut.function - 1);
}

std::wstring shortcutText(const Shortcut& shortcut) {
    switch (shortcut.key) {
        case Shortcut::Key::Letter: return std::wstring(L"Ctrl+") + static_cast<wchar_t>(virtualKey(shortcut));
        case Shortcut::Key::F: return L"Ctrl+F" + std::to_wstring(shortcut.function);
        case Shortcut::Key::None: break;
    }
    return {};
}

}  // namespace

Win32Menu::~Win32Menu() {
    if (m_accelerators) {
        DestroyAcceleratorTable(m_accelerators);
    }
    if (m_bar) {
        DestroyMenu(m_bar);
    }
    for (HMENU popup : m_detached) {
        DestroyMenu(popup);  // also destroys the pop-ups inserted into it
    }
}

// A bar whose top-level entries are all hidden would show as an empty strip: the
// form then gets no menu bar at all.
void Win32Menu::build(const std::vector<MenuItem>& bar) {
    if (bar.empty()) {
        return;
    }
    m_bar = CreateMenu();
    for (const MenuItem& design : bar) {
        add(m_bar, design);
    }
    if (m_bar && GetMenuItemCount(m_bar) == 0) {
        DestroyMenu(m_bar);
        m_bar = nullptr;
    }
    if (!m_accels.empty()) {
        m_accelerators = CreateAcceleratorTableW(m_accels.data(), static_cast<int>(m_accels.size()));
    }
}

// Every drop-down gets its pop-up menu, a hidden one too (it can still be shown as a
// pop-up); hidden entries are not inserted into their holder.
void Win32Menu::add(HMENU owner, const MenuItem& design) {
    if (design.shortcut.key != Shortcut::Key::None) {
        m_accels.push_back({FVIRTKEY | FCONTROL, virtualKey(design.shortcut), static_cast<WORD>(design.id)});
    }
    const bool shown = design.visible && owner;
    HMENU popup = !design.items.empty() && !design.isSeparator() ? CreatePopupMenu() : nullptr;
    if (popup) {
        m_popups[popup] = design.id;
        if (!shown) {
            m_detached.push_back(popup);
        }
    }
    for (const MenuItem& child : design.items) {
        add(popup, child);
    }
    if (shown) {
        m_entries[design.id] = Entry{owner, static_cast<UINT>(GetMenuItemCount(owner))};
        append(owner, design, popup);
    }
}

// The shortcut text follows the caption after a tab.
void Win32Menu::append(HMENU owner, const MenuItem& design, HMENU popup) {
    const UINT grey = design.enabled ? 0 : MF_GRAYED;
    std::wstring text = design.caption;
    if (design.shortcut.key != Shortcut::Key::None) {
        text += L"\t" + shortcutText(design.shortcut);
    }
    if (design.isSeparator()) {
        AppendMenuW(owner, MF_SEPARATOR, 0, nullptr);
    } else if (popup) {
        AppendMenuW(owner, MF_POPUP | MF_STRING | grey, reinterpret_cast<UINT_PTR>(popup), text.c_str());
    } else {
        AppendMenuW(owner, MF_STRING | grey, static_cast<UINT_PTR>(design.id), text.c_str());
    }
}

// By position in the holding menu: a drop-down's item has no command id to find it by.
void Win32Menu::drawEnabled(HWND window, int id, bool enabled) {
    const auto it = m_entries.find(id);
    if (it == m_entries.end()) {
        return;
    }
    EnableMenuItem(it->second.owner, it->second.position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    // A drop-down's entries are drawn when it opens; only the bar needs redrawing.
    if (it->second.owner == GetMenu(window)) {
        DrawMenuBar(window);
    }
}

std::optional<int> Win32Menu::popupId(HMENU popup) const {
    const auto it = m_popups.find(popup);
    return it == m_popups.end() ? std::nullopt : std::optional<int>(it->second);
}

HMENU Win32Menu::popupOf(int id) const {
    for (const auto& [popup, owner] : m_popups) {
        if (owner == id) {
            return popup;
        }
    }
    return nullptr;
}

// --- The menu side of a form ---

void Win32Form::drawMenuEnabled(int id, bool enabled) {
    m_menu->drawEnabled(hwnd(), id, enabled);
}

bool Win32Form::translateAccelerator(MSG& msg) {
    if (!hwnd() || !m_menu->accelerators()) {
        return false;
    }
    m_menu->translating = true;
    m_menu->openedWhileTranslating = false;
    const bool translated = TranslateAcceleratorW(hwnd(), m_menu->accelerators(), &msg) != 0;
    m_menu->translating = false;
    return translated;
}

// A command from the menu (0 in the high word) or from an accelerator (1). The
// accelerator's drop-down may have been opened already by TranslateAcceleratorW.
void Win32Form::onMenuCommand(WPARAM wParam) {
    MenuSource source = MenuSource::Menu;
    if (HIWORD(wParam) == 1) {
        source = m_menu->openedWhileTranslating ? MenuSource::ShortcutOpened : MenuSource::Shortcut;
        m_menu->openedWhileTranslating = false;
    }
    menuCommand(LOWORD(wParam), source);
}

// TPM_RETURNCMD: the chosen command comes back here instead of as WM_COMMAND, so
// that onMenuClick has run when popupMenu returns (the caller's busy flag covers it).
int Win32Form::trackPopupMenu(int id) {
    const HMENU popup = m_menu->popupOf(id);
    if (!hwnd() || !popup) {
        return 0;
    }
    POINT at{};
    GetCursorPos(&at);
    // Without being the foreground window first, the menu would stay open when the
    // user clicks elsewhere; the WM_NULL afterwards makes a second pop-up from the
    // notification area work the first time instead of flashing shut.
    SetForegroundWindow(hwnd());
    const UINT flags = TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD;
    const int chosen = static_cast<int>(TrackPopupMenu(popup, flags, at.x, at.y, 0, hwnd(), nullptr));
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    return chosen;
}

void Win32Form::onInitMenuPopup(HMENU popup, bool systemMenu) {
    if (systemMenu) {
        return;
    }
    if (const std::optional<int> id = m_menu->popupId(popup)) {
        if (m_menu->translating) {
            m_menu->openedWhileTranslating = true;
        }
        menuOpening(*id);
    }
}

}  // namespace plat::win32

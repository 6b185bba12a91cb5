// The menu rules, once for every backend. A disabled or hidden entry never acts,
// whichever way its command arrives: Wine does not always grey the shortcuts of
// disabled entries, and another program may send any command to the window.
#include "platform/forms/menu_model.h"

#include <algorithm>
#include <utility>

namespace plat {
namespace {

bool usable(const MenuItem& m) {
    return m.enabled && m.visible && !m.isSeparator();
}

// Depth-first search of the first entry matching `match`; `path` receives the
// entries from the top level down to it.
template <class Match>
bool findPath(const std::vector<MenuItem>& items, const Match& match, std::vector<const MenuItem*>& path) {
    for (const MenuItem& item : items) {
        path.push_back(&item);
        if (match(item) || findPath(item.items, match, path)) {
            return true;
        }
        path.pop_back();
    }
    return false;
}

}  // namespace

MenuModel::MenuModel(std::vector<MenuItem> design) : m_design(std::move(design)), m_items(m_design) {}

void MenuModel::reset() {
    m_items = m_design;
}

std::vector<const MenuItem*> MenuModel::pathTo(int id) const {
    std::vector<const MenuItem*> path;
    findPath(
        m_items, [id](const MenuItem& m) { return m.id == id; }, path);
    return path;
}

const MenuItem* MenuModel::find(int id) const {
    const auto path = pathTo(id);
    return path.empty() ? nullptr : path.back();
}

MenuItem* MenuModel::findMutable(int id) {
    return const_cast<MenuItem*>(find(id));  // NOLINT(cppcoreguidelines-pro-type-const-cast): same tree
}

bool MenuModel::enabled(int id) const {
    const MenuItem* m = find(id);
    return m != nullptr && m->enabled;
}

bool MenuModel::visible(int id) const {
    const MenuItem* m = find(id);
    return m != nullptr && m->visible;
}

std::wstring MenuModel::caption(int id) const {
    const MenuItem* m = find(id);
    return m == nullptr ? std::wstring() : m->caption;
}

std::optional<int> MenuModel::parentOf(int id) const {
    const auto path = pathTo(id);
    return path.size() < 2 ? std::nullopt : std::optional<int>(path[path.size() - 2]->id);
}

std::optional<int> MenuModel::shortcutEntry(Shortcut shortcut) const {
    if (shortcut.key == Shortcut::Key::None) {
        return std::nullopt;
    }
    std::vector<const MenuItem*> path;
    if (!findPath(
            m_items, [&](const MenuItem& m) { return m.shortcut == shortcut; }, path)) {
        return std::nullopt;
    }
    return path.back()->id;
}

bool MenuModel::setEnabled(int id, bool enabled) {
    MenuItem* m = findMutable(id);
    if (m == nullptr || m->enabled == enabled) {
        return false;
    }
    m->enabled = enabled;
    return true;
}

bool MenuModel::reachable(int id) const {
    const auto path = pathTo(id);
    return !path.empty() && std::all_of(path.begin(), path.end(), [](const MenuItem* m) { return usable(*m); });
}

void MenuModel::opening(int id, FormEvents& events) const {
    if (find(id) != nullptr) {
        events.onMenuOpen(id);
    }
}

// A shortcut acts like opening its drop-down and choosing the entry: the drop-down's
// onMenuOpen runs first (it may change what is enabled), then the entry acts only if
// it can be reached. A drop-down's own id opens it and is no command.
bool MenuModel::command(int id, MenuSource source, FormEvents& events) const {
    const MenuItem* entry = find(id);
    if (entry == nullptr) {
        return false;
    }
    if (source == MenuSource::Shortcut) {
        if (const std::optional<int> parent = parentOf(id)) {
            events.onMenuOpen(*parent);
        }
    }
    entry = find(id);
    if (entry == nullptr || !entry->items.empty() || !reachable(id)) {
        return false;
    }
    events.onMenuClick(id);
    return true;
}

// The drop-down itself may be hidden (a menu kept only for showing as a pop-up): the
// chosen entry must lie in it and be reachable from it.
bool MenuModel::popupChoice(int popup, int chosen, FormEvents& events) const {
    const auto path = pathTo(chosen);
    const auto top = std::find_if(path.begin(), path.end(), [popup](const MenuItem* m) { return m->id == popup; });
    if (chosen == 0 || top == path.end() || top + 1 == path.end()) {
        return false;
    }
    if (!std::all_of(top + 1, path.end(), [](const MenuItem* m) { return usable(*m); }) ||
        !path.back()->items.empty()) {
        return false;
    }
    events.onMenuClick(chosen);
    return true;
}

}  // namespace plat

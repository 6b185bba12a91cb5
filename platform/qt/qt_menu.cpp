// Menus: the menu bar built from the model's tree, drop-downs that report opening,
// entries that report their command, shortcuts, and drop-downs shown as pop-ups.
// The model decides what a command does; every path here only reports it.
#include <QAccessible>
#include <QAccessibleObject>
#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>

#include <algorithm>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_form.h"

namespace plat::qt {
namespace {

int qtKey(const Shortcut& shortcut) {
    if (shortcut.key == Shortcut::Key::F) {
        return Qt::Key_F1 + shortcut.function - 1;
    }
    const wchar_t c = shortcut.letter;
    return Qt::Key_A + ((c >= L'a' && c <= L'z') ? c - L'a' : c - L'A');
}

// The entry carries its key as its own shortcut, so that a drop-down shows it
// right-aligned and a screen reader reads it as the entry's key binding, apart from
// its name. It acts only while the drop-down itself has the keyboard: in the window
// the key is the form's shortcut, so that the model decides which entry it means.
void giveKey(QAction& action, const MenuItem& item) {
    if (item.shortcut.key != Shortcut::Key::None) {
        action.setShortcut(QKeySequence(Qt::CTRL | Qt::Key(qtKey(item.shortcut))));
        action.setShortcutContext(Qt::WidgetShortcut);
    }
}

constexpr char kAccessibleName[] = "quibbetsAccessibleName";

// A menu-bar entry whose caption says too little, as a screen reader sees it: by the
// name the design gives it, pressed like any other entry.
class NamedMenuEntry final : public QAccessibleObject, public QAccessibleActionInterface {
public:
    explicit NamedMenuEntry(QAction* action) : QAccessibleObject(action) {}

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(bar()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? action()->property(kAccessibleName).toString() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.disabled = !action()->isEnabled();
        state.invisible = !action()->isVisible();
        return state;
    }
    QRect rect() const override {
        QMenuBar* menuBar = bar();
        if (menuBar == nullptr) {
            return {};
        }
        const QRect r = menuBar->actionGeometry(action());
        return {menuBar->mapToGlobal(r.topLeft()), r.size()};
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) {
            action()->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAction* action() const { return static_cast<QAction*>(object()); }
    QMenuBar* bar() const {
        for (QObject* holder : action()->associatedObjects()) {
            if (auto* menuBar = qobject_cast<QMenuBar*>(holder)) {
                return menuBar;
            }
        }
        return nullptr;
    }
};

QAccessibleInterface* namedEntries(const QString& key, QObject* object) {
    auto* action = qobject_cast<QAction*>(object);
    if (key == QLatin1String("QAction") && action != nullptr && action->property(kAccessibleName).isValid()) {
        return new NamedMenuEntry(action);
    }
    return nullptr;
}

// Alt pressed and released alone puts the keyboard in the menu bar, where a letter
// chooses the entry it marks ("&>" by ">"), as in the desktop's own programs on
// Windows; some styles leave that out.
class AltKeyStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        return hint == SH_MenuBar_AltKeyNavigation ? 1 : QProxyStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

// A bar whose top-level entries are all hidden would be an empty strip: the window
// then has none. Hidden drop-downs are built all the same, for trackPopupMenu.
void QtForm::buildMenuBar() {
    const std::vector<MenuItem>& items = menu().items();
    FormMenuBar* bar = nullptr;
    if (std::any_of(items.begin(), items.end(), [](const MenuItem& m) { return m.visible; })) {
        bar = new FormMenuBar(m_window);
        auto* style = new AltKeyStyle;
        style->setParent(bar);  // goes with the bar, after it
        bar->setStyle(style);
        m_window->setMenuBar(bar);
    }
    for (const MenuItem& item : items) {
        addMenuEntry(bar, item);
    }
}

void QtForm::addMenuEntry(QWidget* holder, const MenuItem& item) {
    if (item.shortcut.key != Shortcut::Key::None) {
        addShortcut(item.shortcut);
    }
    const bool shown = item.visible && holder != nullptr;
    QAction* action = nullptr;
    if (item.isSeparator()) {
        action = new QAction(m_window);
        action->setSeparator(true);
    } else if (!item.items.empty()) {
        action = buildDropDown(item)->menuAction();
    } else {
        action = new QAction(toQString(item.caption), m_window);
        giveKey(*action, item);
        if (!item.accessibleName.empty()) {
            static const bool installed = [] {
                QAccessible::installFactory(namedEntries);
                return true;
            }();
            (void)installed;
            action->setProperty(kAccessibleName, toQString(item.accessibleName));
        }
        QObject::connect(action, &QAction::triggered, m_window, [window = QPointer(m_window), id = item.id] {
            dispatch(window, [id](QtForm& form) {
                if (!form.m_tracking) {
                    form.menuCommand(id, MenuSource::Menu);
                }
            });
        });
    }
    action->setEnabled(item.enabled);
    m_actions[item.id] = action;
    if (shown) {
        holder->addAction(action);
    }
}

QMenu* QtForm::buildDropDown(const MenuItem& item) {
    auto* dropDown = new QMenu(toQString(item.caption), m_window);
    m_dropDowns[item.id] = dropDown;
    QObject::connect(dropDown, &QMenu::aboutToShow, m_window, [window = QPointer(m_window), id = item.id] {
        dispatch(window, [id](QtForm& form) { form.menuOpening(id); });
    });
    for (const MenuItem& child : item.items) {
        addMenuEntry(dropDown, child);
    }
    return dropDown;
}

// One shortcut per key, whatever entries carry it: the model finds the entry.
void QtForm::addShortcut(const Shortcut& key) {
    const int code = qtKey(key);
    if (std::find(m_shortcutKeys.begin(), m_shortcutKeys.end(), code) != m_shortcutKeys.end()) {
        return;
    }
    m_shortcutKeys.push_back(code);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(code)), m_window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, m_window, [window = QPointer(m_window), key] {
        dispatch(window, [key](QtForm& form) {
            if (const std::optional<int> id = form.menu().shortcutEntry(key)) {
                form.menuCommand(*id, MenuSource::Shortcut);
            }
        });
    });
}

// Ctrl alone, as a menu accelerator asks: Ctrl+Shift+Z is the editor's.
bool QtForm::isMenuShortcut(const QKeyEvent& key) const {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    return mods == Qt::ControlModifier &&
           std::find(m_shortcutKeys.begin(), m_shortcutKeys.end(), key.key()) != m_shortcutKeys.end();
}

void QtForm::drawMenuEnabled(int id, bool enabled) {
    const auto it = m_actions.find(id);
    if (it != m_actions.end()) {
        it->second->setEnabled(enabled);
    }
}

// The chosen entry comes back as the result, not as its click: the model raises
// that, so that it has run when popupMenu returns. The window stays while the menu is
// open, whatever a handler does meanwhile.
int QtForm::trackPopupMenu(int id) {
    const auto it = m_dropDowns.find(id);
    if (it == m_dropDowns.end()) {
        return 0;
    }
    if (m_window->isVisible()) {
        m_window->activateWindow();
    }
    const std::shared_ptr<bool> alive = aliveToken();
    ++m_busy;
    m_tracking = true;
    QAction* chosen = it->second->exec(QCursor::pos());
    if (!*alive) {
        return 0;
    }
    --m_busy;
    m_tracking = false;
    for (const auto& [entry, action] : m_actions) {
        if (chosen != nullptr && action == chosen) {
            return entry;
        }
    }
    return 0;
}

}  // namespace plat::qt

// A form of the Qt backend: a top-level window with a menu bar, page editors and an
// optional set of dialog controls, shown modeless or modal. What it implements:
//   qt_form.cpp     life cycle of the window, geometry in twips, handles, events
//   qt_menu.cpp     menu bar, drop-downs, shortcuts and pop-up menus
//   qt_dialog.cpp   labels, buttons, icon and lines; Enter and Esc; modal shows
//   qt_textbox.cpp  the editors
#pragma once

#include <QIcon>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/forms/form_model.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_textbox.h"
#include "platform/qt/qt_widgets.h"

class QAction;
class QEventLoop;
class QLabel;
class QMenu;
class QPushButton;

namespace plat::qt {

class QtForm final : public FormModel, private FormView, private WindowEvents {
public:
    QtForm(std::shared_ptr<PlatformState> platform, const FormDesign& design, FormEvents& events);
    ~QtForm() override;
    QtForm(const QtForm&) = delete;
    QtForm& operator=(const QtForm&) = delete;

    Rect bounds() const override;
    void setBounds(const Rect& r) override;
    Rect clientArea() const override;
    WindowState windowState() const override;
    std::uint32_t backColor() const override;
    // A number of its own for each window the form makes, never reused.
    NativeHandle handle() const override { return m_handle; }
    TextBox& textBox(int index) override;
    // A number of its own for the form's life, when the design has a picture box.
    NativeHandle pictureHandle() const override { return m_pictureHandle; }
    // The address of the form's QIcon (const QIcon*), valid while the form lives; 0
    // when the design has no icon.
    NativeHandle iconHandle() const override;

    // The loaded form whose handle() is `handle`; null when none is.
    static QtForm* find(const FormList& forms, NativeHandle handle);
    // The form's window; null while it has none.
    QWidget* window() const { return m_window; }

private:
    // --- FormView ---
    bool createWindow() override;
    void destroyWindow() override;
    bool hasWindow() const override { return m_window != nullptr; }
    void showWindow(bool first) override;
    void drawCaption(std::wstring_view caption) override;
    void drawMenuEnabled(int id, bool enabled) override;  // qt_menu.cpp
    void drawControlText(int id, std::wstring_view text) override;
    void drawInputEnabled(bool enabled) override;  // qt_dialog.cpp
    void attachOwner(NativeHandle owner) override;
    void runModal() override;
    void activateOwner(NativeHandle owner) override;
    void place(bool topMost, int x, int y, int cx, int cy) override;
    int trackPopupMenu(int id) override;  // qt_menu.cpp
    void lastFormUnloaded() override;

    // --- WindowEvents ---
    void windowCloseRequested() override;
    void windowResized() override;
    void windowActivated() override;
    bool windowKey(const QKeyEvent& key) override;             // qt_dialog.cpp
    bool isMenuShortcut(const QKeyEvent& key) const override;  // qt_menu.cpp

    // Runs input from the window: nothing unwinds into Qt, and the window is not
    // deleted under a call that is still running in it.
    void fromWindow(const std::function<void()>& act);
    // Input from `window` for the form it belongs to, if it still belongs to one.
    template <class Act>
    static void dispatch(const QPointer<TopWindow>& window, const Act& act) {
        if (window && window->events() != nullptr) {
            auto* form = static_cast<QtForm*>(window->events());
            form->fromWindow([&] { act(*form); });
        }
    }
    // Moves and sizes the outer frame, pixels.
    void setFrame(int x, int y, int cx, int cy);
    void setStaysOnTop(bool on);
    void correctFrame();
    void focusFirstChild();
    // qt_menu.cpp
    void buildMenuBar();
    void addMenuEntry(QWidget* holder, const MenuItem& item);
    QMenu* buildDropDown(const MenuItem& item);
    void addShortcut(const Shortcut& key);
    // qt_dialog.cpp
    void buildControls();
    void addControl(const ControlDesign& control, QWidget*& previous);
    int toPixelsX(float twips) const;
    int toPixelsY(float twips) const;

    std::shared_ptr<PlatformState> m_platform;
    TopWindow* m_window = nullptr;
    ClientArea* m_client = nullptr;
    NativeHandle m_handle = 0;
    NativeHandle m_pictureHandle = 0;
    QIcon m_icon;
    std::vector<std::unique_ptr<QtTextBox>> m_textBoxes;
    // The window's menu: every entry's action (a drop-down's own action too) and
    // every drop-down, the hidden ones included, by id.
    std::map<int, QAction*> m_actions;
    std::map<int, QMenu*> m_dropDowns;
    std::vector<int> m_shortcutKeys;  // Qt key codes that have a shortcut
    std::map<int, QLabel*> m_labels;
    std::map<int, QPushButton*> m_buttons;
    QPointer<QPushButton> m_firstButton;  // first in tab order
    bool m_placed = false;                // the program has placed the window
    // An outer size given before the window manager framed the window, applied once
    // the frame is known, unless the window was sized otherwise meanwhile.
    std::optional<QSize> m_wantedOuter;
    QSize m_sizeSet;
    // The bounds last given in twips, and the pixels they became: while the window
    // stays there, it reports them as given, so that they do not drift by rounding.
    std::optional<std::pair<Rect, QRect>> m_boundsSet;
    bool m_tracking = false;  // a pop-up menu is open: its choice is returned, not clicked
    int m_busy = 0;           // calls from the window that are still running
    QPointer<QEventLoop> m_modalLoop;
};

}  // namespace plat::qt

// Forms: a top-level window with its menu bar, editors and dialog controls, the
// design it is made from and the events it raises to its owner.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services/geometry.h"

namespace plat {

// Key of a menu shortcut: Ctrl plus a letter ('A'..'Z') or a function key.
struct Shortcut {
    enum class Key : std::uint8_t { None, Letter, F };
    Key key = Key::None;
    wchar_t letter = 0;  // for Letter
    int function = 0;    // 1..12 for F
    static Shortcut ctrl(wchar_t c) { return {Key::Letter, c, 0}; }
    static Shortcut ctrlF(int n) { return {Key::F, 0, n}; }
    bool operator==(const Shortcut&) const = default;
};

// One entry of a menu tree. A caption of "-" is a separator. An entry with
// children is a drop-down; a top-level entry without children acts when clicked.
struct MenuItem {
    int id = 0;
    std::wstring caption;
    Shortcut shortcut;
    bool enabled = true;
    bool visible = true;
    std::vector<MenuItem> items;
    // What a screen reader calls the entry where its caption alone says too little
    // ("<"); empty: the caption without its access key.
    std::wstring accessibleName;
    bool isSeparator() const { return caption == L"-"; }
};

// Kinds of the fixed controls of a dialog form.
enum class ControlKind {
    Label,   // static text, wrapped within its box
    Button,  // push button; raises onButtonClick
    Icon,    // the form's icon drawn in a box of its own background colour
    Line,    // a straight line; rect holds its start (left, top) and extent (width, height)
};

// One control of a dialog form. Geometry in twips, relative to the client area.
struct ControlDesign {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    Rect rect;
    std::wstring text;            // label or button text, with & for an access key
    int tabIndex = -1;            // focus order among the controls; -1: none
    std::uint32_t foreColor = 0;  // text or line colour, 0x00BBGGRR
    std::uint32_t backColor = 0;  // background of an Icon box, 0x00BBGGRR
    int lineWidth = 1;            // pixels, for a Line
    bool isDefault = false;       // Enter presses this button
    bool isCancel = false;        // Esc presses this button
};

enum class BorderStyle {
    Sizable,      // frame that can be sized, minimize and maximize buttons
    FixedDialog,  // fixed dialog frame, no minimize or maximize button
};

// Design of a form: its caption, icon, client size, menu bar and editors.
struct FormDesign {
    std::wstring caption;
    float clientWidth = 0;  // design client area, twips
    float clientHeight = 0;
    int iconResource = 0;  // resource id of the icon, 0 for none
    std::vector<MenuItem> menuBar;
    int textBoxCount = 0;                       // multi-line plain editors, indexed 0..n-1
    std::uint32_t textBoxBackColor = 0xFFFFFF;  // colour word 0x00BBGGRR
    // A picture box whose window receives mouse messages (the launcher's icon hook);
    // zero size for none.
    Rect pictureBox;
    BorderStyle border = BorderStyle::Sizable;
    bool showInTaskbar = true;
    std::vector<ControlDesign> controls;  // a dialog's labels, buttons, icon and lines
    Rect textBoxRect;                     // where each editor is created, client twips
};

// Why a form is asked to close.
enum class CloseReason {
    User,       // the window's own close command (title-bar button, system menu, Alt+F4)
    AppWindow,  // a close request that reached the hidden application window
};

// The events a form raises; a form's owner implements them. An exception thrown out of
// one is caught by the backend and handed to Platform::reportFailure.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    // First show: runs to its end before the window becomes visible.
    virtual void onLoad() {}
    // After every change of size or window state, and once when first shown.
    virtual void onResize() {}
    // The form is being unloaded; the handler may set cancel (never done here).
    virtual void onUnload(std::int16_t& cancel) { (void)cancel; }
    // A menu entry (or its enabled shortcut) was chosen.
    virtual void onMenuClick(int id) { (void)id; }
    // The drop-down of menu `id` is about to open.
    virtual void onMenuOpen(int id) { (void)id; }
    // The user or the system asks the form to close; the default is to unload it.
    // The handler decides: it calls Form::unload() or leaves the form open.
    virtual void onCloseRequest(CloseReason reason) = 0;
    // A mouse-move message reached the picture box: x and y in twips (the message's
    // low and high words times twips per pixel), button and shift as the message says.
    virtual void onPictureMouseMove(int button, int shift, float x, float y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    // The shell (taskbar) was started again: notification icons must be added anew.
    virtual void onTaskbarCreated() {}
    // A button was clicked, or pressed by Enter (the default button) or Esc (the
    // cancel button).
    virtual void onButtonClick(int id) { (void)id; }
    // The window became the active one (the user came back to it).
    virtual void onActivate() {}
    // The user changed the text of editor `index` (typing, a paste, a drop). Changes
    // that the program makes itself need not be reported.
    virtual void onTextChange(int index) { (void)index; }
    // The user's session ends now; the process ends after this (a hidden form of a
    // program without an application window hears of it here).
    virtual void onSessionEnd() {}
};

// A multi-line plain editor has three faces, each an interface of its own: its text,
// its selection and the widget on the form. A backend's editor implements all three;
// a wrapper implements only the faces it changes.

// The editor's text and its changed flag.
class TextContent {
public:
    virtual ~TextContent() = default;
    // A copy of the whole text.
    std::wstring text() const;
    // Replaces the whole text; clears the changed flag.
    virtual void setText(std::wstring_view text) = 0;
    // Number of UTF-16 units of the text, without reading it.
    virtual std::size_t textLength() const = 0;
    // Hands the text to `reader` in order, without a copy of the whole: in place in
    // one piece where the desktop keeps it whole, in pieces where it keeps it so.
    // Each view is valid only during its call.
    virtual void readText(const std::function<void(std::wstring_view)>& reader) const = 0;
    // The changed flag: set when the user (or setSelText) changes the text.
    virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;
};

// The editor's selection, in UTF-16 units.
class TextSelection {
public:
    virtual ~TextSelection() = default;
    // Selected text; writing replaces the selection, or inserts at the caret.
    virtual std::wstring selText() const = 0;
    // Sets the changed flag.
    virtual void setSelText(std::wstring_view text) = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    virtual void select(int start, int length) = 0;
};

// The editor as a child window of its form: vertical scroll bar, long lines wrap. Its
// colour comes from the design.
class TextWidget {
public:
    virtual ~TextWidget() = default;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    // Geometry relative to the form's client area, twips. A negative size is not applied.
    virtual Rect geometry() const = 0;
    // Moves and sizes the box in one step (a multi-line box lays out its text anew on
    // every change of size).
    virtual void setGeometry(const Rect& r) = 0;
    virtual void setFocus() = 0;
    // The name a screen reader gives the box ("Page 3").
    virtual void setAccessibleName(std::wstring_view name) = 0;
};

// A form's editor, all three faces.
class TextBox : public TextContent, public TextSelection, public TextWidget {};

// A form is reached through four small interfaces: the window itself, its menus, its
// controls and its life cycle. The backend's form implements the first and the
// control handles; the form engine (platform/forms) the rest, written once.

// What the window is: caption, bounds, client area, state and colour.
class FormWindow {
public:
    virtual ~FormWindow() = default;
    virtual std::wstring caption() const = 0;
    virtual void setCaption(std::wstring_view caption) = 0;
    // Outer bounds (frame, caption and menu bar included), twips.
    virtual Rect bounds() const = 0;
    virtual void setBounds(const Rect& r) = 0;
    // Size of the client area (inside frame, caption and menu bar), twips; empty while
    // the window is minimized.
    virtual Rect clientArea() const = 0;
    virtual WindowState windowState() const = 0;
    // The form's own background, in the desktop's colour encoding (system colours
    // carry the high bit, 0x80000000 | index).
    virtual std::uint32_t backColor() const = 0;
    virtual NativeHandle handle() const = 0;
};

// The menu bar's entries, by id.
class FormMenus {
public:
    virtual ~FormMenus() = default;
    virtual bool menuEnabled(int id) const = 0;
    virtual void setMenuEnabled(int id, bool enabled) = 0;
    virtual bool menuVisible(int id) const = 0;
    virtual std::wstring menuCaption(int id) const = 0;
    // Shows drop-down `id` (also a hidden one) as a pop-up menu at the pointer, the form
    // made foreground first so that the menu closes when the user clicks elsewhere.
    // Returns when the menu has closed; a chosen entry's onMenuClick has run by then.
    virtual void popupMenu(int id) = 0;
};

// The controls of the design: editors, labels and buttons, the picture box and icon.
class FormControls {
public:
    virtual ~FormControls() = default;
    virtual TextBox& textBox(int index) = 0;
    // Text of a label or button of the design.
    virtual std::wstring controlText(int id) const = 0;
    virtual void setControlText(int id, std::wstring_view text) = 0;
    // Window of the picture box, and the form's icon (native handles).
    virtual NativeHandle pictureHandle() const = 0;
    virtual NativeHandle iconHandle() const = 0;
};

class Form;

// Loading, showing and unloading.
class FormLifecycle {
public:
    virtual ~FormLifecycle() = default;
    // Loads the form without showing it (raising onLoad once).
    virtual void load() = 0;
    // Loads the form on the first call (raising onLoad), then shows it modeless.
    virtual void show() = 0;
    // Loads the form if need be and shows it modally over `owner`, which takes no
    // input meanwhile. Returns when the form has been unloaded.
    virtual void showModal(Form& owner) = 0;
    // Runs onUnload, destroys the window and removes the form from the open forms.
    virtual void unload() = 0;
    virtual bool loaded() const = 0;
};

// A top-level window with a menu bar and controls: the four interfaces together, as
// the desktop makes it.
class Form : public FormWindow, public FormMenus, public FormControls, public FormLifecycle {};

}  // namespace plat

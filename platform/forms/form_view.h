// The driver side of a form: what a backend does for the FormModel. The model owns
// the form's state and rules and calls these only when something changed; the
// backend reports raw input back through the model's input operations. The driver
// has four small parts: making the window, drawing the model's state, modality and
// placement.
#pragma once

#include <string_view>

#include "platform/services/geometry.h"

namespace plat {

// The window's existence.
class FormWindowMaker {
public:
    virtual ~FormWindowMaker() = default;
    // Makes the window afresh from the design, hidden: for a load after an unload (the
    // first window is made with the form). False when the desktop could not make it.
    virtual bool createWindow() = 0;
    // Destroys the window and everything in it.
    virtual void destroyWindow() = 0;
    virtual bool hasWindow() const = 0;
    // Shows the window; `first`: for the first time since it was made.
    virtual void showWindow(bool first) = 0;
    // The program's last loaded form is gone: the event loop may end.
    virtual void lastFormUnloaded() {}
};

// Drawing what the model holds.
class FormDrawing {
public:
    virtual ~FormDrawing() = default;
    virtual void drawCaption(std::wstring_view caption) = 0;
    virtual void drawMenuEnabled(int id, bool enabled) = 0;
    virtual void drawControlText(int id, std::wstring_view text) = 0;
    // Lets the user's input reach the window, or not (the owner of a modal form).
    virtual void drawInputEnabled(bool enabled) = 0;
};

// A modal show over an owner.
class FormModality {
public:
    virtual ~FormModality() = default;
    // Before a modal show: `owner` becomes the window's owner, which it stays above.
    virtual void attachOwner(NativeHandle owner) = 0;
    // Runs the modal show until the form is unloaded or the program's event loop is
    // asked to end.
    virtual void runModal() = 0;
    // After a modal show: the owner, still there and taking input, becomes active.
    virtual void activateOwner(NativeHandle owner) = 0;
};

// Where the window and its pop-up menus go on the screen.
class FormPlacement {
public:
    virtual ~FormPlacement() = default;
    // Places the window in or out of the topmost band and moves it to x, y, cx, cy
    // pixels, activating it.
    virtual void place(bool topMost, int x, int y, int cx, int cy) = 0;
    // Shows drop-down `id` as a pop-up menu and returns the entry chosen, 0 for none.
    virtual int trackPopupMenu(int id) = 0;
};

// The whole driver, as a backend's form implements it.
class FormView : public FormWindowMaker, public FormDrawing, public FormModality, public FormPlacement {};

}  // namespace plat

// A form of the Win32 backend: a top-level window with a menu bar, child EDIT
// controls as its text boxes and an optional picture box; or a fixed dialog with
// labels, buttons, an icon and lines, shown modeless or modal.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/forms/form_model.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/geometry.h"
#include "platform/win32/win32_common.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_menu.h"
#include "platform/win32/win32_picture.h"
#include "platform/win32/win32_window.h"

namespace plat::win32 {

struct PlatformState;
class Win32Form;

class Win32TextBox final : public TextBox {
public:
    Win32TextBox(Win32Form& form, int index);
    // Makes the editor's window in a new window of the form.
    void createWindow(HWND parent, std::uint32_t colour, HFONT font, const RECT& rect);
    HWND hwnd() const { return m_hwnd; }
    // The form's window is gone, the editor's with it.
    void forgetWindow();
    // A new font (the window moved to a screen of another DPI). A hidden editor takes
    // it when shown: an EDIT lays out its whole text at each change of font.
    void setFont(HFONT font);
    // The editor reported a change of its text (EN_CHANGE).
    void noteChange() { m_changeNoted = true; }
    // While the program itself puts text in (the change is not the user's).
    bool programChange() const { return m_programChange; }
    int index() const { return m_index; }
    // The editor's colour, from the design.
    std::uint32_t backColor() const { return m_colour; }

    // TextContent: the control's own buffer and its EM_GETMODIFY flag.
    void setText(std::wstring_view text) override;
    std::size_t textLength() const override;
    void readText(const std::function<void(std::wstring_view)>& reader) const override;
    bool modified() const override;
    void setModified(bool modified) override;
    // TextSelection: EM_GETSEL, EM_SETSEL and EM_REPLACESEL.
    std::wstring selText() const override;
    void setSelText(std::wstring_view text) override;
    int selStart() const override;
    int selLength() const override;
    void select(int start, int length) override;
    // TextWidget: the EDIT window, placed in pixels of its form.
    bool visible() const override;
    void setVisible(bool visible) override;
    Rect geometry() const override;
    void setGeometry(const Rect& r) override;
    void setFocus() override;
    // Screen readers on Windows name an EDIT after its window's label; the name is
    // not passed on yet.
    void setAccessibleName(std::wstring_view) override {}

private:
    RECT rectInParent() const;
    void selection(DWORD& start, DWORD& end) const;
    void applyFont();
    // Makes the editor's window if it is not made yet; false when it cannot be.
    bool made();

    Win32Form& m_form;
    int m_index;
    HWND m_hwnd = nullptr;
    HWND m_parent = nullptr;  // where the window is made, while it is not
    HFONT m_font = nullptr;
    RECT m_rect{};  // where it is made, client pixels
    bool m_visible = false;
    bool m_changeNoted = false;
    bool m_programChange = false;
    std::uint32_t m_colour = 0;
};

// The Win32 driver of a form: the model owns the state and rules; this draws them
// in a window and turns the window's messages into the model's input.
class Win32Form final : public FormModel, private FormView, private Win32Window {
public:
    Win32Form(std::shared_ptr<PlatformState> platform, const FormDesign& design, FormEvents& events);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // --- Form: what only the window can answer ---
    Rect bounds() const override;
    void setBounds(const Rect& r) override;
    Rect clientArea() const override;
    WindowState windowState() const override;
    std::uint32_t backColor() const override;
    NativeHandle handle() const override;
    TextBox& textBox(int index) override;
    NativeHandle pictureHandle() const override;
    NativeHandle iconHandle() const override;

    // Backend side.
    using Win32Window::hwnd;
    Scale scale() const;
    // Runs the form's accelerator table on a message of the message loop.
    bool translateAccelerator(MSG& msg);  // win32_menu.cpp
    // The keyboard handling of a dialog (Tab, Enter, Esc, access keys) for a message
    // of the message loop; false when this form is no dialog.
    bool dialogMessage(MSG& msg);  // win32_dialog.cpp

private:
    // --- FormView ---
    bool createWindow() override;
    void destroyWindow() override;
    bool hasWindow() const override { return hwnd() != nullptr; }
    void showWindow(bool first) override;
    void drawCaption(std::wstring_view caption) override;
    void drawMenuEnabled(int id, bool enabled) override;            // win32_menu.cpp
    void drawControlText(int id, std::wstring_view text) override;  // win32_dialog.cpp
    void place(bool topMost, int x, int y, int cx, int cy) override;
    int trackPopupMenu(int id) override;  // win32_menu.cpp
    // win32_dialog.cpp
    void drawInputEnabled(bool enabled) override;
    void attachOwner(NativeHandle owner) override;
    void runModal() override;
    void activateOwner(NativeHandle owner) override;
    void lastFormUnloaded() override;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void loadIcons(int resource);
    void focusChild();
    LRESULT onCtlColorEdit(HDC dc, HWND edit);
    void onDpiChanged(int dpiX, int dpiY, const RECT* suggested);
    void onEditChange(HWND edit);
    void onMenuCommand(WPARAM wParam);                   // win32_menu.cpp
    void onInitMenuPopup(HMENU popup, bool systemMenu);  // win32_menu.cpp
    // win32_dialog.cpp
    bool handleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool onDialogCommand(WPARAM wParam, LPARAM lParam);
    void nextControl(WPARAM wParam, LPARAM lParam);
    void paint();
    void placeOver(HWND owner);
    void focusFirstTabStop();
    void runModalLoop(const std::shared_ptr<bool>& alive);

    std::shared_ptr<PlatformState> m_platform;
    std::unique_ptr<Win32Menu> m_menu;
    std::vector<std::unique_ptr<Win32TextBox>> m_textBoxes;
    std::unique_ptr<Win32PictureBox> m_picture;
    std::map<std::uint32_t, HBRUSH> m_brushes;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    HWND m_lastFocus = nullptr;  // the focused control when the form was last deactivated
    // Dialog forms.
    bool m_dialog = false;
    bool m_showInTaskbar = true;
    Win32Controls m_controls;
    RECT m_createdRect{};  // where the system first put the window
};

// The message filter of every message loop: the dialog keys of a dialog form, then
// the shortcuts of the form that holds the message's window. True when handled.
bool filterMessage(PlatformState& state, MSG& msg);

}  // namespace plat::win32

// Internal to the headless backend: the form and text box classes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/form_view.h"
#include "platform/headless/headless_state.h"

namespace plat::headless {

class HeadlessFormImpl;

class HeadlessTextBox final : public TextBox {
public:
    HeadlessTextBox(HeadlessFormImpl& owner, int index, std::uint32_t backColor, const Rect& geometry);

    // TextContent: a string, and a flag that typing and setSelText set.
    void setText(std::wstring_view text) override;
    std::size_t textLength() const override;
    void readText(const std::function<void(std::wstring_view)>& reader) const override;
    bool modified() const override;
    void setModified(bool modified) override;
    // TextSelection: positions into the string, kept within it.
    std::wstring selText() const override;
    void setSelText(std::wstring_view text) override;
    int selStart() const override;
    int selLength() const override;
    void select(int start, int length) override;
    // TextWidget: the state a window would show, and the form's focus.
    bool visible() const override;
    void setVisible(bool visible) override;
    Rect geometry() const override;
    void setGeometry(const Rect& r) override;
    void setFocus() override;
    void setAccessibleName(std::wstring_view name) override { m_accessibleName = name; }
    const std::wstring& accessibleName() const { return m_accessibleName; }

    // The editor's colour, from the design.
    std::uint32_t backColor() const { return m_backColor; }
    // True when this editor was the last of its form to be given the focus.
    bool focused() const;
    // Back to the design: empty, hidden, unchanged (the editor of a new window).
    void reset(std::uint32_t backColor, const Rect& geometry);
    // How often the whole text was read.
    int textReads() const { return m_textReads; }

private:
    HeadlessFormImpl& m_owner;
    int m_index;
    std::wstring m_text;
    int m_selStart = 0;
    int m_selLength = 0;
    bool m_visible = false;
    bool m_modified = false;
    mutable int m_textReads = 0;
    Rect m_geometry;
    std::uint32_t m_backColor;
    std::wstring m_accessibleName;
};

// The headless driver of a form: the model owns the state and rules; this keeps the
// window's geometry and editors and feeds the test's input into the model.
class HeadlessFormImpl final : public HeadlessForm, private FormView {
public:
    HeadlessFormImpl(std::shared_ptr<StateLink> link, const FormDesign& design, FormEvents& events);
    ~HeadlessFormImpl() override;
    HeadlessFormImpl(const HeadlessFormImpl&) = delete;
    HeadlessFormImpl& operator=(const HeadlessFormImpl&) = delete;

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

    // --- HeadlessForm ---
    bool clickMenu(int id) override;
    bool receiveCommand(int id) override;
    bool pressShortcut(Shortcut shortcut) override;
    void openMenu(int id) override;
    void requestClose() override;
    void activate() override;
    void userSetBounds(const Rect& r) override;
    void setWindowState(WindowState state) override;
    bool visible() const override;
    std::vector<MenuItem> menuBar() const override;
    void type(int index, std::wstring_view text) override;
    int textReads(int index) const override;
    void notifyPicture(int code) override;
    void broadcastTaskbarCreated() override;
    bool clickButton(int id) override;
    bool pressEnter() override;
    bool pressEscape() override;
    bool enabled() const override;
    NativeHandle modalOwner() const override;

    // --- Backend side ---
    // Index of the editor that has the focus, -1 for none.
    int focusedTextBox() const { return m_focusedTextBox; }
    void setFocusedTextBox(int index) { m_focusedTextBox = index; }

private:
    // --- FormView ---
    bool createWindow() override;
    void destroyWindow() override;
    bool hasWindow() const override { return m_hasWindow; }
    void showWindow(bool first) override;
    void drawCaption(std::wstring_view) override {}
    void drawMenuEnabled(int, bool) override {}
    void drawControlText(int, std::wstring_view) override {}
    void place(bool topMost, int x, int y, int cx, int cy) override;
    int trackPopupMenu(int id) override;
    void drawInputEnabled(bool) override {}
    void attachOwner(NativeHandle) override {}
    void runModal() override;
    void activateOwner(NativeHandle) override {}

    // Puts the window's own state back to the design (a new window).
    void resetWindow();
    bool hasPicture() const;
    void raiseResizeIfSizeChanged(const Rect& before);
    Rect frameEdges() const;

    std::shared_ptr<StateLink> m_link;
    NativeHandle m_handle;
    bool m_hasWindow = true;
    bool m_visible = false;
    Rect m_normalBounds;
    WindowState m_state = WindowState::Normal;
    std::vector<std::unique_ptr<HeadlessTextBox>> m_textBoxes;
    int m_focusedTextBox = -1;
};

}  // namespace plat::headless

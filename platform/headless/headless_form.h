// Internal to the headless backend: the form and text box classes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_state.h"

namespace plat::headless {

class HeadlessFormImpl;

class HeadlessTextBox final : public TextBox {
public:
    HeadlessTextBox(HeadlessFormImpl& owner, int index, std::uint32_t backColor, const Rect& geometry);

    std::wstring text() const override;
    void setText(std::wstring_view text) override;
    std::size_t textLength() const override;
    void readText(const std::function<void(std::wstring_view)>& reader) const override;
    bool modified() const override;
    void setModified(bool modified) override;
    std::wstring selText() const override;
    void setSelText(std::wstring_view text) override;
    int selStart() const override;
    int selLength() const override;
    void select(int start, int length) override;
    bool visible() const override;
    void setVisible(bool visible) override;
    Rect geometry() const override;
    void setGeometry(const Rect& r) override;
    void setLeft(float v) override;
    void setTop(float v) override;
    void setWidth(float v) override;
    void setHeight(float v) override;
    std::uint32_t backColor() const override;
    void setBackColor(std::uint32_t colour) override;
    void setFocus() override;

    // True when this editor was the last of its form to be given the focus.
    bool focused() const;
    // How often the whole text was read (text() or readText()).
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
};

class HeadlessFormImpl final : public HeadlessForm {
public:
    HeadlessFormImpl(std::shared_ptr<StateLink> link, const FormDesign& design, FormEvents& events);
    ~HeadlessFormImpl() override;
    HeadlessFormImpl(const HeadlessFormImpl&) = delete;
    HeadlessFormImpl& operator=(const HeadlessFormImpl&) = delete;

    // --- Form ---
    void load() override;
    void show() override;
    void unload() override;
    bool loaded() const override;
    std::wstring caption() const override;
    void setCaption(std::wstring_view caption) override;
    Rect bounds() const override;
    void setBounds(const Rect& r) override;
    Rect clientArea() const override;
    WindowState windowState() const override;
    std::uint32_t backColor() const override;
    std::wstring tag() const override;
    void setTag(std::wstring_view tag) override;
    NativeHandle handle() const override;
    TextBox& textBox(int index) override;
    bool menuEnabled(int id) const override;
    void setMenuEnabled(int id, bool enabled) override;
    bool menuVisible(int id) const override;
    std::wstring menuCaption(int id) const override;
    NativeHandle pictureHandle() const override;
    NativeHandle iconHandle() const override;
    void popupMenu(int id) override;
    void showModal(Form& owner) override;
    std::wstring controlText(int id) const override;
    void setControlText(int id, std::wstring_view text) override;

    // --- HeadlessForm ---
    bool clickMenu(int id) override;
    bool pressShortcut(Shortcut shortcut) override;
    void openMenu(int id) override;
    void requestClose() override;
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
    bool topMost() const { return m_topMost; }
    void setTopMost(bool topMost) { m_topMost = topMost; }
    // Index of the editor that has the focus, -1 for none.
    int focusedTextBox() const { return m_focusedTextBox; }
    void setFocusedTextBox(int index) { m_focusedTextBox = index; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    // The user's session ends (raises onSessionEnd).
    void endSession();

private:
    // Loads without showing; false when onLoad unloaded the form again.
    bool loadHidden();
    bool hasPicture() const;
    // Puts the form back to its design (on creation and on every new load).
    void resetToDesign();
    void raiseResizeIfSizeChanged(const Rect& before);
    Rect frameEdges() const;
    // The entries from the top level down to `id` (empty when there is none).
    std::vector<MenuItem*> menuPath(int id);
    std::vector<const MenuItem*> menuPath(int id) const;

    std::shared_ptr<StateLink> m_link;
    FormDesign m_design;
    FormEvents* m_events;
    NativeHandle m_handle;
    bool m_loaded = false;
    bool m_everLoaded = false;
    bool m_visible = false;
    bool m_unloading = false;
    bool m_topMost = false;
    std::wstring m_caption;
    std::wstring m_tag;
    Rect m_normalBounds;
    WindowState m_state = WindowState::Normal;
    std::vector<MenuItem> m_menu;
    std::vector<std::unique_ptr<HeadlessTextBox>> m_textBoxes;
    int m_focusedTextBox = -1;
    bool m_enabled = true;
    NativeHandle m_modalOwner = 0;
    std::map<int, std::wstring> m_controlTexts;
};

}  // namespace plat::headless

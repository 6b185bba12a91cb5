// Forms and text boxes of the headless desktop.
#include "platform/headless/headless_form.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <utility>

namespace plat::headless {

namespace {

// Outer frame of a sizable window with a caption and a menu bar, twips: 60 on the
// left, right and bottom; 630 above the client area (frame, caption and menu bar).
constexpr float kFrame = 60;
constexpr float kCaption = 300;
constexpr float kMenuBar = 270;
constexpr float kDialogFrame = 45;
constexpr std::uint32_t kButtonFaceColour = 0x8000000F;

NativeHandle newHandle() {
    static std::atomic<NativeHandle> next{0x10010};
    return next.fetch_add(4);
}

bool isSeparator(const MenuItem& m) {
    return m.caption == L"-";
}

// Depth-first search of the first entry matching `match`; `path` receives the
// entries from the top level down to it.
template <class Items, class Ptr, class Match>
bool findPath(Items& items, const Match& match, std::vector<Ptr>& path) {
    for (auto& item : items) {
        path.push_back(&item);
        if (match(item) || findPath(item.items, match, path))
            return true;
        path.pop_back();
    }
    return false;
}

bool usableEntry(const MenuItem& m) {
    return m.enabled && m.visible && !isSeparator(m);
}

}  // namespace

// ---------------------------------------------------------------- TextBox

HeadlessTextBox::HeadlessTextBox(HeadlessFormImpl& owner, int index, std::uint32_t backColor, const Rect& geometry)
    : m_owner(owner), m_index(index), m_geometry(geometry), m_backColor(backColor) {}

std::wstring HeadlessTextBox::text() const {
    ++m_textReads;
    return m_text;
}

void HeadlessTextBox::setText(std::wstring_view text) {
    m_text = text;
    m_selStart = 0;
    m_selLength = 0;
    m_modified = false;
}

std::size_t HeadlessTextBox::textLength() const {
    return m_text.size();
}

void HeadlessTextBox::readText(const std::function<void(std::wstring_view)>& reader) const {
    ++m_textReads;
    reader(m_text);
}

bool HeadlessTextBox::modified() const {
    return m_modified;
}

void HeadlessTextBox::setModified(bool modified) {
    m_modified = modified;
}

std::wstring HeadlessTextBox::selText() const {
    return m_text.substr(static_cast<std::size_t>(m_selStart), static_cast<std::size_t>(m_selLength));
}

void HeadlessTextBox::setSelText(std::wstring_view text) {
    m_text.replace(static_cast<std::size_t>(m_selStart), static_cast<std::size_t>(m_selLength), text);
    m_selStart += static_cast<int>(text.size());
    m_selLength = 0;
    m_modified = true;
}

int HeadlessTextBox::selStart() const {
    return m_selStart;
}
int HeadlessTextBox::selLength() const {
    return m_selLength;
}

void HeadlessTextBox::select(int start, int length) {
    const int size = static_cast<int>(m_text.size());
    m_selStart = std::clamp(start, 0, size);
    m_selLength = std::clamp(length, 0, size - m_selStart);
}

bool HeadlessTextBox::visible() const {
    return m_visible;
}
void HeadlessTextBox::setVisible(bool visible) {
    m_visible = visible;
}
Rect HeadlessTextBox::geometry() const {
    return m_geometry;
}
void HeadlessTextBox::setGeometry(const Rect& r) {
    m_geometry.left = r.left;
    m_geometry.top = r.top;
    setWidth(r.width);
    setHeight(r.height);
}
void HeadlessTextBox::setLeft(float v) {
    m_geometry.left = v;
}
void HeadlessTextBox::setTop(float v) {
    m_geometry.top = v;
}

void HeadlessTextBox::setWidth(float v) {
    if (v >= 0)
        m_geometry.width = v;
}

void HeadlessTextBox::setHeight(float v) {
    if (v >= 0)
        m_geometry.height = v;
}

std::uint32_t HeadlessTextBox::backColor() const {
    return m_backColor;
}
void HeadlessTextBox::setBackColor(std::uint32_t colour) {
    m_backColor = colour;
}
void HeadlessTextBox::setFocus() {
    m_owner.setFocusedTextBox(m_index);
}
bool HeadlessTextBox::focused() const {
    return m_owner.focusedTextBox() == m_index;
}

// ---------------------------------------------------------------- Form

HeadlessFormImpl::HeadlessFormImpl(std::shared_ptr<StateLink> link, const FormDesign& design, FormEvents& events)
    : m_link(std::move(link)), m_design(design), m_events(&events), m_handle(newHandle()) {
    resetToDesign();
}

HeadlessFormImpl::~HeadlessFormImpl() {
    // Destroyed while loaded: the window goes away without any event.
    if (m_loaded && m_link->state != nullptr)
        std::erase(m_link->state->openForms, this);
}

void HeadlessFormImpl::resetToDesign() {
    m_caption = m_design.caption;
    m_tag.clear();
    const Rect edges = frameEdges();
    m_normalBounds =
        Rect{0, 0, m_design.clientWidth + edges.left + edges.width, m_design.clientHeight + edges.top + edges.height};
    m_controlTexts.clear();
    for (const ControlDesign& control : m_design.controls)
        m_controlTexts[control.id] = control.text;
    m_state = WindowState::Normal;
    m_menu = m_design.menuBar;
    m_textBoxes.clear();
    for (int i = 0; i < m_design.textBoxCount; ++i)
        m_textBoxes.push_back(
            std::make_unique<HeadlessTextBox>(*this, i, m_design.textBoxBackColor, m_design.textBoxRect));
    m_focusedTextBox = -1;
    m_topMost = false;
    m_enabled = true;
}

void HeadlessFormImpl::show() {
    if (!m_loaded && !loadHidden())
        return;  // its own onLoad unloaded it
    if (!m_visible) {
        m_visible = true;
        raiseEvent(*m_link, [&] { m_events->onResize(); });
    }
}

void HeadlessFormImpl::load() {
    if (!m_loaded)
        loadHidden();
}

bool HeadlessFormImpl::loadHidden() {
    if (m_everLoaded) {
        // A new load starts from the design, as the old window was destroyed.
        resetToDesign();
        m_handle = newHandle();
    }
    m_loaded = true;
    m_everLoaded = true;
    if (m_link->state != nullptr)
        m_link->state->openForms.push_back(this);
    m_events->onLoad();
    return m_loaded;
}

void HeadlessFormImpl::unload() {
    if (!m_loaded || m_unloading)
        return;
    m_unloading = true;
    std::int16_t cancel = 0;
    m_events->onUnload(cancel);
    m_unloading = false;
    if (cancel != 0)
        return;
    m_loaded = false;
    m_visible = false;
    m_topMost = false;
    m_focusedTextBox = -1;
    if (m_link->state != nullptr)
        std::erase(m_link->state->openForms, this);
}

bool HeadlessFormImpl::loaded() const {
    return m_loaded;
}
std::wstring HeadlessFormImpl::caption() const {
    return m_caption;
}
void HeadlessFormImpl::setCaption(std::wstring_view caption) {
    m_caption = caption;
}

Rect HeadlessFormImpl::bounds() const {
    if (m_state != WindowState::Maximized)
        return m_normalBounds;
    const Rect area =
        m_link->state != nullptr ? nearestWorkArea(m_link->state->workAreas, m_normalBounds) : kDefaultWorkArea;
    return Rect{area.left - kFrame, area.top - kFrame, area.width + 2 * kFrame, area.height + 2 * kFrame};
}

// Thickness of the outer frame on each side: left, top (frame, caption and any menu
// bar), right (as width) and bottom (as height). A fixed dialog frame is thinner.
Rect HeadlessFormImpl::frameEdges() const {
    const float frame = m_design.border == BorderStyle::FixedDialog ? kDialogFrame : kFrame;
    const float top = frame + kCaption + (m_design.menuBar.empty() ? 0 : kMenuBar);
    return Rect{frame, top, frame, frame};
}

// The bounds less the frame; a minimized window has no client area, as on Windows.
Rect HeadlessFormImpl::clientArea() const {
    if (m_state == WindowState::Minimized)
        return Rect{};
    const Rect outer = bounds();
    const Rect edges = frameEdges();
    return Rect{0, 0, std::max(0.0f, outer.width - edges.left - edges.width),
                std::max(0.0f, outer.height - edges.top - edges.height)};
}

void HeadlessFormImpl::raiseResizeIfSizeChanged(const Rect& before) {
    const Rect after = bounds();
    if (m_loaded && (after.width != before.width || after.height != before.height))
        raiseEvent(*m_link, [&] { m_events->onResize(); });
}

void HeadlessFormImpl::setBounds(const Rect& r) {
    const Rect before = bounds();
    m_normalBounds = r;  // the restore bounds when minimized or maximized
    raiseResizeIfSizeChanged(before);
}

void HeadlessFormImpl::userSetBounds(const Rect& r) {
    setBounds(r);
}

WindowState HeadlessFormImpl::windowState() const {
    return m_state;
}

void HeadlessFormImpl::setWindowState(WindowState state) {
    if (state == m_state)
        return;
    m_state = state;
    if (m_loaded)
        raiseEvent(*m_link, [&] { m_events->onResize(); });
}

std::uint32_t HeadlessFormImpl::backColor() const {
    return kButtonFaceColour;
}
std::wstring HeadlessFormImpl::tag() const {
    return m_tag;
}
void HeadlessFormImpl::setTag(std::wstring_view tag) {
    m_tag = tag;
}
NativeHandle HeadlessFormImpl::handle() const {
    return m_handle;
}

TextBox& HeadlessFormImpl::textBox(int index) {
    if (index < 0 || index >= static_cast<int>(m_textBoxes.size()))
        throw std::out_of_range("HeadlessForm::textBox: no text box " + std::to_string(index));
    return *m_textBoxes[static_cast<std::size_t>(index)];
}

bool HeadlessFormImpl::visible() const {
    return m_visible;
}

void HeadlessFormImpl::type(int index, std::wstring_view text) {
    textBox(index).setSelText(text);
}

int HeadlessFormImpl::textReads(int index) const {
    return m_textBoxes.at(static_cast<std::size_t>(index))->textReads();
}

void HeadlessFormImpl::requestClose() {
    if (m_loaded && m_enabled)
        raiseEvent(*m_link, [&] { m_events->onCloseRequest(CloseReason::User); });
}

// ---------------------------------------------------------------- Menu

std::vector<MenuItem*> HeadlessFormImpl::menuPath(int id) {
    std::vector<MenuItem*> path;
    findPath(
        m_menu, [id](const MenuItem& m) { return m.id == id; }, path);
    return path;
}

std::vector<const MenuItem*> HeadlessFormImpl::menuPath(int id) const {
    std::vector<const MenuItem*> path;
    findPath(
        m_menu, [id](const MenuItem& m) { return m.id == id; }, path);
    return path;
}

bool HeadlessFormImpl::menuEnabled(int id) const {
    const auto path = menuPath(id);
    return !path.empty() && path.back()->enabled;
}

void HeadlessFormImpl::setMenuEnabled(int id, bool enabled) {
    const auto path = menuPath(id);
    if (!path.empty())
        path.back()->enabled = enabled;
}

bool HeadlessFormImpl::menuVisible(int id) const {
    const auto path = menuPath(id);
    return !path.empty() && path.back()->visible;
}

std::wstring HeadlessFormImpl::menuCaption(int id) const {
    const auto path = menuPath(id);
    return path.empty() ? std::wstring() : path.back()->caption;
}

std::vector<MenuItem> HeadlessFormImpl::menuBar() const {
    return m_menu;
}

void HeadlessFormImpl::openMenu(int id) {
    raiseEvent(*m_link, [&] { m_events->onMenuOpen(id); });
}

bool HeadlessFormImpl::clickMenu(int id) {
    // The ids on the way down; the states are read again at each level, because
    // opening a drop-down lets its handler enable or disable what it holds.
    std::vector<int> ids;
    for (const MenuItem* m : menuPath(id))
        ids.push_back(m->id);
    if (ids.empty() || !m_enabled)
        return false;
    for (std::size_t level = 0; level < ids.size(); ++level) {
        const auto path = menuPath(ids[level]);
        if (path.empty() || !usableEntry(*path.back()))
            return false;
        if (!path.back()->items.empty())
            raiseEvent(*m_link, [&] { m_events->onMenuOpen(ids[level]); });
    }
    // Clicking a drop-down only opens it.
    const auto path = menuPath(id);
    if (path.empty() || !path.back()->items.empty())
        return !path.empty();
    raiseEvent(*m_link, [&] { m_events->onMenuClick(id); });
    return true;
}

bool HeadlessFormImpl::pressShortcut(Shortcut shortcut) {
    if (shortcut.key == Shortcut::Key::None || !m_enabled)
        return false;
    std::vector<MenuItem*> found;
    if (!findPath(
            m_menu, [&](const MenuItem& m) { return m.shortcut == shortcut; }, found))
        return false;
    const int id = found.back()->id;
    if (found.size() > 1)
        raiseEvent(*m_link, [&] { m_events->onMenuOpen(found[found.size() - 2]->id); });
    const auto path = menuPath(id);
    if (path.empty() || !std::all_of(path.begin(), path.end(), [](const MenuItem* m) { return usableEntry(*m); }))
        return false;
    raiseEvent(*m_link, [&] { m_events->onMenuClick(id); });
    return true;
}

// ---------------------------------------------------------------- Launcher services

NativeHandle HeadlessFormImpl::pictureHandle() const {
    return hasPicture() ? m_handle + 1 : 0;
}

NativeHandle HeadlessFormImpl::iconHandle() const {
    return m_design.iconResource != 0 ? 0x1C0 + static_cast<NativeHandle>(m_design.iconResource) : 0;
}

bool HeadlessFormImpl::hasPicture() const {
    return m_design.pictureBox.width > 0 && m_design.pictureBox.height > 0;
}

// As on the desktop: the menu is modal, the choice's click runs before it returns.
void HeadlessFormImpl::popupMenu(int id) {
    HeadlessPlatform::State* state = m_link->state;
    if (state == nullptr)
        return;
    state->popups.push_back(id);
    if (auto action = std::exchange(state->duringPopup, nullptr))
        action();
    int choice = 0;
    if (!state->popupChoices.empty()) {
        choice = state->popupChoices.front();
        state->popupChoices.pop_front();
    }
    if (choice != 0)
        raiseEvent(*m_link, [&] { m_events->onMenuClick(choice); });
}

void HeadlessFormImpl::notifyPicture(int code) {
    if (m_loaded && hasPicture())
        raiseEvent(*m_link, [&] { m_events->onPictureMouseMove(0, 0, static_cast<float>(code) * kTwipsPerPixel, 0); });
}

void HeadlessFormImpl::endSession() {
    if (m_loaded)
        raiseEvent(*m_link, [&] { m_events->onSessionEnd(); });
}

void HeadlessFormImpl::broadcastTaskbarCreated() {
    if (m_loaded)
        raiseEvent(*m_link, [&] { m_events->onTaskbarCreated(); });
}

}  // namespace plat::headless

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

}  // namespace

// ---------------------------------------------------------------- TextBox

HeadlessTextBox::HeadlessTextBox(HeadlessFormImpl& owner, int index, std::uint32_t backColor, const Rect& geometry)
    : m_owner(owner), m_index(index), m_geometry(geometry), m_backColor(backColor) {}

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
    m_geometry.width = r.width >= 0 ? r.width : m_geometry.width;
    m_geometry.height = r.height >= 0 ? r.height : m_geometry.height;
}

void HeadlessTextBox::setFocus() {
    m_owner.setFocusedTextBox(m_index);
}
bool HeadlessTextBox::focused() const {
    return m_owner.focusedTextBox() == m_index;
}

void HeadlessTextBox::reset(std::uint32_t backColor, const Rect& geometry) {
    m_text.clear();
    m_selStart = 0;
    m_selLength = 0;
    m_visible = false;
    m_modified = false;
    m_geometry = geometry;
    m_backColor = backColor;
}

// ---------------------------------------------------------------- Form

HeadlessFormImpl::HeadlessFormImpl(std::shared_ptr<StateLink> link, const FormDesign& design, FormEvents& events)
    : HeadlessForm(design, events, link->state->forms, static_cast<FormView&>(*this)),
      m_link(std::move(link)),
      m_handle(newHandle()) {
    for (int i = 0; i < design.textBoxCount; ++i) {
        m_textBoxes.push_back(std::make_unique<HeadlessTextBox>(*this, i, design.textBoxBackColor, design.textBoxRect));
    }
    resetWindow();
}

// Destroyed while loaded: the window goes away without any event.
HeadlessFormImpl::~HeadlessFormImpl() {
    forget();
}

void HeadlessFormImpl::resetWindow() {
    const Rect edges = frameEdges();
    m_normalBounds =
        Rect{0, 0, design().clientWidth + edges.left + edges.width, design().clientHeight + edges.top + edges.height};
    m_state = WindowState::Normal;
    for (auto& box : m_textBoxes) {
        box->reset(design().textBoxBackColor, design().textBoxRect);
    }
    m_focusedTextBox = -1;
    m_visible = false;
}

bool HeadlessFormImpl::createWindow() {
    resetWindow();
    m_handle = newHandle();
    m_hasWindow = true;
    return true;
}

void HeadlessFormImpl::destroyWindow() {
    m_hasWindow = false;
    m_visible = false;
    m_focusedTextBox = -1;
}

void HeadlessFormImpl::showWindow(bool) {
    m_visible = true;
}

void HeadlessFormImpl::place(bool, int x, int y, int cx, int cy) {
    const auto twips = [](int pixels) { return static_cast<float>(pixels) * kTwipsPerPixel; };
    setBounds(Rect{twips(x), twips(y), twips(cx), twips(cy)});
}

Rect HeadlessFormImpl::bounds() const {
    if (m_state != WindowState::Maximized) {
        return m_normalBounds;
    }
    const Rect area =
        m_link->state != nullptr ? nearestWorkArea(m_link->state->workAreas, m_normalBounds) : kDefaultWorkArea;
    return Rect{area.left - kFrame, area.top - kFrame, area.width + 2 * kFrame, area.height + 2 * kFrame};
}

// Thickness of the outer frame on each side: left, top (frame, caption and any menu
// bar), right (as width) and bottom (as height). A fixed dialog frame is thinner.
Rect HeadlessFormImpl::frameEdges() const {
    const float frame = design().border == BorderStyle::FixedDialog ? kDialogFrame : kFrame;
    const float top = frame + kCaption + (design().menuBar.empty() ? 0 : kMenuBar);
    return Rect{frame, top, frame, frame};
}

// The bounds less the frame; a minimized window has no client area, as on Windows.
Rect HeadlessFormImpl::clientArea() const {
    if (m_state == WindowState::Minimized) {
        return Rect{};
    }
    const Rect outer = bounds();
    const Rect edges = frameEdges();
    return Rect{0, 0, std::max(0.0f, outer.width - edges.left - edges.width),
                std::max(0.0f, outer.height - edges.top - edges.height)};
}

void HeadlessFormImpl::raiseResizeIfSizeChanged(const Rect& before) {
    const Rect after = bounds();
    if (after.width != before.width || after.height != before.height) {
        resized();
    }
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
    if (state == m_state) {
        return;
    }
    m_state = state;
    resized();
}

std::uint32_t HeadlessFormImpl::backColor() const {
    return kButtonFaceColour;
}
NativeHandle HeadlessFormImpl::handle() const {
    return m_handle;
}

TextBox& HeadlessFormImpl::textBox(int index) {
    if (index < 0 || index >= static_cast<int>(m_textBoxes.size())) {
        throw std::out_of_range("HeadlessForm::textBox: no text box " + std::to_string(index));
    }
    return *m_textBoxes[static_cast<std::size_t>(index)];
}

bool HeadlessFormImpl::visible() const {
    return m_visible;
}

void HeadlessFormImpl::type(int index, std::wstring_view text) {
    textBox(index).setSelText(text);
    textChanged(index);
}

int HeadlessFormImpl::textReads(int index) const {
    return m_textBoxes.at(static_cast<std::size_t>(index))->textReads();
}

void HeadlessFormImpl::activate() {
    if (inputEnabled()) {
        activated();
    }
}

void HeadlessFormImpl::requestClose() {
    if (inputEnabled()) {
        closeRequested(CloseReason::User);
    }
}

// ---------------------------------------------------------------- Menu

std::vector<MenuItem> HeadlessFormImpl::menuBar() const {
    return menu().items();
}

void HeadlessFormImpl::openMenu(int id) {
    menuOpening(id);
}

// As the desktop's menu does: each drop-down on the way down opens in turn, and one
// the user cannot reach stops the click. The states are read again at each level,
// because opening a drop-down lets its handler enable or disable what it holds.
bool HeadlessFormImpl::clickMenu(int id) {
    std::vector<int> ids;
    for (std::optional<int> level = id; level; level = menu().parentOf(*level)) {
        ids.insert(ids.begin(), *level);
    }
    if (menu().find(id) == nullptr || !inputEnabled()) {
        return false;
    }
    for (const int level : ids) {
        if (!menu().reachable(level)) {
            return false;
        }
        const MenuItem* entry = menu().find(level);
        if (!entry->items.empty()) {
            menuOpening(level);
        }
    }
    const MenuItem* entry = menu().find(id);
    if (entry != nullptr && !entry->items.empty()) {
        return true;  // clicking a drop-down only opens it
    }
    return menuCommand(id, MenuSource::Menu);
}

bool HeadlessFormImpl::receiveCommand(int id) {
    return menuCommand(id, MenuSource::Menu);
}

bool HeadlessFormImpl::pressShortcut(Shortcut shortcut) {
    const std::optional<int> id = menu().shortcutEntry(shortcut);
    return id && inputEnabled() && menuCommand(*id, MenuSource::Shortcut);
}

// ---------------------------------------------------------------- Launcher services

NativeHandle HeadlessFormImpl::pictureHandle() const {
    return hasPicture() ? m_handle + 1 : 0;
}

NativeHandle HeadlessFormImpl::iconHandle() const {
    return design().iconResource != 0 ? 0x1C0 + static_cast<NativeHandle>(design().iconResource) : 0;
}

bool HeadlessFormImpl::hasPicture() const {
    return design().pictureBox.width > 0 && design().pictureBox.height > 0;
}

// As on the desktop: the menu is modal, the choice's click runs before it returns.
int HeadlessFormImpl::trackPopupMenu(int id) {
    HeadlessPlatform::State* state = m_link->state;
    if (state == nullptr) {
        return 0;
    }
    state->popups.push_back(id);
    if (auto action = std::exchange(state->duringPopup, nullptr)) {
        action();
    }
    int choice = 0;
    if (!state->popupChoices.empty()) {
        choice = state->popupChoices.front();
        state->popupChoices.pop_front();
    }
    return choice;
}

void HeadlessFormImpl::notifyPicture(int code) {
    if (hasPicture()) {
        pictureMouseMove(0, 0, static_cast<float>(code) * kTwipsPerPixel, 0);
    }
}

void HeadlessFormImpl::broadcastTaskbarCreated() {
    taskbarRestarted();
}

}  // namespace plat::headless

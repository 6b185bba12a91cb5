// A form's life cycle and state, once for every backend. Loading adds the form to
// the open forms and runs onLoad with the window still hidden; the first show raises
// one onResize once the window is visible (size changes during onLoad are not
// reported); unloading runs onUnload, destroys the window and leaves the open forms.
// A form loaded again after an unload starts afresh from its design, as a new window.
#include "platform/forms/form_model.h"

#include <algorithm>
#include <utility>

namespace plat {

FormModel::FormModel(const FormDesign& design, FormEvents& events, std::shared_ptr<FormList> forms, FormView& view)
    : m_design(design),
      m_forms(std::move(forms)),
      m_events(events, [list = m_forms](std::exception_ptr error) { list->report(error); }),
      m_view(view),
      m_menu(design.menuBar) {
    resetToDesign();
}

FormModel::~FormModel() {
    forget();
}

void FormModel::forget() {
    *m_alive = false;
    releaseOwner();
    m_forms->remove(this);
}

void FormModel::resetToDesign() {
    m_caption = m_design.caption;
    m_controlTexts.clear();
    for (const ControlDesign& control : m_design.controls) {
        m_controlTexts[control.id] = control.text;
    }
    m_menu.reset();
    m_topMost = false;
    m_inputEnabled = true;
    m_shown = false;
}

void FormModel::load() {
    if (m_stage != Stage::Created && m_stage != Stage::Unloaded) {
        return;
    }
    if (m_stage == Stage::Unloaded) {
        resetToDesign();
        if (!m_view.createWindow()) {
            return;
        }
    }
    if (!m_view.hasWindow()) {
        return;  // the desktop could not make the window
    }
    m_stage = Stage::Loading;
    m_forms->add(this);
    m_events.onLoad();
    if (m_stage == Stage::Loading) {
        m_stage = Stage::Loaded;
    }
}

// A show from within onLoad does nothing: the show that loaded the form follows.
// Unless the window reported a size change while appearing, the first show raises
// the onResize that lays the form out.
void FormModel::show() {
    load();
    if (m_stage != Stage::Loaded) {
        return;  // never made, or unloaded during onLoad
    }
    const bool first = !m_shown;
    m_shown = true;
    m_resizeRaised = false;
    m_view.showWindow(first);
    if (first && !m_resizeRaised && m_stage == Stage::Loaded) {
        m_events.onResize();
    }
}

void FormModel::unload() {
    if (m_stage != Stage::Loaded && m_stage != Stage::Loading) {
        return;
    }
    const Stage before = m_stage;
    m_stage = Stage::Unloading;
    std::int16_t cancel = 0;
    try {
        m_events.onUnload(cancel);
    } catch (...) {
        // onUnload is not guarded: its exception goes on to the caller of unload. The
        // form stays as it was, so that a later close can still unload it.
        m_stage = before;
        throw;
    }
    if (cancel != 0) {
        m_stage = before;
        return;
    }
    m_stage = Stage::Unloaded;
    m_shown = false;
    m_topMost = false;
    m_forms->remove(this);
    // The owner takes input again before this window goes, so that the desktop
    // activates it rather than another program's window.
    releaseOwner();
    m_view.destroyWindow();
    if (m_forms->count() == 0) {
        m_view.lastFormUnloaded();
    }
}

bool FormModel::loaded() const {
    return m_stage == Stage::Loading || m_stage == Stage::Loaded || m_stage == Stage::Unloading;
}

void FormModel::setCaption(std::wstring_view caption) {
    if (m_caption == caption) {
        return;
    }
    m_caption = caption;
    if (m_view.hasWindow()) {
        m_view.drawCaption(m_caption);
    }
}

void FormModel::setMenuEnabled(int id, bool enabled) {
    if (m_menu.setEnabled(id, enabled) && m_view.hasWindow()) {
        m_view.drawMenuEnabled(id, enabled);
    }
}

std::wstring FormModel::controlText(int id) const {
    const auto it = m_controlTexts.find(id);
    return it == m_controlTexts.end() ? std::wstring() : it->second;
}

// Only the controls of the design have a text.
void FormModel::setControlText(int id, std::wstring_view text) {
    const auto it = m_controlTexts.find(id);
    if (it == m_controlTexts.end() || it->second == text) {
        return;
    }
    it->second = text;
    if (m_view.hasWindow()) {
        m_view.drawControlText(id, it->second);
    }
}

// As on the desktop, the menu is modal: a chosen entry's click has run when this
// returns.
void FormModel::popupMenu(int id) {
    if (m_view.hasWindow()) {
        m_menu.popupChoice(id, m_view.trackPopupMenu(id), m_events);
    }
}

void FormModel::place(bool topMost, int x, int y, int cx, int cy) {
    if (m_view.hasWindow()) {
        m_topMost = topMost;
        m_view.place(topMost, x, y, cx, cy);
    }
}

void FormModel::closeRequested(CloseReason reason) {
    if (loaded()) {
        m_events.onCloseRequest(reason);
    }
}

// While onLoad runs the window is still hidden; its size is reported by show().
void FormModel::resized() {
    if (m_stage == Stage::Loaded || m_stage == Stage::Unloading) {
        m_resizeRaised = true;
        m_events.onResize();
    }
}

// The owner takes no input for as long as this form is shown modally over it. A form
// shown modally over another modal form leaves that one's owner as it was. The owner
// may be gone by the time this form closes (its unload closes this one first).
void FormModel::showModal(Form& owner) {
    load();
    if (m_stage != Stage::Loaded) {
        return;
    }
    const std::shared_ptr<bool> alive = m_alive;
    const NativeHandle ownerHandle = owner.handle();
    FormModel* ownerModel = of(owner);
    if (ownerModel != nullptr && ownerModel != this && m_forms->contains(ownerModel)) {
        m_view.attachOwner(ownerHandle);
        releaseOwner();
        m_modalOwner = ownerModel;
        m_ownerWasEnabled = ownerModel->m_inputEnabled;
        ownerModel->setInputEnabled(false);
    }
    show();
    if (*alive && m_stage == Stage::Loaded) {
        m_view.runModal();
    }
    if (!*alive) {
        return;
    }
    const bool owned = m_modalOwner != nullptr;
    releaseOwner();
    if (owned && m_forms->contains(ownerModel) && ownerModel->m_inputEnabled) {
        m_view.activateOwner(ownerHandle);
    }
}

NativeHandle FormModel::ownerWhileModal() const {
    return m_modalOwner != nullptr && m_forms->contains(m_modalOwner) ? m_modalOwner->handle() : 0;
}

void FormModel::releaseOwner() {
    FormModel* owner = std::exchange(m_modalOwner, nullptr);
    if (owner != nullptr && m_ownerWasEnabled && m_forms->contains(owner)) {
        owner->setInputEnabled(true);
    }
    m_ownerWasEnabled = false;
}

void FormModel::setInputEnabled(bool enabled) {
    if (m_inputEnabled == enabled) {
        return;
    }
    m_inputEnabled = enabled;
    if (m_view.hasWindow()) {
        m_view.drawInputEnabled(enabled);
    }
}

bool FormModel::isButton(int id) const {
    return std::any_of(m_design.controls.begin(), m_design.controls.end(),
                       [id](const ControlDesign& c) { return c.id == id && c.kind == ControlKind::Button; });
}

bool FormModel::buttonClicked(int id) {
    if (!loaded() || !m_inputEnabled || !isButton(id)) {
        return false;
    }
    m_events.onButtonClick(id);
    return true;
}

bool FormModel::pressFirstButton(bool ControlDesign::*role) {
    const auto& controls = m_design.controls;
    const auto it = std::find_if(controls.begin(), controls.end(),
                                 [role](const ControlDesign& c) { return c.kind == ControlKind::Button && c.*role; });
    return it != controls.end() && buttonClicked(it->id);
}

bool FormModel::enterPressed() {
    return pressFirstButton(&ControlDesign::isDefault);
}

bool FormModel::escapePressed() {
    return pressFirstButton(&ControlDesign::isCancel);
}

void FormModel::sessionEnded() {
    if (loaded()) {
        m_events.onSessionEnd();
    }
}

void FormModel::taskbarRestarted() {
    if (loaded()) {
        m_events.onTaskbarCreated();
    }
}

void FormModel::pictureMouseMove(int button, int shift, float x, float y) {
    if (loaded()) {
        m_events.onPictureMouseMove(button, shift, x, y);
    }
}

std::vector<ControlDesign> inTabOrder(std::vector<ControlDesign> controls) {
    std::stable_sort(controls.begin(), controls.end(), [](const ControlDesign& a, const ControlDesign& b) {
        const bool aNone = a.tabIndex < 0;
        const bool bNone = b.tabIndex < 0;
        if (aNone != bNone) {
            return bNone;
        }
        return !aNone && a.tabIndex < b.tabIndex;
    });
    return controls;
}

}  // namespace plat

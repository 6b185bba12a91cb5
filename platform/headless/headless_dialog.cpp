// Dialog forms of the headless desktop: labels and buttons, Enter and Esc, and the
// modal show, in which a test's queued action plays the user.
#include <algorithm>
#include <utility>

#include "platform/headless/headless_form.h"

namespace plat::headless {
namespace {

const ControlDesign* findControl(const FormDesign& design, int id) {
    const auto it = std::find_if(design.controls.begin(), design.controls.end(),
                                 [id](const ControlDesign& c) { return c.id == id; });
    return it == design.controls.end() ? nullptr : &*it;
}

HeadlessFormImpl* openFormWithHandle(HeadlessPlatform::State& state, NativeHandle handle) {
    for (FormModel* form : state.forms->forms()) {
        if (form->handle() == handle)
            return dynamic_cast<HeadlessFormImpl*>(form);
    }
    return nullptr;
}

}  // namespace

bool HeadlessFormImpl::clickButton(int id) {
    const ControlDesign* control = findControl(design(), id);
    if (!loaded() || !m_enabled || control == nullptr || control->kind != ControlKind::Button)
        return false;
    buttonClicked(id);
    return true;
}

bool HeadlessFormImpl::pressEnter() {
    for (const ControlDesign& c : design().controls) {
        if (c.kind == ControlKind::Button && c.isDefault)
            return clickButton(c.id);
    }
    return false;
}

bool HeadlessFormImpl::pressEscape() {
    for (const ControlDesign& c : design().controls) {
        if (c.kind == ControlKind::Button && c.isCancel)
            return clickButton(c.id);
    }
    return false;
}

bool HeadlessFormImpl::enabled() const {
    return m_enabled;
}

NativeHandle HeadlessFormImpl::modalOwner() const {
    return m_modalOwner;
}

// The owner is disabled for as long as the form is open, as on the desktop. The
// owner may be gone by the time the form closes (its unload closes this one first).
void HeadlessFormImpl::showModal(Form& owner) {
    HeadlessPlatform::State* state = m_link->state;
    load();
    if (!loaded())
        return;
    const NativeHandle ownerHandle = owner.handle();
    m_modalOwner = ownerHandle;
    if (HeadlessFormImpl* o = state ? openFormWithHandle(*state, ownerHandle) : nullptr)
        o->setEnabled(false);
    show();
    if (state != nullptr && !state->modalActions.empty()) {
        auto action = std::move(state->modalActions.front());
        state->modalActions.pop_front();
        action(*this);
    }
    if (loaded() && state != nullptr && state->unexpectedModal)
        state->unexpectedModal(*this);
    unload();
    m_modalOwner = 0;
    if (HeadlessFormImpl* o = m_link->state ? openFormWithHandle(*m_link->state, ownerHandle) : nullptr)
        o->setEnabled(true);
}

}  // namespace plat::headless

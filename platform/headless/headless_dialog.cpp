// Dialog forms of the headless desktop: clicks, Enter and Esc fed to the form model,
// and the modal show, in which a test's queued action plays the user.
#include <utility>

#include "platform/headless/headless_form.h"

namespace plat::headless {

bool HeadlessFormImpl::clickButton(int id) {
    return buttonClicked(id);
}

bool HeadlessFormImpl::pressEnter() {
    return enterPressed();
}

bool HeadlessFormImpl::pressEscape() {
    return escapePressed();
}

bool HeadlessFormImpl::enabled() const {
    return inputEnabled();
}

NativeHandle HeadlessFormImpl::modalOwner() const {
    return ownerWhileModal();
}

// The test's queued action plays the user. A form still open after it is reported
// and unloaded, so that showModal always returns.
void HeadlessFormImpl::runModal() {
    HeadlessPlatform::State* state = m_link->state;
    if (state != nullptr && !state->modalActions.empty()) {
        auto action = std::move(state->modalActions.front());
        state->modalActions.pop_front();
        action(*this);
    }
    if (loaded() && state != nullptr && state->unexpectedModal) {
        state->unexpectedModal(*this);
    }
    unload();
}

}  // namespace plat::headless

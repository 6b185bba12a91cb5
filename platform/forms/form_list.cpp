// The open forms of a program, in load order.
#include "platform/forms/form_list.h"

#include <algorithm>

namespace plat {

Form* FormList::at(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return m_forms[static_cast<std::size_t>(index)];
}

bool FormList::contains(const Form* form) const {
    return std::find(m_forms.begin(), m_forms.end(), form) != m_forms.end();
}

void FormList::add(Form* form) {
    if (!contains(form)) {
        m_forms.push_back(form);
    }
}

void FormList::remove(const Form* form) {
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
}

// The reporter never throws (Platform::reportFailure), and a list without one drops
// the failure: its platform is gone, and with it anyone to tell.
void FormList::report(std::exception_ptr error) const noexcept {
    if (m_reporter) {
        m_reporter(error);
    }
}

}  // namespace plat

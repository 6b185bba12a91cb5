// The open forms of a program, and unloading one by its place in load order.
#include "platform/form_list.h"

#include <algorithm>

#include "platform/form_model.h"
#include "platform/platform.h"

namespace plat {

FormModel* FormList::at(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return m_forms[static_cast<std::size_t>(index)];
}

bool FormList::contains(const FormModel* form) const {
    return std::find(m_forms.begin(), m_forms.end(), form) != m_forms.end();
}

void FormList::add(FormModel* form) {
    if (!contains(form)) {
        m_forms.push_back(form);
    }
}

void FormList::remove(const FormModel* form) {
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), form), m_forms.end());
}

void FormList::unload(int index) {
    if (FormModel* form = at(index)) {
        form->unload();
    }
}

void FormList::report(std::exception_ptr error) const noexcept {
    if (m_platform != nullptr) {
        m_platform->reportFailure(error);
    }
}

}  // namespace plat

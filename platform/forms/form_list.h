// The loaded forms of a program, in load order, shared by the platform and its forms
// (a form may outlive the platform). The list knows forms only as the interface the
// programs see, and whom to tell of a failing event handler only as a function.
#pragma once

#include <exception>
#include <functional>
#include <vector>

namespace plat {

class Form;

class FormList {
public:
    using Reporter = std::function<void(std::exception_ptr)>;

    int count() const { return static_cast<int>(m_forms.size()); }
    // The form at `index` in load order; null when there is none.
    Form* at(int index) const;
    const std::vector<Form*>& forms() const { return m_forms; }
    bool contains(const Form* form) const;
    void add(Form* form);
    void remove(const Form* form);

    // Where a failing event handler is reported: the platform, while it lives; none
    // when `reporter` is empty.
    void setReporter(Reporter reporter) { m_reporter = std::move(reporter); }
    void report(std::exception_ptr error) const noexcept;

private:
    std::vector<Form*> m_forms;
    Reporter m_reporter;
};

}  // namespace plat

// The loaded forms of a program, in load order, shared by the platform and its forms
// (a form may outlive the platform).
#pragma once

#include <exception>
#include <vector>

namespace plat {

class FormModel;
class Platform;

class FormList {
public:
    int count() const { return static_cast<int>(m_forms.size()); }
    // The form at `index` in load order; null when there is none.
    FormModel* at(int index) const;
    const std::vector<FormModel*>& forms() const { return m_forms; }
    bool contains(const FormModel* form) const;
    void add(FormModel* form);
    void remove(const FormModel* form);
    // Unloads the form at `index`; nothing when there is none.
    void unload(int index);

    // Where a failing event handler is reported: the platform, while it lives.
    void setPlatform(Platform* platform) { m_platform = platform; }
    void report(std::exception_ptr error) const noexcept;

private:
    std::vector<FormModel*> m_forms;
    Platform* m_platform = nullptr;
};

}  // namespace plat

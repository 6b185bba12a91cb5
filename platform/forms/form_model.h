// The portable core of a form: its state (stage, caption, control texts, menu,
// topmost) and the rules of its life cycle and input, written once for every
// backend. A backend's form derives from it and implements the FormView driver and
// the Form operations that only the window can answer (geometry, handles, editors).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/form_list.h"
#include "platform/forms/form_view.h"
#include "platform/forms/guarded_events.h"
#include "platform/forms/menu_model.h"
#include "platform/services/form.h"

namespace plat {

// A dialog's controls in the order focus moves through them: by tab index, the
// controls that take no focus last, ties in design order.
std::vector<ControlDesign> inTabOrder(std::vector<ControlDesign> controls);

class FormModel : public Form {
public:
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    // The model of a form made by a backend of this layer; null for any other Form.
    static FormModel* of(Form& form) { return dynamic_cast<FormModel*>(&form); }
    static const FormModel* of(const Form& form) { return dynamic_cast<const FormModel*>(&form); }

    // --- FormLifecycle ---
    void load() override;
    void show() override;
    void showModal(Form& owner) override;
    void unload() override;
    bool loaded() const override;
    // --- FormWindow: the caption ---
    std::wstring caption() const override { return m_caption; }
    void setCaption(std::wstring_view caption) override;
    // --- FormMenus ---
    bool menuEnabled(int id) const override { return m_menu.enabled(id); }
    void setMenuEnabled(int id, bool enabled) override;
    bool menuVisible(int id) const override { return m_menu.visible(id); }
    std::wstring menuCaption(int id) const override { return m_menu.caption(id); }
    void popupMenu(int id) override;
    // --- FormControls: labels and buttons ---
    std::wstring controlText(int id) const override;
    void setControlText(int id, std::wstring_view text) override;

    // --- Platform operations ---
    // Platform::setWindowPos and isTopMost.
    void place(bool topMost, int x, int y, int cx, int cy);
    bool topMost() const { return m_topMost; }
    // False while a modal form is shown over this one.
    bool inputEnabled() const { return m_inputEnabled; }
    // The window this form is shown modally over, 0 when none.
    NativeHandle ownerWhileModal() const;

    // --- Raw input, reported by the backend ---
    void menuOpening(int id) { m_menu.opening(id, m_events); }
    bool menuCommand(int id, MenuSource source) { return m_menu.command(id, source, m_events); }
    void closeRequested(CloseReason reason);
    // The window's size or state changed.
    void resized();
    // A button clicked; Enter and Esc press the default and the cancel button. Each
    // is true when a button's click was raised.
    bool buttonClicked(int id);
    bool enterPressed();
    bool escapePressed();
    void sessionEnded();
    void taskbarRestarted();
    // The user changed the text of editor `index`.
    void textChanged(int index) { m_events.onTextChange(index); }
    // The window became the active one.
    void activated() { m_events.onActivate(); }
    void pictureMouseMove(int button, int shift, float x, float y);

protected:
    FormModel(const FormDesign& design, FormEvents& events, std::shared_ptr<FormList> forms, FormView& view);
    ~FormModel() override;

    const FormDesign& design() const { return m_design; }
    const MenuModel& menu() const { return m_menu; }
    GuardedEvents& events() { return m_events; }
    FormList& forms() const { return *m_forms; }
    // The form goes away without any event (destroyed, perhaps while loaded): it
    // leaves the open forms and gives its modal owner input again. A backend calls it
    // first thing in its destructor, before its window goes.
    void forget();
    // Turns false when the form is destroyed: for a caller that a handler may destroy it under.
    std::shared_ptr<bool> aliveToken() const { return m_alive; }

private:
    enum class Stage { Created, Loading, Loaded, Unloading, Unloaded };
    void resetToDesign();
    bool isButton(int id) const;
    void setInputEnabled(bool enabled);
    void releaseOwner();
    bool pressFirstButton(bool ControlDesign::*role);

    FormDesign m_design;
    std::shared_ptr<FormList> m_forms;
    GuardedEvents m_events;
    FormView& m_view;
    Stage m_stage = Stage::Created;
    std::wstring m_caption;
    std::map<int, std::wstring> m_controlTexts;
    MenuModel m_menu;
    bool m_topMost = false;
    bool m_inputEnabled = true;
    FormModel* m_modalOwner = nullptr;  // while shown modally; takes no input meanwhile
    bool m_ownerWasEnabled = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    bool m_shown = false;         // shown since the window was made
    bool m_resizeRaised = false;  // while showing: the window reported a size change
};

}  // namespace plat

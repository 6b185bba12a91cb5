// A form of the Qt backend.
#include "platform/qt/qt_form.h"

#include <stdexcept>

namespace plat::qt {

QtForm::QtForm(std::shared_ptr<PlatformState> platform, const FormDesign& design, FormEvents& events)
    : FormModel(design, events, platform->forms, *this), m_platform(std::move(platform)) {
    m_window = true;
}

QtForm::~QtForm() {
    forget();
}

Rect QtForm::bounds() const {
    return {};
}
void QtForm::setBounds(const Rect&) {}
Rect QtForm::clientArea() const {
    return {};
}
WindowState QtForm::windowState() const {
    return WindowState::Normal;
}
std::uint32_t QtForm::backColor() const {
    return 0;
}
NativeHandle QtForm::handle() const {
    return reinterpret_cast<NativeHandle>(this);
}
TextBox& QtForm::textBox(int) {
    throw std::out_of_range("no text box");
}
NativeHandle QtForm::pictureHandle() const {
    return handle();
}
NativeHandle QtForm::iconHandle() const {
    return 0;
}
bool QtForm::createWindow() {
    m_window = true;
    return true;
}
void QtForm::destroyWindow() {
    m_window = false;
}
bool QtForm::hasWindow() const {
    return m_window;
}
void QtForm::showWindow(bool) {}
void QtForm::drawCaption(std::wstring_view) {}
void QtForm::drawMenuEnabled(int, bool) {}
void QtForm::drawControlText(int, std::wstring_view) {}
void QtForm::drawInputEnabled(bool) {}
void QtForm::attachOwner(NativeHandle) {}
void QtForm::runModal() {}
void QtForm::activateOwner(NativeHandle) {}
void QtForm::place(bool, int, int, int, int) {}
int QtForm::trackPopupMenu(int) {
    return 0;
}

}  // namespace plat::qt

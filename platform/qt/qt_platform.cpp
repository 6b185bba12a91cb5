// The Qt platform object: its services, forms, event loop and waits.
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>

#include "platform/qt/qt_app_window.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_services.h"

namespace plat::qt {

QtPlatform::QtPlatform()
    : m_state(std::make_shared<PlatformState>()), m_services(std::make_unique<ServiceSet>(m_state.get())) {
    m_state->platform = this;
    attach(*m_services, m_state->forms);
    SessionEnd::install(m_state);
}

QtPlatform::~QtPlatform() {
    m_appChannel.reset();
    m_state->platform = nullptr;
}

void QtPlatform::createAppWindow(std::wstring_view title, AppWindowEvents& events) {
    m_appChannel = std::make_unique<AppChannel>(*m_state, title, events);
}

std::unique_ptr<Form> QtPlatform::createForm(const FormDesign& design, FormEvents& events) {
    return std::make_unique<QtForm>(m_state, design, events);
}

int QtPlatform::run() {
    if (m_state->forms->forms().empty()) {
        return 0;
    }
    return QApplication::exec();
}

void QtPlatform::wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(milliseconds - timer.elapsed()));
    }
}

void reportEventFailure(const PlatformState& state) noexcept {
    if (state.platform != nullptr) {
        state.platform->reportFailure(std::current_exception());
    }
}

}  // namespace plat::qt

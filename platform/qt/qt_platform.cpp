// The Qt platform object: its services, forms, event loop and waits.
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "platform/qt/qt_app_window.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_services.h"

namespace plat::qt {

QtPlatform::QtPlatform()
    : m_state(std::make_shared<PlatformState>()), m_services(std::make_unique<ServiceSet>(m_state.get())) {
    m_state->platform = this;
    attach(*m_services, m_state->forms);
    SessionEnd::install(m_state);
    // The program ends when its last form is unloaded, not when its last window hides
    // (the launcher's form never shows).
    QApplication::setQuitOnLastWindowClosed(false);
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

// Ends when the last form is unloaded (QtForm::lastFormUnloaded).
int QtPlatform::run() {
    if (m_state->forms->forms().empty()) {
        return 0;
    }
    m_state->running = true;
    const int code = QApplication::exec();
    m_state->running = false;
    return code;
}

// Sleeps between events rather than spinning; the timer wakes the last sleep, and is
// started again should it fire early. Windows deleted later (deleteLater) go when the
// loop they were let go in allows: a handler that waits may still be running in one.
void QtPlatform::wait(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (qint64 left = milliseconds; left > 0; left = milliseconds - clock.elapsed()) {
        if (!wake.isActive()) {
            wake.start(static_cast<int>(left));
        }
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    QApplication::processEvents();
}

void reportEventFailure(const PlatformState& state) noexcept {
    if (state.platform != nullptr) {
        state.platform->reportFailure(std::current_exception());
    }
}

}  // namespace plat::qt

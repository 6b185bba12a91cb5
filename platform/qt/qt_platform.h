// The Qt backend of the desktop layer: the native Linux programs. What it
// implements, file by file:
//   qt_platform.cpp      the platform object: forms, event loop, waits
//   qt_services.h        the service classes, one per desktop service
//   qt_form.cpp          the driver of a form (platform/form_model.h): its window,
//                        geometry, menus, dialog controls and events
//   qt_textbox.cpp       text boxes (plain-text editors that show CR LF text)
//   qt_message_box.cpp   message boxes
//   qt_app_window.cpp    the application's close channel (a local socket), signals
//                        and the end of the session
//   qt_services.cpp      program facts, screen, settings, clipboard, help, registry
//   qt_printer.cpp       print jobs on the default printer
//   qt_shell.cpp         the tray icon, starting programs, closing other copies
//   qt_entry.cpp         main(), which calls ProgramMain
#pragma once

#include <memory>
#include <string>

#include "platform/form_list.h"
#include "platform/platform.h"

namespace plat::qt {

class AppChannel;

// Everything the backend holds that its forms share. Forms keep it alive, so that a
// form destroyed after the platform still finds it.
struct PlatformState {
    std::shared_ptr<FormList> forms = std::make_shared<FormList>();
    Platform* platform = nullptr;  // while the platform object lives
    float twipsPerPixelX = 15;
    float twipsPerPixelY = 15;
    bool quitting = false;  // the event loop was asked to end
    bool running = false;   // run() is in its event loop
};

class QtPlatform final : public Platform {
public:
    // A QApplication must exist (the entry point or a test makes it).
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    void createAppWindow(std::wstring_view title, AppWindowEvents& events) override;
    std::unique_ptr<Form> createForm(const FormDesign& design, FormEvents& events) override;
    int run() override;
    void wait(int milliseconds) override;

    const std::shared_ptr<PlatformState>& state() const { return m_state; }

protected:
    MsgAnswer showMessageBox(const MessageBoxRequest& request) override;  // qt_message_box.cpp

private:
    struct ServiceSet;  // qt_services.h

    std::shared_ptr<PlatformState> m_state;
    std::unique_ptr<ServiceSet> m_services;
    std::unique_ptr<AppChannel> m_appChannel;
};

// Hands the exception being handled to the platform's failure report, so that the
// user hears of it and nothing unwinds through Qt's code.
void reportEventFailure(const PlatformState& state) noexcept;

}  // namespace plat::qt

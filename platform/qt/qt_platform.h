// The Qt backend of the desktop layer: the native Linux programs. What it
// implements, file by file:
//   qt_platform.cpp      the platform object: forms, event loop, waits
//   qt_services.h        the service classes, one per desktop service
//   qt_form.cpp          the driver of a form (platform/form_model.h): its window,
//                        geometry and events
//   qt_menu.cpp          menu bars, shortcuts, pop-up menus
//   qt_dialog.cpp        dialog controls and modal shows
//   qt_widgets.cpp       the small widget classes the forms are made of
//   qt_textbox.cpp       text boxes (plain-text editors that show CR LF text)
//   qt_message_box.cpp   message boxes
//   qt_app_window.cpp    the application's close channel (a local socket)
//   qt_session_end.cpp   termination signals and the end of the session
//   qt_services.cpp      program facts, screen, help, registry
//   qt_settings.cpp      the settings file
//   qt_clipboard.cpp     plain text on the clipboard
//   qt_printer.cpp       print jobs on the default printer
//   qt_timers.cpp        timers of the event loop
//   qt_folder_watch.cpp  folder watches (changes other programs make to files)
//   qt_shell.cpp         starting programs, closing other copies, processes
//   qt_tray.cpp          the notification-area icon
//   qt_entry.cpp         main(), which calls ProgramMain
#pragma once

#include <memory>
#include <string>

#include "platform/forms/form_list.h"
#include "platform/platform.h"
#include "platform/services/form.h"

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

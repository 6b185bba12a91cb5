// The Win32 backend of the desktop layer: the real one, for notes.exe and the
// launcher. What it implements, file by file:
//   win32_platform.cpp   start-up, program facts, screen, event loop, the form operations
//   win32_services.h     the service classes, one per desktop service
//   win32_window.cpp     the base of every window class: registration, dispatch
//   win32_form.cpp       the driver of a form (platform/form_model.h): its window,
//                        geometry and messages
//   win32_dialog.cpp     dialog forms: the modal loop, dialog keys, control events
//   win32_controls.cpp   dialog controls: labels, buttons, the icon box, lines
//   win32_menu.cpp       menu bars, accelerators, menu messages, pop-up menus
//   win32_picture.cpp    picture boxes (mouse-move hooks for notification icons)
//   win32_textbox.cpp    text boxes (multi-line EDIT controls)
//   win32_app_window.cpp the hidden application window
//   win32_message_box.cpp message boxes
//   win32_settings.cpp   settings store (HKCU\Software\<app>\<section>)
//   win32_registry.cpp   reading machine keys of the registry
//   win32_clipboard.cpp  plain text on the clipboard
//   win32_help.cpp       the help engine
//   win32_text.cpp       ANSI conversion, error texts, colours, rectangles
//   win32_files.cpp      files: read, atomic write, remove, list
//   win32_folder_watch.cpp folder watches (changes other programs make to files)
//   win32_timers.cpp     timers of a message-only window, background threads
//   win32_printer.cpp    default-printer print jobs
//   win32_shell.cpp      notification icons, programs, other windows, processes, waits
//   win32_entry.cpp      wWinMain, which calls ProgramMain
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/form_list.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/win32/win32_common.h"

namespace plat::win32 {

class Win32Form;
class AppWindow;

// The program's loaded forms as this backend's forms, in load order: a view of the
// portable list, for the message filter and the clipboard's owner window.
class OpenForms {
public:
    class Iterator {
    public:
        explicit Iterator(std::vector<Form*>::const_iterator at) : m_at(at) {}
        Win32Form* operator*() const;  // win32_form.cpp
        Iterator& operator++() {
            ++m_at;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_at != other.m_at; }

    private:
        std::vector<Form*>::const_iterator m_at;
    };
    explicit OpenForms(const FormList& list) : m_list(list) {}
    Iterator begin() const { return Iterator(m_list.forms().begin()); }
    Iterator end() const { return Iterator(m_list.forms().end()); }

private:
    const FormList& m_list;
};

// Everything the backend holds that its forms share. Forms keep it alive, so that a
// form destroyed after the platform (a program-wide form) still finds it.
struct PlatformState {
    HINSTANCE instance = nullptr;
    Scale scale;
    HFONT editFont = nullptr;  // owned when ownsFont
    bool ownsFont = false;
    // The message font as the system gives it, and the DPI it is given for; each
    // screen's DPI gets it in its own size.
    LOGFONTW messageFont{};
    int messageFontDpi = 0;
    int fontDpi = 0;
    std::vector<HFONT> retiredFonts;  // fonts of an earlier DPI, which windows may still hold
    std::shared_ptr<FormList> forms = std::make_shared<FormList>();
    OpenForms openForms{*forms};
    std::wstring appTitle;
    HWND appWindow = nullptr;      // the hidden application window, when there is one
    Platform* platform = nullptr;  // while the platform object lives
    // The message the shell broadcasts to top-level windows when it (re)starts.
    UINT taskbarCreatedMessage = 0;

    PlatformState() = default;
    ~PlatformState();
    PlatformState(const PlatformState&) = delete;
    PlatformState& operator=(const PlatformState&) = delete;
};

// The window moved to a screen of another DPI: twips per pixel and the editors'
// font follow it.
void followDpi(PlatformState& state, int dpiX, int dpiY);

class Win32Platform final : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    void createAppWindow(std::wstring_view title, AppWindowEvents& events) override;
    std::unique_ptr<Form> createForm(const FormDesign& design, FormEvents& events) override;
    int run() override;
    void wait(int milliseconds) override;

protected:
    MsgAnswer showMessageBox(const MessageBoxRequest& request) override;  // win32_message_box.cpp

private:
    struct ServiceSet;  // win32_services.h

    int messageLoop();
    // Handles every queued message; false when WM_QUIT was among them (it is posted
    // again for the event loop).
    bool dispatchPending();

    std::shared_ptr<PlatformState> m_state;
    std::unique_ptr<AppWindow> m_appWindow;
    std::unique_ptr<ServiceSet> m_services;
};

// For the catch block of a window procedure: hands the exception being handled to
// the platform's failure report, so that the user hears of it and nothing unwinds
// through the system's code.
void reportEventFailure(const PlatformState& state) noexcept;

}  // namespace plat::win32

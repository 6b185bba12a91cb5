// The desktop layer's facade: everything the notes program and the launcher need of
// the desktop is reached through the Platform here: its services, its forms and its
// message boxes. Backends: win32, qt and headless (no display; the default for
// tests). No backend header leaks out.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/services/form.h"
#include "platform/services/geometry.h"

namespace plat {

// The services, each in its own header under platform/services/: a file includes the
// ones it uses.
class AnsiText;
class Background;
class Clipboard;
class Files;
class FolderWatcher;
class FormList;
class Help;
class Printer;
class ProgramInfo;
class Registry;
class Screen;
class Settings;
class Shell;
class Timers;

// Where a window goes in the z-order when placed with setWindowPos.
enum class ZOrder { TopMost, NoTopMost };

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    std::wstring text;
    std::wstring caption;  // empty: the application title
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 1;  // 1-based
    NativeHandle owner = 0;
};

// Events of the hidden application window.
class AppWindowEvents {
public:
    virtual ~AppWindowEvents() = default;
    // Another program asks the program to close (the launcher's Close), whatever the
    // request carries.
    virtual void onAppCloseRequest() = 0;
    // The user's session is ending; return false to ask the system not to end it.
    virtual bool onQueryEndSession() = 0;
    // The session ends now (after every program agreed); the process ends after this.
    virtual void onEndSession() = 0;
};

// A backend's services, handed to the facade once.
struct Services {
    ProgramInfo* program = nullptr;
    Screen* screen = nullptr;
    Settings* settings = nullptr;
    AnsiText* ansiText = nullptr;
    Files* files = nullptr;
    Clipboard* clipboard = nullptr;
    Registry* registry = nullptr;
    Help* help = nullptr;
    Printer* printer = nullptr;
    Shell* shell = nullptr;
    Timers* timers = nullptr;
    Background* background = nullptr;
    FolderWatcher* folderWatcher = nullptr;
};

// The desktop: its services, its forms and message boxes. One instance per program run.
class Platform {
public:
    virtual ~Platform();

    // --- Services ---
    // Each lives as long as the platform. Asking for one from a const platform still
    // gives it whole, as the services are the desktop's, not the platform object's.
    ProgramInfo& program() const { return *m_services.program; }
    Screen& screen() const { return *m_services.screen; }
    Settings& settings() const { return *m_services.settings; }
    AnsiText& ansiText() const { return *m_services.ansiText; }
    Files& files() const { return *m_services.files; }
    Clipboard& clipboard() const { return *m_services.clipboard; }
    Registry& registry() const { return *m_services.registry; }
    Help& help() const { return *m_services.help; }
    Printer& printer() const { return *m_services.printer; }
    Shell& shell() const { return *m_services.shell; }
    Timers& timers() const { return *m_services.timers; }
    Background& background() const { return *m_services.background; }
    FolderWatcher& folderWatcher() const { return *m_services.folderWatcher; }

    // --- Application ---
    // Creates the hidden top-level application window titled `title`; its
    // close request and end-of-session messages go to `events`.
    virtual void createAppWindow(std::wstring_view title, AppWindowEvents& events) = 0;

    // --- Forms ---
    // Creates a form from its design; nothing is shown until Form::show().
    virtual std::unique_ptr<Form> createForm(const FormDesign& design, FormEvents& events) = 0;
    // Number of loaded forms, and unloading one by its position in load order.
    int openFormCount() const;
    void unloadForm(int index);
    // Places a window in the z-order and moves it to x, y, cx, cy pixels (flags 0:
    // also activates it). The result is not reported.
    virtual void setWindowPos(Form& form, ZOrder z, int x, int y, int cx, int cy);
    bool isTopMost(const Form& form) const;
    // Runs the event loop until no form is loaded; returns the exit code.
    virtual int run() = 0;

    // --- Message boxes ---
    // Shows a modal message box and returns the button pressed.
    MsgAnswer messageBox(const MessageBoxRequest& request);
    // The two kinds of box the programs show: a message with an OK button, and a
    // Yes/No question (true for Yes) whose Enter key gives `enterGives`. An empty
    // caption is the application title; an owner of 0 is the active window.
    void inform(std::wstring text, std::wstring caption, MsgIcon icon, NativeHandle owner = 0);
    bool confirm(std::wstring text, std::wstring caption, MsgIcon icon, MsgAnswer enterGives, NativeHandle owner);
    // True while a message box of this program is open (its own message loop runs).
    bool messageBoxOpen() const { return m_openBoxes > 0; }

    // --- Failures of event handlers ---
    // A backend never lets an exception unwind through the desktop's code: it catches
    // one that escapes an event handler and calls this. The user is told in one message
    // what could not be done (the running Command's description) and why; the windows
    // stay as they were. Never throws.
    void reportFailure(std::exception_ptr error) noexcept;
    // Caption of that message (the program's title).
    void setFailureCaption(std::wstring caption) { m_failureCaption = std::move(caption); }

    // --- Waiting ---
    // Waits, handling the program's pending events meanwhile.
    virtual void wait(int milliseconds) = 0;
    // Waits without handling any event: the caller's state cannot change meanwhile.
    virtual void pause(int milliseconds);

protected:
    // A backend hands over its services (an object with a member for each, named as
    // in Services) and the list its forms join, once, when it is made; the list
    // learns where failing event handlers are reported.
    template <class ServiceObjects>
    void attach(ServiceObjects& s, std::shared_ptr<FormList> forms) {
        attach(Services{&s.program, &s.screen, &s.settings, &s.ansiText, &s.files, &s.clipboard, &s.registry, &s.help,
                        &s.printer, &s.shell, &s.timers, &s.background, &s.folderWatcher},
               std::move(forms));
    }
    void attach(const Services& services, std::shared_ptr<FormList> forms);
    // The backend's message box, behind messageBox.
    virtual MsgAnswer showMessageBox(const MessageBoxRequest& request) = 0;

private:
    friend class Command;
    Services m_services;
    std::shared_ptr<FormList> m_forms;
    int m_openBoxes = 0;
    std::wstring m_failureCaption;
    std::wstring m_command;  // what the running command does, for reportFailure
};

// Names what a command does ("The pages could not be saved") for the length of the
// command, so that a failure message can say what could not be done. When the command
// ends by an exception the name stays for reportFailure, which clears it.
class Command {
public:
    Command(Platform& platform, std::wstring_view couldNot);
    ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

private:
    Platform& m_platform;
    std::wstring m_outer;
    int m_exceptions;
};

}  // namespace plat

// Each program defines its start-up routine and its title; the backend's entry point
// calls them (the title first, for a desktop that files settings under it).
int ProgramMain(plat::Platform& platform);
std::wstring_view ProgramTitle();

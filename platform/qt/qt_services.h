// Internal to the Qt backend: one class per desktop service.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/posix/posix_services.h"
#include "platform/qt/qt_platform.h"
#include "platform/services/ansi_text.h"
#include "platform/services/background.h"
#include "platform/services/clipboard.h"
#include "platform/services/files.h"
#include "platform/services/folder_watch.h"
#include "platform/services/help.h"
#include "platform/services/printer.h"
#include "platform/services/program_info.h"
#include "platform/services/registry.h"
#include "platform/services/screen.h"
#include "platform/services/settings.h"
#include "platform/services/shell.h"
#include "platform/services/timers.h"

class QPrinter;
class QTimer;

namespace plat::qt {

class TrayIcons;

class QtProgramInfo final : public ProgramInfo {  // qt_services.cpp
public:
    std::wstring folder() const override;
    std::wstring_view pathSeparator() const override;
    // $XDG_DATA_HOME/quibbets, by default ~/.local/share/quibbets.
    std::wstring dataFolder() const override;
    std::uint32_t processId() const override;
    void version(int& major, int& minor, int& revision) const override;
};

// QTimers on the program's event loop, one per running timer.
class QtTimers final : public Timers {  // qt_timers.cpp
public:
    explicit QtTimers(PlatformState* state) : m_state(state) {}
    ~QtTimers() override;
    QtTimers(const QtTimers&) = delete;
    QtTimers& operator=(const QtTimers&) = delete;
    int startTimer(int milliseconds, std::function<void()> due) override;
    void stopTimer(int timer) override;
    std::int64_t nowMilliseconds() const override;

private:
    PlatformState* m_state;
    std::map<int, QTimer*> m_timers;
    int m_next = 1;
};

// A QFileSystemWatcher for each watch, on the program's event loop.
class QtFolderWatcher final : public FolderWatcher {  // qt_folder_watch.cpp
public:
    explicit QtFolderWatcher(PlatformState* state) : m_state(state) {}
    std::unique_ptr<FolderWatch> watch(std::wstring_view folder, std::function<void()> changed) override;

private:
    PlatformState* m_state;
};

class QtScreen final : public Screen {  // qt_services.cpp
public:
    // Sets the state's twips per pixel from the primary screen.
    explicit QtScreen(PlatformState* state);
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
    Rect workAreaNearest(const Rect& r) const override;

private:
    PlatformState* m_state;
};

class QtSettings final : public Settings {  // qt_settings.cpp
public:
    std::wstring get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                     std::wstring_view fallback) const override;
    FileStatus saveAll(std::wstring_view app, std::wstring_view section, const SettingValues& values) override;
};

class QtClipboard final : public Clipboard {  // qt_clipboard.cpp
public:
    FileStatus setText(std::wstring_view text) override;
    FileStatus getText(std::wstring& text) override;
};

// The program's CR LF line ends and the desktop's LF ones; a lone CR or LF counts as
// a line end either way.
std::wstring toProgramLineEnds(std::wstring_view text);  // qt_clipboard.cpp

// There is no machine-wide registry: every key is absent.
class QtRegistry final : public Registry {  // qt_services.cpp
public:
    RegOpenResult openMachineKey(std::string_view path, RegKey& key) override;
    RegReadResult readValue(RegKey key, std::string_view name, RegValueKind& kind, std::uint8_t* data,
                            std::uint32_t& size) override;
    void closeKey(RegKey key) override;
};

// There is no help engine: the program has no help file.
class QtHelp final : public Help {  // qt_services.cpp
public:
    std::wstring file() const override;
    FileStatus show(NativeHandle owner, std::wstring_view helpFile, HelpCommand command) override;
};

class QtPrinter final : public Printer {  // qt_printer.cpp
public:
    std::unique_ptr<PrintJob> startJob(std::wstring_view documentName, std::wstring& error) override;
};

// A job on `printer` as set up by the caller (a test prints to a file); null with
// `error` set when the printer cannot be opened.
std::unique_ptr<PrintJob> startPrintJob(std::unique_ptr<QPrinter> printer, std::wstring& error);  // qt_printer.cpp

class QtShell final : public Shell {  // qt_shell.cpp, qt_tray.cpp
public:
    explicit QtShell(PlatformState* state);
    ~QtShell() override;
    bool notifyIcon(NotifyOp op, const NotifyRecord& record) override;
    FileStatus startProgram(std::wstring_view path) override;
    NativeHandle findWindow(std::wstring_view windowClass, std::wstring_view title) const override;
    bool requestClose(NativeHandle window) override;
    std::wstring findSystemInfoTool() const override;
    bool isProcessRunning(std::uint32_t processId) const override;

private:
    std::unique_ptr<TrayIcons> m_tray;
};

struct QtPlatform::ServiceSet {
    explicit ServiceSet(PlatformState* state) : screen(state), shell(state), timers(state), folderWatcher(state) {}
    QtProgramInfo program;
    QtScreen screen;
    QtSettings settings;
    posix::Cp1252Text ansiText;
    posix::PosixFiles files;
    QtClipboard clipboard;
    QtRegistry registry;
    QtHelp help;
    QtPrinter printer;
    QtShell shell;
    QtTimers timers;
    posix::ThreadBackground background;
    QtFolderWatcher folderWatcher;
};

}  // namespace plat::qt

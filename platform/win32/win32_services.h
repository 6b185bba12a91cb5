// Internal to the Win32 backend: one class per desktop service. The services that
// need the backend's shared state (screen scale, the windows of this program) keep
// a pointer to it; the platform object owns them all and outlives them.
#pragma once

#include <atomic>
#include <map>

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
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace plat::win32 {

class Win32ProgramInfo final : public ProgramInfo {  // win32_platform.cpp
public:
    std::wstring folder() const override;
    std::wstring_view pathSeparator() const override;
    std::uint32_t processId() const override;
    void version(int& major, int& minor, int& revision) const override;
};

// Timers of a message-only window: its WM_TIMER reaches it through every message
// loop of the thread, a message box's included.
class Win32Timers final : public Timers, private Win32Window {  // win32_timers.cpp
public:
    explicit Win32Timers(const PlatformState* state) : Win32Window(*state) {}
    ~Win32Timers() override;
    int startTimer(int milliseconds, std::function<void()> due) override;
    void stopTimer(int timer) override;
    std::int64_t nowMilliseconds() const override;

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::map<UINT_PTR, std::function<void()>> m_timers;
    UINT_PTR m_next = 1;
};

// A thread for each task (CreateThread: the program's thread model has no std::thread).
class Win32Background final : public Background {  // win32_timers.cpp
public:
    std::unique_ptr<BackgroundTask> start(std::function<void()> work) override;
};

// Each watch has a thread that waits for the folder's changes and a message-only
// window that they are posted to, whose messages every message loop of the window's
// thread handles.
class Win32FolderWatcher final : public FolderWatcher {  // win32_folder_watch.cpp
public:
    explicit Win32FolderWatcher(const PlatformState* state) : m_state(state) {}
    std::unique_ptr<FolderWatch> watch(std::wstring_view folder, std::function<void()> changed) override;

private:
    const PlatformState* m_state;
};

class Win32Screen final : public Screen {  // win32_platform.cpp
public:
    explicit Win32Screen(PlatformState* state) : m_state(state) {}
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
    Rect workAreaNearest(const Rect& r) const override;

private:
    PlatformState* m_state;
};

class Win32Settings final : public Settings {  // win32_settings.cpp
public:
    std::wstring get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                     std::wstring_view fallback) const override;
    FileStatus saveAll(std::wstring_view app, std::wstring_view section, const SettingValues& values) override;
};

class Win32AnsiText final : public AnsiText {  // win32_text.cpp
public:
    bool toAnsi(std::wstring_view text, std::string& out) const override;
    std::wstring fromAnsi(std::string_view bytes) const override;
};

// Files through the wide Win32 calls. A save is a flushed temporary file moved over
// the old one with MOVEFILE_WRITE_THROUGH; a lock is LockFileEx on the lock file.
class Win32Files final : public Files {  // win32_files.cpp
public:
    bool isOrdinaryFile(std::wstring_view path) const override;
    bool exists(std::wstring_view path) const override;
    FileStatus readFile(std::wstring_view path, std::string& bytes) const override;
    using Files::writeFileAtomic;
    FileStatus writeFileAtomic(std::wstring_view path, std::string_view bytes, FileIdentity* written) override;
    FileStatus removeFile(std::wstring_view path) override;
    std::optional<FileIdentity> identify(std::wstring_view path) const override;
    std::unique_ptr<FileLock> tryLock(std::wstring_view path) override;
    FileStatus makeFolder(std::wstring_view folder) override;
    std::vector<FileEntry> listFiles(std::wstring_view folder) const override;

private:
    std::atomic<unsigned> m_tempCounter = 0;  // background writes count too
};

class Win32Clipboard final : public Clipboard {  // win32_clipboard.cpp
public:
    explicit Win32Clipboard(PlatformState* state) : m_state(state) {}
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;
    FileStatus setText(std::wstring_view text) override;
    FileStatus getText(std::wstring& text) override;

private:
    // A window of this process for OpenClipboard.
    HWND clipboardWindow();

    PlatformState* m_state;
    HWND m_helperWindow = nullptr;  // message-only, made when no other window exists
};

// HKEY_LOCAL_MACHINE, read only.
class Win32Registry final : public Registry {  // win32_registry.cpp
public:
    RegOpenResult openMachineKey(std::string_view path, RegKey& key) override;
    RegReadResult readValue(RegKey key, std::string_view name, RegValueKind& kind, std::uint8_t* data,
                            std::uint32_t& size) override;
    void closeKey(RegKey key) override;
};

// WinHelp, where user32 still has it.
class Win32Help final : public Help {  // win32_help.cpp
public:
    std::wstring file() const override;
    FileStatus show(NativeHandle owner, std::wstring_view helpFile, HelpCommand command) override;
};

// The default printer through GDI; the spooler is loaded on the first job.
class Win32Printer final : public Printer {  // win32_printer.cpp
public:
    std::unique_ptr<PrintJob> startJob(std::wstring_view documentName, std::wstring& error) override;
};

class Win32Shell final : public Shell {  // win32_shell.cpp
public:
    bool notifyIcon(NotifyOp op, const NotifyRecord& record) override;
    FileStatus startProgram(std::wstring_view path) override;
    NativeHandle findWindow(std::wstring_view windowClass, std::wstring_view title) const override;
    bool requestClose(NativeHandle window) override;
    bool isProcessRunning(std::uint32_t processId) const override;
};

struct Win32Platform::ServiceSet {
    explicit ServiceSet(PlatformState* state) : screen(state), clipboard(state), timers(state), folderWatcher(state) {}
    Win32ProgramInfo program;
    Win32Screen screen;
    Win32Settings settings;
    Win32AnsiText ansiText;
    Win32Files files;
    Win32Clipboard clipboard;
    Win32Registry registry;
    Win32Help help;
    Win32Printer printer;
    Win32Shell shell;
    Win32Timers timers;
    Win32Background background;
    Win32FolderWatcher folderWatcher;
};

}  // namespace plat::win32

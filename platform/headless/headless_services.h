// Internal to the headless backend: one class per desktop service, each working on
// the backend's shared state. The test side of each service is on HeadlessPlatform.
#pragma once

#include "platform/headless/headless_state.h"
#include "platform/posix/posix_services.h"
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

namespace plat::headless {

using State = HeadlessPlatform::State;

class HeadlessProgramInfo final : public ProgramInfo {  // headless_platform.cpp
public:
    explicit HeadlessProgramInfo(State* state) : m_state(state) {}
    std::wstring folder() const override;
    std::wstring dataFolder() const override;
    std::wstring_view pathSeparator() const override;
    std::uint32_t processId() const override;
    void version(int& major, int& minor, int& revision) const override;

private:
    State* m_state;
};

class HeadlessTimers final : public Timers {  // headless_timers.cpp
public:
    explicit HeadlessTimers(State* state) : m_state(state) {}
    int startTimer(int milliseconds, std::function<void()> due) override;
    void stopTimer(int timer) override;
    std::int64_t nowMilliseconds() const override;

private:
    State* m_state;
};

// Work runs at once, inside start: tests see its effects without waiting.
class HeadlessBackground final : public Background {  // headless_timers.cpp
public:
    explicit HeadlessBackground(State* state) : m_state(state) {}
    std::unique_ptr<BackgroundTask> start(std::function<void()> work) override;

private:
    State* m_state;
};

// Watches that the test side's changeFolder calls; nothing watches the disk itself.
class HeadlessFolderWatcher final : public FolderWatcher {  // headless_folder_watch.cpp
public:
    explicit HeadlessFolderWatcher(State* state) : m_state(state) {}
    std::unique_ptr<FolderWatch> watch(std::wstring_view folder, std::function<void()> changed) override;

private:
    State* m_state;
};

class HeadlessScreen final : public Screen {  // headless_platform.cpp
public:
    explicit HeadlessScreen(State* state) : m_state(state) {}
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
    Rect workAreaNearest(const Rect& r) const override;

private:
    State* m_state;
};

class HeadlessSettings final : public Settings {  // headless_platform.cpp
public:
    explicit HeadlessSettings(State* state) : m_state(state) {}
    std::wstring get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                     std::wstring_view fallback) const override;
    FileStatus saveAll(std::wstring_view app, std::wstring_view section, const SettingValues& values) override;

private:
    State* m_state;
};

class HeadlessFiles final : public posix::PosixFiles {  // headless_files.cpp
public:
    explicit HeadlessFiles(State* state) : m_state(state) {}
    FileStatus readFile(std::wstring_view path, std::string& bytes) const override;
    using Files::writeFileAtomic;
    FileStatus writeFileAtomic(std::wstring_view path, std::string_view bytes, FileIdentity* written) override;

protected:
    int flushFolder(const std::string& folder) const override;
    bool hidden(std::wstring_view path) const override;

private:
    State* m_state;
};

class HeadlessClipboard final : public Clipboard {  // headless_services.cpp
public:
    explicit HeadlessClipboard(State* state) : m_state(state) {}
    FileStatus setText(std::wstring_view text) override;
    FileStatus getText(std::wstring& text) override;

private:
    State* m_state;
};

class HeadlessRegistry final : public Registry {  // headless_services.cpp
public:
    explicit HeadlessRegistry(State* state) : m_state(state) {}
    RegOpenResult openMachineKey(std::string_view path, RegKey& key) override;
    RegReadResult readValue(RegKey key, std::string_view name, RegValueKind& kind, std::uint8_t* data,
                            std::uint32_t& size) override;
    void closeKey(RegKey key) override;

private:
    State* m_state;
};

class HeadlessHelp final : public Help {  // headless_services.cpp
public:
    explicit HeadlessHelp(State* state) : m_state(state) {}
    std::wstring file() const override;
    FileStatus show(NativeHandle owner, std::wstring_view helpFile, HelpCommand command) override;

private:
    State* m_state;
};

class HeadlessPrinter final : public Printer {  // headless_printer.cpp
public:
    explicit HeadlessPrinter(State* state) : m_state(state) {}
    std::unique_ptr<PrintJob> startJob(std::wstring_view documentName, std::wstring& error) override;

private:
    State* m_state;
};

class HeadlessShell final : public Shell {  // headless_shell.cpp
public:
    explicit HeadlessShell(State* state) : m_state(state) {}
    bool notifyIcon(NotifyOp op, const NotifyRecord& record) override;
    FileStatus startProgram(std::wstring_view path) override;
    NativeHandle findWindow(std::wstring_view windowClass, std::wstring_view title) const override;
    bool requestClose(NativeHandle window) override;
    std::wstring findSystemInfoTool() const override;
    bool isProcessRunning(std::uint32_t processId) const override;

private:
    State* m_state;
};

struct HeadlessPlatform::ServiceSet {
    explicit ServiceSet(State* state)
        : program(state),
          screen(state),
          settings(state),
          files(state),
          clipboard(state),
          registry(state),
          help(state),
          printer(state),
          shell(state),
          timers(state),
          background(state),
          folderWatcher(state) {}
    HeadlessProgramInfo program;
    HeadlessScreen screen;
    HeadlessSettings settings;
    posix::Cp1252Text ansiText;
    HeadlessFiles files;
    HeadlessClipboard clipboard;
    HeadlessRegistry registry;
    HeadlessHelp help;
    HeadlessPrinter printer;
    HeadlessShell shell;
    HeadlessTimers timers;
    HeadlessBackground background;
    HeadlessFolderWatcher folderWatcher;
};

}  // namespace plat::headless

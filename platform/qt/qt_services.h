// Internal to the Qt backend: one class per desktop service.
#pragma once

#include "platform/posix/posix_services.h"
#include "platform/qt/qt_platform.h"

namespace plat::qt {

class QtProgramInfo final : public ProgramInfo {  // qt_services.cpp
public:
    std::wstring folder() const override;
    std::wstring_view pathSeparator() const override;
    // $XDG_DATA_HOME/quibbets, by default ~/.local/share/quibbets.
    std::wstring dataFolder() const override;
    void version(int& major, int& minor, int& revision) const override;
};

class QtScreen final : public Screen {  // qt_services.cpp
public:
    explicit QtScreen(PlatformState* state) : m_state(state) {}
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
    Rect workAreaNearest(const Rect& r) const override;

private:
    PlatformState* m_state;
};

class QtSettings final : public Settings {  // qt_services.cpp
public:
    std::wstring get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                     std::wstring_view fallback) const override;
    FileStatus save(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                    std::wstring_view value) override;
};

class QtClipboard final : public Clipboard {  // qt_services.cpp
public:
    FileStatus setText(std::wstring_view text) override;
    FileStatus getText(std::wstring& text) override;
};

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

class QtShell final : public Shell {  // qt_shell.cpp
public:
    explicit QtShell(PlatformState* state) : m_state(state) {}
    ~QtShell() override;
    bool notifyIcon(NotifyOp op, const NotifyRecord& record) override;
    FileStatus startProgram(std::wstring_view path) override;
    NativeHandle findWindow(std::wstring_view windowClass, std::wstring_view title) const override;
    bool requestClose(NativeHandle window) override;
    std::wstring findSystemInfoTool() const override;
    bool isProcessRunning(std::uint32_t processId) const override;

private:
    PlatformState* m_state;
};

struct QtPlatform::ServiceSet {
    explicit ServiceSet(PlatformState* state) : screen(state), shell(state) {}
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
};

}  // namespace plat::qt

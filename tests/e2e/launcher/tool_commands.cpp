// The commands of launcher_e2e_tool.exe. Output is UTF-8, one item a line, fields
// separated by blanks; texts that may hold line breaks print them as \r and \n.
#include "tests/e2e/launcher/tool_commands.h"

#include <cstdio>
#include <cwctype>
#include <functional>
#include <map>

#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program_process.h"
#include "tests/e2e/driver/settings_registry.h"
#include "tests/e2e/driver/win_util.h"
#include "tests/e2e/launcher/process_view.h"
#include "tests/e2e/launcher/tray_view.h"
#include "tests/e2e/launcher/window_view.h"

namespace launcher_e2e {
namespace {

using Args = std::vector<std::wstring>;
using e2e::Millis;

// Control id of page 1's editor in the notes window; page n has this + n - 1.
constexpr int kFirstEditorId = 1000;
constexpr Millis kPollStep{50};

void printLine(const std::wstring& line) {
    std::printf("%s\n", e2e::toUtf8(line).c_str());
}

std::wstring escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\n') {
            out += L"\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

DWORD number(const std::wstring& text) {
    return static_cast<DWORD>(std::stoul(text));
}

std::wstring rectText(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) + L" " +
           std::to_wstring(r.bottom);
}

std::wstring hex(HWND window) {
    wchar_t buffer[32] = {};
    std::swprintf(buffer, 32, L"%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return buffer;
}

// Polls `condition` until it holds or `milliseconds` pass, then prints `report()`.
int waitAndReport(const std::function<bool()>& condition, const std::wstring& milliseconds,
                  const std::function<void()>& report) {
    const bool met = e2e::waitUntil(condition, Millis{number(milliseconds)}, kPollStep);
    report();
    return met ? kDone : kNotMet;
}

int icons(const Args&) {
    for (const RECT& r : trayIcons()) {
        printLine(rectText(r));
    }
    return kDone;
}

int waitIcons(const Args& a) {
    std::vector<RECT> found;
    return waitAndReport([&] { return (found = trayIcons()).size() == number(a.at(0)); }, a.at(1),
                         [&] {
                             for (const RECT& r : found) {
                                 printLine(rectText(r));
                             }
                         });
}

std::vector<ProcessEntry> processesNamed(const std::wstring& folder, const std::wstring& name) {
    std::vector<ProcessEntry> found;
    for (const ProcessEntry& entry : processesIn(e2e::windowsPath(folder))) {
        if (name.empty() || lowered(entry.name) == lowered(name)) {
            found.push_back(entry);
        }
    }
    return found;
}

void printProcesses(const std::vector<ProcessEntry>& entries) {
    for (const ProcessEntry& entry : entries) {
        printLine(std::to_wstring(entry.id) + L" " + entry.name);
    }
}

int procs(const Args& a) {
    printProcesses(processesNamed(a.at(0), a.size() > 1 ? a[1] : L""));
    return kDone;
}

int waitProcs(const Args& a) {
    std::vector<ProcessEntry> found;
    return waitAndReport([&] { return (found = processesNamed(a.at(0), a.at(1))).size() == number(a.at(2)); }, a.at(3),
                         [&] { printProcesses(found); });
}

int killAll(const Args& a) {
    return endProcessesIn(e2e::windowsPath(a.at(0))) ? kDone : kNotMet;
}

void printWindow(HWND window, const wchar_t* kind) {
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    printLine(std::wstring(kind) + L" class=" + e2e::windowClass(window) + L" visible=" +
              (IsWindowVisible(window) ? L"1" : L"0") + L" appwindow=" + ((exStyle & WS_EX_APPWINDOW) ? L"1" : L"0") +
              L" toolwindow=" + ((exStyle & WS_EX_TOOLWINDOW) ? L"1" : L"0") + L" owner=" +
              hex(GetWindow(window, GW_OWNER)) + L" title=" + escaped(e2e::windowText(window)));
}

int windows(const Args& a) {
    for (HWND window : topLevelWindowsOf(number(a.at(0)))) {
        printWindow(window, L"top");
        for (HWND child : e2e::descendants(window)) {
            printWindow(child, L"child");
        }
    }
    return kDone;
}

void printTitled(const std::vector<HWND>& found) {
    for (HWND window : found) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        printLine(hex(window) + L" " + std::to_wstring(owner));
    }
}

int titled(const Args& a) {
    printTitled(windowsTitled(a.at(0)));
    return kDone;
}

int waitTitled(const Args& a) {
    std::vector<HWND> found;
    return waitAndReport([&] { return (found = windowsTitled(a.at(0))).size() == number(a.at(1)); }, a.at(2),
                         [&] { printTitled(found); });
}

int menu(const Args& a) {
    HWND found = nullptr;
    return waitAndReport([&] { return (found = popupMenuOf(number(a.at(0)))) != nullptr; }, a.at(1),
                         [&] {
                             if (!found) {
                                 return;
                             }
                             DWORD owner = 0;
                             GetWindowThreadProcessId(found, &owner);
                             RECT r{};
                             GetWindowRect(found, &r);
                             printLine(std::to_wstring(owner) + L" " + rectText(r));
                         });
}

int waitNoMenu(const Args& a) {
    return waitAndReport([&] { return popupMenuOf(number(a.at(0))) == nullptr; }, a.at(1), [] {});
}

// Wine makes the box visible before its controls are all there: wait for a button.
int messageBox(const Args& a) {
    e2e::MessageBoxView view;
    const auto ready = [&] {
        HWND box = messageBoxOf(number(a.at(0)));
        return box && !(view = e2e::readMessageBox(box)).buttons.empty();
    };
    return waitAndReport(ready, a.at(1), [&] {
        if (view.buttons.empty()) {
            return;
        }
        std::wstring buttons;
        for (const std::wstring& caption : view.buttonCaptions()) {
            buttons += (buttons.empty() ? L"" : L",") + caption;
        }
        printLine(L"caption=" + escaped(view.caption));
        printLine(L"text=" + escaped(view.text));
        printLine(L"buttons=" + buttons);
        printLine(std::wstring(L"icon=") + (messageBoxHasIcon(view.window) ? L"1" : L"0"));
    });
}

int waitNoMessageBox(const Args& a) {
    return waitAndReport([&] { return messageBoxOf(number(a.at(0))) == nullptr; }, a.at(1), [] {});
}

int press(const Args& a) {
    HWND box = messageBoxOf(number(a.at(0)));
    if (!box) {
        e2e::fail("the process shows no message box");
    }
    e2e::readMessageBox(box).press(a.at(1));
    return kDone;
}

int type(const Args& a) {
    for (HWND window : windowsTitled(a.at(0))) {
        if (IsWindowVisible(window)) {
            return typeInto(window, kFirstEditorId + static_cast<int>(number(a.at(1))) - 1, a.at(2)) ? kDone : kNotMet;
        }
    }
    e2e::fail("no visible window titled " + e2e::toUtf8(a.at(0)));
}

int taskbarCreated(const Args&) {
    return broadcastTaskbarCreated() ? kDone : kNotMet;
}

// The launcher's icon belongs to a child window of its hidden form; the shell only
// deletes the icon whose window and id match, so trying every child is harmless.
int dropIconOf(const Args& a) {
    constexpr UINT kLauncherIconId = 1;
    int dropped = 0;
    for (HWND window : topLevelWindowsOf(number(a.at(0)))) {
        for (HWND child : e2e::descendants(window)) {
            dropped += dropIcon(child, kLauncherIconId) ? 1 : 0;
        }
    }
    printLine(std::to_wstring(dropped));
    return dropped > 0 ? kDone : kNotMet;
}

int clearSettings(const Args&) {
    e2e::clearSettings();
    return kDone;
}

int settingsEmpty(const Args&) {
    return e2e::settingsEmpty() ? kDone : kNotMet;
}

struct Command {
    size_t minArgs;
    int (*run)(const Args&);
};

const std::map<std::wstring, Command>& commands() {
    static const std::map<std::wstring, Command> table = {
        {L"icons", {0, icons}},
        {L"wait-icons", {2, waitIcons}},
        {L"procs", {1, procs}},
        {L"wait-procs", {4, waitProcs}},
        {L"kill", {1, killAll}},
        {L"windows", {1, windows}},
        {L"titled", {1, titled}},
        {L"wait-titled", {3, waitTitled}},
        {L"menu", {2, menu}},
        {L"wait-no-menu", {2, waitNoMenu}},
        {L"msgbox", {2, messageBox}},
        {L"wait-no-msgbox", {2, waitNoMessageBox}},
        {L"press", {2, press}},
        {L"type", {3, type}},
        {L"taskbar-created", {0, taskbarCreated}},
        {L"drop-icon", {1, dropIconOf}},
        {L"clear-settings", {0, clearSettings}},
        {L"settings-empty", {0, settingsEmpty}},
    };
    return table;
}

}  // namespace

int runCommand(const std::wstring& name, const std::vector<std::wstring>& args) {
    const auto found = commands().find(name);
    if (found == commands().end() || args.size() < found->second.minArgs) {
        return kUsage;
    }
    return found->second.run(args);
}

}  // namespace launcher_e2e

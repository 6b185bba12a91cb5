// Internal to the headless backend: the state shared by the platform, its forms
// and its print jobs.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"

namespace plat::headless {

// Forms and print jobs may outlive the platform: they reach the state through
// this link, which the state clears when it is destroyed.
struct StateLink {
    HeadlessPlatform::State* state = nullptr;
};

// The screen of the headless desktop: 1280 x 1024 pixels less a 40-pixel taskbar.
inline constexpr Rect kDefaultWorkArea{0, 0, 19200, 14760};
inline constexpr float kTwipsPerPixel = 15;

// The work area with the largest intersection with `r`; when none intersects, the
// one nearest to r's centre. The default area when the list is empty.
Rect nearestWorkArea(const std::vector<Rect>& areas, const Rect& r);

struct HeadlessPlatform::State {
    State();
    ~State();
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    std::shared_ptr<StateLink> link;
    Platform* platform = nullptr;
    std::wstring appFolder;
    std::wstring dataFolder;      // empty: the program's folder
    std::wstring systemInfoTool;  // what findSystemInfoTool finds

    // Application window.
    bool appWindowExists = false;
    std::wstring appWindowTitle;
    AppWindowEvents* appEvents = nullptr;

    // Forms: the loaded ones, in load order.
    std::shared_ptr<FormList> forms = std::make_shared<FormList>();
    std::optional<WindowPosCall> lastWindowPos;

    // Screen.
    std::vector<Rect> workAreas{kDefaultWorkArea};

    // Message boxes.
    struct QueuedAnswer {
        MsgAnswer answer = MsgAnswer::Ok;
        std::function<void()> whileOpen;
    };
    std::deque<QueuedAnswer> answers;
    std::function<void(const std::string&)> unusedScript;
    std::vector<MessageBoxRequest> boxes;
    std::function<void(const MessageBoxRequest&)> unexpectedBox;

    // Settings.
    std::map<std::wstring, std::wstring> settings;
    bool failSettingWrites = false;
    int settingWrites = 0;  // saveAll calls, failed ones too

    // Files.
    std::map<std::wstring, std::wstring> writeFaults;    // file name ("" = all) -> error
    std::map<std::wstring, std::wstring> readFaults;     // file name ("" = all) -> error
    std::set<std::wstring, std::less<>> throwingWrites;  // file names ("" = all)
    std::map<std::wstring, int, std::less<>> writeCounts;
    std::set<std::wstring, std::less<>> hidden;
    bool failFolderFlushes = false;
    unsigned long tempCounter = 0;

    // Notification area: the icons in it, as (callback window, identifier).
    std::vector<HeadlessPlatform::NotifyCall> notifyCalls;
    std::set<std::pair<NativeHandle, std::uint32_t>> icons;
    int failingAdds = 0;

    // Programs and other windows.
    std::vector<std::wstring> startedPrograms;
    std::wstring programStartError;
    struct OtherWindow {
        std::wstring title;
        std::wstring windowClass;
    };
    std::map<NativeHandle, OtherWindow> windows;
    NativeHandle nextWindow = 0x7000;
    std::vector<NativeHandle> closeRequests;
    std::function<void(NativeHandle)> onCloseRequest;
    int waitedMilliseconds = 0;

    // Timers, on a clock that moves only when the test (or a wait) moves it.
    struct Timer {
        std::int64_t due = 0;
        std::function<void()> callback;
    };
    std::int64_t clock = 0;
    std::map<int, Timer> timers;
    int nextTimer = 1;
    int backgroundTasks = 0;

    // Folder watches, by number: the folder (without a trailing '/') and its call.
    struct FolderWatchEntry {
        std::wstring folder;
        std::function<void()> changed;
    };
    std::map<int, FolderWatchEntry> folderWatches;
    int nextFolderWatch = 1;

    // Modal forms.
    std::deque<std::function<void(HeadlessForm&)>> modalActions;
    std::function<void(HeadlessForm&)> unexpectedModal;

    // Clipboard.
    std::optional<std::wstring> clipboard;
    int clipboardHeld = 0;  // opens still to fail; -1: all
    int clipboardOpens = 0;

    // Registry: machine keys by lower-case path, values by lower-case name.
    struct RegValue {
        RegValueKind kind = RegValueKind::Other;
        std::string data;
    };
    struct RegKeyData {
        bool denied = false;
        std::map<std::string, RegValue> values;
    };
    std::map<std::string, RegKeyData> registry;
    std::map<RegKey, std::string> openKeys;
    RegKey nextKey = 0x9000;
    std::vector<std::string> registryOpens;

    // Help engine.
    std::wstring helpFile;
    std::vector<HeadlessPlatform::HelpCall> helpCalls;
    std::wstring helpError;

    // Pop-up menus.
    std::deque<int> popupChoices;
    std::function<void()> duringPopup;
    std::vector<int> popups;

    // Printer.
    bool printerAvailable = true;
    Rect paper{0, 0, 11520, 15840};
    float charWidth = 120;
    float lineHeight = 240;
    std::optional<std::pair<int, std::wstring>> printFault;  // for the next job
    std::vector<PrintedDocument> printed;
};

// Raises an event as a window procedure does: an exception that escapes the handler
// goes to the platform's failure report and no further.
template <class Event>
void raiseEvent(const StateLink& link, Event&& event) {
    try {
        event();
    } catch (...) {
        if (link.state != nullptr) {
            link.state->platform->reportFailure(std::current_exception());
        }
    }
}

}  // namespace plat::headless

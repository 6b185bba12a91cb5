// What the test driver and the probe agent (a DLL in the program under test)
// exchange. The driver installs the agent's exported hook procedure as a
// WH_GETMESSAGE hook of the program's UI thread; Wine loads the DLL into the
// program the first time the hook is called there. Each request is a named
// shared memory block plus a named event, and one posted thread message that
// carries the request number. The hook serves the request on the program's own
// thread, whenever that thread fetches its messages (its main loop or any modal
// loop: message boxes, dialogs, menus), turns the message into WM_NULL and sets
// the event. No request creates a thread in the program.
#pragma once

#include <cstdint>

namespace e2e::probe {

// Name of a request's block: kMappingPrefix + "<process id>.<request number>".
inline constexpr wchar_t kMappingPrefix[] = L"Local\\QuibbetsProbe.";
// Name of its completion event (manual reset, made by the driver):
// kDoneEventPrefix + "<process id>.<request number>".
inline constexpr wchar_t kDoneEventPrefix[] = L"Local\\QuibbetsProbeDone.";
// The registered message posted to the UI thread: wParam = request number,
// lParam = kRequestMagic.
inline constexpr wchar_t kRequestMessageName[] = L"QuibbetsProbeRequest";
inline constexpr std::uint32_t kRequestMagic = 0x51505242;  // "QPRB"
// The agent's WH_GETMESSAGE hook procedure.
inline constexpr char kHookExport[] = "probeGetMessageHook";

enum class Op : std::uint32_t {
    MenuDump = 1,      // menu bar of `window` -> MenuRecord list in the payload
    GetText = 2,       // text of `window` -> UTF-16 payload; TooSmall with `answer` = its length
    SetText = 3,       // UTF-16 payload -> WM_SETTEXT to `window`
    ReplaceSel = 4,    // UTF-16 payload -> EM_REPLACESEL to `window`
    StandardIcon = 5,  // icon of the static control `window` -> answer: its IDI_* number, 0 none, 1 another
    DpiChanged = 6,    // DpiChange payload -> WM_DPICHANGED to `window`, as the system sends it
    FontHeight = 7,    // -> answer: the height in pixels of the font `window` draws with (a font is the process's own)
};

// The payload of DpiChanged: the new DPI and the rectangle suggested for it.
struct DpiChange {
    std::uint32_t dpi;
    std::int32_t left, top, right, bottom;
};

enum class Status : std::uint32_t {
    Ok = 0,
    NoBlock = 1,  // the agent could not open the shared block
    BadRequest = 2,
    TooSmall = 3,  // the result did not fit in the block
    NoAnswer = 4,  // a window of another thread did not answer in time
    Failed = 5,
    Pending = 6,  // set by the driver; the agent has not answered
};

struct Header {
    Op op;
    Status status;
    std::uint64_t window;        // HWND
    std::uint64_t capacity;      // payload bytes available after the header
    std::uint64_t payloadBytes;  // bytes used, in (requests) and out (results)
    std::uint64_t answer;        // LRESULT of the message sent, where there is one
};

// One menu entry in a MenuDump, followed by captionChars UTF-16 units.
struct MenuRecord {
    std::int32_t depth;   // 0 = menu bar
    std::uint32_t id;     // item id, 0xFFFFFFFF for drop-downs
    std::uint32_t state;  // MFS_* bits
    std::uint32_t type;   // MFT_* bits
    std::uint32_t hasSubmenu;
    std::uint32_t captionChars;
};

// How long the agent waits for a window of another thread of the program (the
// windows the tests ask about are the UI thread's own, which it calls directly).
inline constexpr unsigned kSendTimeoutMs = 290000;

}  // namespace e2e::probe

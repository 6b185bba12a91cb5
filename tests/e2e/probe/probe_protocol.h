// What the test driver and the probe agent (a DLL loaded into the program under
// test) exchange through a named shared memory block, one block per request.
#pragma once

#include <cstdint>

namespace e2e::probe {

// Name of a request's block: kMappingPrefix + "<process id>.<request number>".
inline constexpr wchar_t kMappingPrefix[] = L"Local\\QuibbetsProbe.";
// The agent's entry point, started as a thread with the request number as argument.
inline constexpr char kServeExport[] = "probeServe";

enum class Op : std::uint32_t {
    MenuDump = 1,      // menu bar of `window` -> MenuRecord list in the payload
    GetText = 2,       // text of `window` -> UTF-16 payload
    SetText = 3,       // UTF-16 payload -> WM_SETTEXT to `window`
    ReplaceSel = 4,    // UTF-16 payload -> EM_REPLACESEL to `window`
    StandardIcon = 5,  // icon of the static control `window` -> answer: its IDI_* number, 0 none, 1 another
};

enum class Status : std::uint32_t {
    Ok = 0,
    NoBlock = 1,  // the agent could not open the shared block
    BadRequest = 2,
    TooSmall = 3,  // the result did not fit in the block
    NoAnswer = 4,  // the window did not answer in time
    Failed = 5,
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

// How long the agent waits for the program's window to handle one message. Wine's
// multi-line EDIT lays out text at a few seconds per MiB.
inline constexpr unsigned kSendTimeoutMs = 290000;

}  // namespace e2e::probe

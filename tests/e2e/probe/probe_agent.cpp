// The probe agent: a DLL that serves the test driver inside the program under
// test, so that the tests can see what only the owning process can see under
// Wine. Wine keeps menus in the owning process (GetMenuItemInfo on another
// process's menu fails) and does not carry large texts across processes with
// WM_SETTEXT or WM_GETTEXT. The agent does those few things in-process, on the
// program's UI thread, from a WH_GETMESSAGE hook (see probe_protocol.h): it never
// starts a thread, and it runs only when the program fetches its messages.
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "tests/e2e/probe/probe_protocol.h"

namespace {

using namespace e2e::probe;

class Block {
public:
    // Opens the request's block and event; a request the driver has given up
    // (its block is gone) leaves both closed.
    explicit Block(unsigned long long request) {
        wchar_t name[96];
        swprintf(name, 96, L"%ls%lu.%llu", kMappingPrefix, GetCurrentProcessId(), request);
        m_mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name);
        if (m_mapping) {
            m_view = MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
        }
        swprintf(name, 96, L"%ls%lu.%llu", kDoneEventPrefix, GetCurrentProcessId(), request);
        if (m_view) {
            m_done = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
        }
    }
    ~Block() {
        if (m_done) {
            CloseHandle(m_done);
        }
        if (m_view) {
            UnmapViewOfFile(m_view);
        }
        if (m_mapping) {
            CloseHandle(m_mapping);
        }
    }
    bool open() const { return m_view && m_done; }
    // Publishes the status and wakes the driver.
    void finish(Status status) {
        header()->status = status;
        MemoryBarrier();
        SetEvent(m_done);
    }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    Header* header() const { return static_cast<Header*>(m_view); }
    unsigned char* payload() const { return static_cast<unsigned char*>(m_view) + sizeof(Header); }

private:
    HANDLE m_mapping = nullptr;
    void* m_view = nullptr;
    HANDLE m_done = nullptr;
};

// Appends the entries of `menu` (and of its drop-downs) to the payload.
Status dumpMenu(HMENU menu, int depth, Block& block) {
    Header* header = block.header();
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t caption[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) {
            return Status::Failed;
        }
        MenuRecord record{};
        record.depth = depth;
        record.id = info.hSubMenu ? 0xFFFFFFFFu : info.wID;
        record.state = info.fState;
        record.type = info.fType;
        record.hasSubmenu = info.hSubMenu ? 1 : 0;
        record.captionChars = static_cast<std::uint32_t>(wcslen(caption));
        const std::uint64_t bytes = sizeof(record) + record.captionChars * sizeof(wchar_t);
        if (header->payloadBytes + bytes > header->capacity) {
            return Status::TooSmall;
        }
        unsigned char* out = block.payload() + header->payloadBytes;
        std::memcpy(out, &record, sizeof(record));
        std::memcpy(out + sizeof(record), caption, record.captionChars * sizeof(wchar_t));
        header->payloadBytes += bytes;
        if (info.hSubMenu) {
            const Status inner = dumpMenu(info.hSubMenu, depth + 1, block);
            if (inner != Status::Ok) {
                return inner;
            }
        }
    }
    return Status::Ok;
}

// Calls a window of this thread directly (the hook runs on the program's UI
// thread, which owns the windows the tests ask about); a window of another thread
// gets a send with a time limit.
Status sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Header* header) {
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        header->answer = static_cast<std::uint64_t>(SendMessageW(window, message, wParam, lParam));
        return Status::Ok;
    }
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &answer)) {
        return Status::NoAnswer;
    }
    header->answer = answer;
    return Status::Ok;
}

Status getText(HWND window, Block& block) {
    Header* header = block.header();
    Status status = sendBounded(window, WM_GETTEXTLENGTH, 0, 0, header);
    if (status != Status::Ok) {
        return status;
    }
    const std::uint64_t length = header->answer;
    if ((length + 1) * sizeof(wchar_t) > header->capacity) {
        return Status::TooSmall;  // `answer` tells the driver the length
    }
    auto* text = reinterpret_cast<wchar_t*>(block.payload());
    status = sendBounded(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text), header);
    if (status == Status::Ok) {
        header->payloadBytes = header->answer * sizeof(wchar_t);
    }
    return status;
}

// Sends a text message whose payload is a NUL-terminated UTF-16 string.
Status sendText(HWND window, UINT message, WPARAM wParam, Block& block) {
    Header* header = block.header();
    if (header->payloadBytes + sizeof(wchar_t) > header->capacity) {
        return Status::BadRequest;
    }
    auto* text = reinterpret_cast<wchar_t*>(block.payload());
    text[header->payloadBytes / sizeof(wchar_t)] = L'\0';
    return sendBounded(window, message, wParam, reinterpret_cast<LPARAM>(text), header);
}

// Icon handles are the owning process's own, so only here can the icon of a
// message box be matched against the system's standard ones.
Status standardIcon(HWND window, Header* header) {
    const Status status = sendBounded(window, STM_GETICON, 0, 0, header);
    if (status != Status::Ok || header->answer == 0) {
        return status;
    }
    const auto icon = reinterpret_cast<HICON>(static_cast<ULONG_PTR>(header->answer));
    header->answer = 1;
    const ULONG_PTR standard[] = {32513, 32514, 32515, 32516};  // IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK
    for (ULONG_PTR id : standard) {
        if (LoadIconW(nullptr, MAKEINTRESOURCEW(id)) == icon) {
            header->answer = id;
        }
    }
    return Status::Ok;
}

Status serve(Block& block) {
    Header* header = block.header();
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(header->window));
    if (!IsWindow(window)) {
        return Status::BadRequest;
    }
    switch (header->op) {
        case Op::MenuDump: {
            header->payloadBytes = 0;
            HMENU bar = GetMenu(window);
            return bar ? dumpMenu(bar, 0, block) : Status::Failed;
        }
        case Op::GetText: return getText(window, block);
        case Op::SetText: return sendText(window, WM_SETTEXT, 0, block);
        case Op::ReplaceSel: return sendText(window, EM_REPLACESEL, TRUE, block);
        case Op::StandardIcon: return standardIcon(window, header);
        case Op::FontHeight: {
            LOGFONTW font{};
            const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
            if (handle == nullptr || GetObjectW(handle, sizeof(font), &font) == 0) {
                return Status::Failed;
            }
            header->answer = static_cast<std::uint64_t>(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight);
            return Status::Ok;
        }
        case Op::DpiChanged: {
            if (header->payloadBytes < sizeof(DpiChange)) {
                return Status::BadRequest;
            }
            const auto* change = reinterpret_cast<const DpiChange*>(block.payload());
            RECT suggested{change->left, change->top, change->right, change->bottom};
            return sendBounded(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(change->dpi, change->dpi),
                               reinterpret_cast<LPARAM>(&suggested), header);
        }
    }
    return Status::BadRequest;
}

// Serves one request; one the driver has given up is dropped.
void serveRequest(unsigned long long request) {
    Block block(request);
    if (!block.open()) {
        return;
    }
    block.finish(serve(block));
}

UINT requestMessage() {
    static const UINT message = RegisterWindowMessageW(kRequestMessageName);
    return message;
}

// Keeps the agent loaded for the rest of the program's life, whatever the hook's
// loader does between calls.
void pinSelf() {
    static bool pinned = false;
    if (pinned) {
        return;
    }
    HMODULE self = nullptr;
    pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                reinterpret_cast<LPCWSTR>(&requestMessage), &self) != 0;
}

}  // namespace

// Called by the system on the program's UI thread for every message it fetches,
// inside its own loop and inside modal loops alike. A request is served when it
// is removed from the queue, and the program then sees WM_NULL in its place.
extern "C" __declspec(dllexport) LRESULT CALLBACK probeGetMessageHook(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION) {
        pinSelf();
        auto* msg = reinterpret_cast<MSG*>(message);
        if (msg->hwnd == nullptr && msg->message == requestMessage() &&
            static_cast<std::uint32_t>(msg->lParam) == kRequestMagic) {
            const auto request = static_cast<unsigned long long>(msg->wParam);
            if (removal & PM_REMOVE) {
                msg->message = WM_NULL;
                msg->wParam = 0;
                msg->lParam = 0;
                serveRequest(request);
            }
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

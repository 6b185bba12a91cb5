// Hooking the probe agent into the program under test, and its requests.
#include "tests/e2e/driver/probe_client.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tests/e2e/driver/program_process.h"

namespace e2e {

namespace {

const char* opName(probe::Op op) {
    switch (op) {
        case probe::Op::MenuDump: return "menu bar";
        case probe::Op::GetText: return "text";
        case probe::Op::SetText: return "set text";
        case probe::Op::ReplaceSel: return "replace selection";
        case probe::Op::StandardIcon: return "standard icon";
        case probe::Op::DpiChanged: return "DPI change";
        case probe::Op::FontHeight: return "font height";
    }
    return "unknown";
}

const char* statusName(probe::Status status) {
    switch (status) {
        case probe::Status::Ok: return "ok";
        case probe::Status::NoBlock: return "no block";
        case probe::Status::BadRequest: return "bad request (no such window?)";
        case probe::Status::TooSmall: return "result too large";
        case probe::Status::NoAnswer: return "the window did not answer";
        case probe::Status::Failed: return "failed";
        case probe::Status::Pending: return "pending";
    }
    return "unknown";
}

// "window 0x1234 (Edit, id 1000, \"caption\")" for failure messages.
std::string describeWindow(HWND window) {
    char handle[32];
    std::snprintf(handle, sizeof(handle), "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
    std::string text = std::string("window ") + handle;
    if (!IsWindow(window)) {
        return text + " (no longer a window)";
    }
    text += " (" + toUtf8(windowClass(window));
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) {
        text += ", id " + std::to_string(GetDlgCtrlID(window));
    }
    const std::wstring caption = windowText(window);
    if (!caption.empty()) {
        text += ", \"" + toUtf8(caption.substr(0, 40)) + "\"";
    }
    return text + ")";
}

std::wstring requestName(const wchar_t* prefix, DWORD processId, unsigned long long request) {
    return std::wstring(prefix) + std::to_wstring(processId) + L"." + std::to_wstring(request);
}

// Request numbers are unique in the test process, so that a request abandoned by
// one client can never be mistaken for a later one.
unsigned long long nextRequest() {
    static volatile LONG64 counter = 0;
    return static_cast<unsigned long long>(InterlockedIncrement64(&counter));
}

// Waits for `done` or the end of `process`, handling messages sent to the test's
// own windows meanwhile (so that the program is never kept waiting on the test).
// WAIT_OBJECT_0: answered; WAIT_OBJECT_0 + 1: the program ended; WAIT_TIMEOUT.
DWORD waitForAnswer(HANDLE done, HANDLE process, Millis limit) {
    const HANDLE handles[] = {done, process};
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - std::chrono::steady_clock::now());
        const DWORD wait = static_cast<DWORD>(std::max<long long>(0, left.count()));
        const DWORD result = MsgWaitForMultipleObjectsEx(2, handles, wait, QS_SENDMESSAGE, 0);
        if (result == WAIT_OBJECT_0 + 2) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        if (result == WAIT_OBJECT_0 || result == WAIT_OBJECT_0 + 1 || result == WAIT_TIMEOUT) {
            return result;
        }
        fail("waiting for the probe failed: " + lastErrorText());
    }
}

void appendMenuItem(MenuBar& bar, const probe::MenuRecord& record, std::wstring caption) {
    std::vector<MenuItem>* level = &bar.items;
    for (int d = 0; d < record.depth && !level->empty(); ++d) {
        level = &level->back().items;
    }
    MenuItem item;
    const size_t tab = caption.find(L'\t');
    item.caption = caption.substr(0, tab);
    if (tab != std::wstring::npos) {
        item.shortcut = caption.substr(tab + 1);
    }
    item.id = record.id;
    item.state = record.state;
    item.type = record.type;
    item.hasSubmenu = record.hasSubmenu != 0;
    level->push_back(std::move(item));
}

}  // namespace

std::wstring probeDllPath() {
    const std::wstring fromEnvironment = environment(L"QUIBBETS_E2E_PROBE");
    return windowsPath(fromEnvironment.empty() ? fromUtf8(QUIBBETS_E2E_PROBE_DLL) : fromEnvironment);
}

const MenuItem* MenuBar::find(std::initializer_list<std::wstring_view> path) const {
    const std::vector<MenuItem>* level = &items;
    const MenuItem* found = nullptr;
    for (std::wstring_view caption : path) {
        found = nullptr;
        for (const MenuItem& item : *level) {
            if (item.caption == caption) {
                found = &item;
                break;
            }
        }
        if (!found) {
            return nullptr;
        }
        level = &found->items;
    }
    return found;
}

const MenuItem& MenuBar::at(std::initializer_list<std::wstring_view> path) const {
    const MenuItem* item = find(path);
    if (!item) {
        std::wstring joined;
        for (std::wstring_view caption : path) {
            joined += (joined.empty() ? L"" : L" > ") + std::wstring(caption);
        }
        fail("no menu entry " + toUtf8(joined));
    }
    return *item;
}

ProbeClient::ProbeClient(HANDLE process, DWORD processId) : m_process(process), m_processId(processId) {
    const std::wstring dll = probeDllPath();
    m_agent = LoadLibraryW(dll.c_str());
    if (!m_agent) {
        fail("cannot load the probe " + toUtf8(dll) + ": " + lastErrorText());
    }
    // Through void*: GCC warns about a direct cast between function types.
    m_hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(m_agent, probe::kHookExport)));
    if (!m_hookProc) {
        fail("the probe " + toUtf8(dll) + " has no " + probe::kHookExport);
    }
    m_requestMessage = RegisterWindowMessageW(probe::kRequestMessageName);
    if (!m_requestMessage) {
        fail("cannot register the probe's message: " + lastErrorText());
    }
}

ProbeClient::~ProbeClient() {
    for (const auto& [thread, hook] : m_hooks) {
        UnhookWindowsHookEx(hook);
    }
    // The agent stays loaded in the test process: other clients may still use it.
}

void ProbeClient::hook(DWORD thread) {
    if (m_hooks.count(thread)) {
        return;
    }
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, m_hookProc, m_agent, thread);
    if (!hook) {
        fail("cannot hook the probe into thread " + std::to_string(thread) + " of the program: " + lastErrorText());
    }
    m_hooks[thread] = hook;
}

ProbeClient::Reply ProbeClient::call(probe::Op op, HWND window, std::string_view payload, size_t capacity,
                                     Millis limit) {
    const std::string what = std::string("probe request \"") + opName(op) + "\" for " + describeWindow(window);
    DWORD processId = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &processId);
    if (!thread || processId != m_processId) {
        fail(what + ": the window does not belong to the program");
    }
    hook(thread);

    const unsigned long long request = nextRequest();
    const unsigned long long total = sizeof(probe::Header) + std::max(capacity, payload.size() + sizeof(wchar_t));
    const std::wstring blockName = requestName(probe::kMappingPrefix, m_processId, request);
    Handle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(total >> 32),
                                      static_cast<DWORD>(total), blockName.c_str()));
    if (!mapping) {
        fail(what + ": cannot create the probe block: " + lastErrorText());
    }
    auto* view = static_cast<unsigned char*>(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view) {
        fail(what + ": cannot map the probe block: " + lastErrorText());
    }
    struct Unmap {
        void* view;
        ~Unmap() { UnmapViewOfFile(view); }
    } unmap{view};
    const probe::Header header{
        op, probe::Status::Pending, reinterpret_cast<ULONG_PTR>(window), total - sizeof(probe::Header), payload.size(),
        0};
    std::memcpy(view, &header, sizeof(header));
    std::memcpy(view + sizeof(header), payload.data(), payload.size());
    Handle done(CreateEventW(nullptr, TRUE, FALSE, requestName(probe::kDoneEventPrefix, m_processId, request).c_str()));
    if (!done) {
        fail(what + ": cannot create the probe's event: " + lastErrorText());
    }

    if (!PostThreadMessageW(thread, m_requestMessage, static_cast<WPARAM>(request), probe::kRequestMagic)) {
        fail(what + ": cannot post it to thread " + std::to_string(thread) + ": " + lastErrorText());
    }
    const auto started = std::chrono::steady_clock::now();
    const DWORD waited = waitForAnswer(done.get(), m_process, limit);
    if (waited != WAIT_OBJECT_0) {
        const auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - started);
        // Leaving closes the block and the event: if the program fetches the
        // request later, the agent finds no block and drops it.
        if (waited == WAIT_OBJECT_0 + 1) {
            fail(what + ": the program ended after " + std::to_string(took.count()) + " ms without answering");
        }
        fail(what + " (#" + std::to_string(request) + ") got no answer within " + std::to_string(limit.count()) +
             " ms: the program did not fetch its messages (busy or hung)");
    }
    Reply reply;
    std::memcpy(&reply.header, view, sizeof(reply.header));
    if (reply.header.status == probe::Status::Ok) {
        reply.payload.assign(reinterpret_cast<const char*>(view + sizeof(header)), reply.header.payloadBytes);
    } else if (!(op == probe::Op::GetText && reply.header.status == probe::Status::TooSmall)) {
        fail(what + " failed: " + statusName(reply.header.status));
    }
    return reply;
}

MenuBar ProbeClient::menuBar(HWND window, Millis limit) {
    const Reply reply = call(probe::Op::MenuDump, window, {}, 1 << 16, limit);
    MenuBar bar;
    size_t at = 0;
    while (at + sizeof(probe::MenuRecord) <= reply.payload.size()) {
        probe::MenuRecord record{};
        std::memcpy(&record, reply.payload.data() + at, sizeof(record));
        at += sizeof(record);
        std::wstring caption(record.captionChars, L'\0');
        std::memcpy(caption.data(), reply.payload.data() + at, record.captionChars * sizeof(wchar_t));
        at += record.captionChars * sizeof(wchar_t);
        appendMenuItem(bar, record, std::move(caption));
    }
    return bar;
}

std::wstring ProbeClient::text(HWND window, Millis limit) {
    // A first request sized for a short text; a longer one answers with its length.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    size_t capacity = 1 << 16;
    for (int attempt = 0;; ++attempt) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - std::chrono::steady_clock::now());
        const Reply reply = call(probe::Op::GetText, window, {}, capacity, std::max(left, Millis{0}));
        if (reply.header.status == probe::Status::Ok) {
            std::wstring out(reply.payload.size() / sizeof(wchar_t), L'\0');
            std::memcpy(out.data(), reply.payload.data(), out.size() * sizeof(wchar_t));
            return out;
        }
        if (attempt == 2) {
            fail("the text of " + describeWindow(window) + " kept growing while the probe read it");
        }
        capacity = (reply.header.answer + 1024) * sizeof(wchar_t);
    }
}

void ProbeClient::setText(HWND window, std::wstring_view text, Millis limit) {
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    const Reply reply = call(probe::Op::SetText, window, bytes, 0, limit);
    if (!reply.header.answer) {
        fail("the editor refused WM_SETTEXT of " + std::to_string(text.size()) + " characters");
    }
}

void ProbeClient::replaceSelection(HWND window, std::wstring_view text, Millis limit) {
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    call(probe::Op::ReplaceSel, window, bytes, 0, limit);
}

void ProbeClient::dpiChanged(HWND window, int dpi, const RECT& suggested, Millis limit) {
    const probe::DpiChange change{static_cast<std::uint32_t>(dpi), suggested.left, suggested.top, suggested.right,
                                  suggested.bottom};
    call(probe::Op::DpiChanged, window, std::string_view(reinterpret_cast<const char*>(&change), sizeof(change)), 0,
         limit);
}

int ProbeClient::fontHeight(HWND window, Millis limit) {
    return static_cast<int>(call(probe::Op::FontHeight, window, {}, 0, limit).header.answer);
}

int ProbeClient::standardIcon(HWND window, Millis limit) {
    return static_cast<int>(call(probe::Op::StandardIcon, window, {}, 0, limit).header.answer);
}

}  // namespace e2e

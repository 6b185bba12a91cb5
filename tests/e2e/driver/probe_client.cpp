// Loading the probe agent into the program under test, and its requests.
#include "tests/e2e/driver/probe_client.h"

#include <psapi.h>

#include <cstring>

namespace e2e {

namespace {

std::wstring fileNameOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

// Base of the module named `name` in `process`, 0 when it is not loaded.
ULONG_PTR remoteModuleBase(HANDLE process, const std::wstring& name) {
    HMODULE modules[1024];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof(modules), &bytes))
        return 0;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t moduleName[MAX_PATH] = {};
        GetModuleBaseNameW(process, modules[i], moduleName, MAX_PATH);
        if (lstrcmpiW(moduleName, name.c_str()) == 0)
            return reinterpret_cast<ULONG_PTR>(modules[i]);
    }
    return 0;
}

// Runs `start(argument)` as a thread of `process` and returns its exit code.
DWORD runRemoteThread(HANDLE process, ULONG_PTR start, void* argument, Millis timeout, const char* what) {
    Handle thread(
        CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(start), argument, 0, nullptr));
    if (!thread)
        fail(std::string("cannot start the probe thread for ") + what + ": " + lastErrorText());
    if (WaitForSingleObject(thread.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        fail(std::string("the probe did not finish ") + what + " in time");
    }
    DWORD code = 0;
    GetExitCodeThread(thread.get(), &code);
    return code;
}

void appendMenuItem(MenuBar& bar, const probe::MenuRecord& record, std::wstring caption) {
    std::vector<MenuItem>* level = &bar.items;
    for (int d = 0; d < record.depth && !level->empty(); ++d)
        level = &level->back().items;
    MenuItem item;
    const size_t tab = caption.find(L'\t');
    item.caption = caption.substr(0, tab);
    if (tab != std::wstring::npos)
        item.shortcut = caption.substr(tab + 1);
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
        if (!found)
            return nullptr;
        level = &found->items;
    }
    return found;
}

const MenuItem& MenuBar::at(std::initializer_list<std::wstring_view> path) const {
    const MenuItem* item = find(path);
    if (!item) {
        std::wstring joined;
        for (std::wstring_view caption : path)
            joined += (joined.empty() ? L"" : L" > ") + std::wstring(caption);
        fail("no menu entry " + toUtf8(joined));
    }
    return *item;
}

ProbeClient::ProbeClient(HANDLE process, DWORD processId) : m_process(process), m_processId(processId) {
    inject();
}

void ProbeClient::inject() {
    const std::wstring dll = probeDllPath();
    HMODULE local = LoadLibraryW(dll.c_str());
    if (!local)
        fail("cannot load the probe " + toUtf8(dll) + ": " + lastErrorText());
    const auto serve = reinterpret_cast<ULONG_PTR>(GetProcAddress(local, probe::kServeExport));
    const ULONG_PTR offset = serve - reinterpret_cast<ULONG_PTR>(local);

    ULONG_PTR base = remoteModuleBase(m_process, fileNameOf(dll));
    if (!base) {
        const size_t bytes = (dll.size() + 1) * sizeof(wchar_t);
        void* remotePath = VirtualAllocEx(m_process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!remotePath || !WriteProcessMemory(m_process, remotePath, dll.c_str(), bytes, nullptr)) {
            fail("cannot pass the probe path to the program: " + lastErrorText());
        }
        // kernel32 sits at the same address in every process of the session.
        const auto loadLibrary =
            reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW"));
        if (!runRemoteThread(m_process, loadLibrary, remotePath, kWait, "loading")) {
            fail("the program could not load the probe " + toUtf8(dll));
        }
        VirtualFreeEx(m_process, remotePath, 0, MEM_RELEASE);
        base = remoteModuleBase(m_process, fileNameOf(dll));
        if (!base)
            fail("the probe is not among the program's modules");
    }
    m_remoteServe = base + offset;
}

ProbeClient::Reply ProbeClient::call(probe::Op op, HWND window, std::string_view payload, size_t capacity) {
    const unsigned long long request = ++m_request;
    const std::wstring name =
        std::wstring(probe::kMappingPrefix) + std::to_wstring(m_processId) + L"." + std::to_wstring(request);
    const unsigned long long total = sizeof(probe::Header) + std::max(capacity, payload.size() + sizeof(wchar_t));
    Handle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(total >> 32),
                                      static_cast<DWORD>(total), name.c_str()));
    if (!mapping)
        fail("cannot create the probe block: " + lastErrorText());
    auto* view = static_cast<unsigned char*>(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view)
        fail("cannot map the probe block: " + lastErrorText());
    probe::Header header{
        op, probe::Status::Failed, reinterpret_cast<ULONG_PTR>(window), total - sizeof(probe::Header), payload.size(),
        0};
    std::memcpy(view, &header, sizeof(header));
    std::memcpy(view + sizeof(header), payload.data(), payload.size());

    const DWORD status =
        runRemoteThread(m_process, m_remoteServe, reinterpret_cast<void*>(request), kHugeWait, "a request");
    Reply reply;
    std::memcpy(&reply.header, view, sizeof(reply.header));
    if (status == static_cast<DWORD>(probe::Status::Ok)) {
        reply.payload.assign(reinterpret_cast<const char*>(view + sizeof(header)), reply.header.payloadBytes);
    }
    UnmapViewOfFile(view);
    if (status != static_cast<DWORD>(probe::Status::Ok)) {
        fail("probe request " + std::to_string(static_cast<int>(op)) + " failed with status " + std::to_string(status));
    }
    return reply;
}

MenuBar ProbeClient::menuBar(HWND window) {
    const Reply reply = call(probe::Op::MenuDump, window, {}, 1 << 16);
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

std::wstring ProbeClient::text(HWND window) {
    // The length is asked without a pointer, so it crosses processes as it is.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kHugeWait.count(), &length)) {
        fail("the editor did not answer WM_GETTEXTLENGTH");
    }
    const Reply reply = call(probe::Op::GetText, window, {}, (length + 1024) * sizeof(wchar_t));
    std::wstring out(reply.payload.size() / sizeof(wchar_t), L'\0');
    std::memcpy(out.data(), reply.payload.data(), out.size() * sizeof(wchar_t));
    return out;
}

void ProbeClient::setText(HWND window, std::wstring_view text) {
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    const Reply reply = call(probe::Op::SetText, window, bytes, 0);
    if (!reply.header.answer)
        fail("the editor refused WM_SETTEXT of " + std::to_string(text.size()) + " characters");
}

void ProbeClient::replaceSelection(HWND window, std::wstring_view text) {
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    call(probe::Op::ReplaceSel, window, bytes, 0);
}

int ProbeClient::standardIcon(HWND window) {
    return static_cast<int>(call(probe::Op::StandardIcon, window, {}, 0).header.answer);
}

}  // namespace e2e

// Processes found by where their program file lies: the test copies the programs
// into a folder of its own, so the folder tells its processes from anyone else's.
#include "tests/e2e/launcher/process_view.h"

#include <tlhelp32.h>

#include <cwctype>

#include "tests/e2e/driver/win_util.h"

namespace launcher_e2e {
namespace {

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

// Full path of the program file; empty when the process cannot be asked.
std::wstring imagePath(DWORD processId) {
    e2e::Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return {};
    }
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!QueryFullProcessImageNameW(process.get(), 0, buffer, &size)) {
        return {};
    }
    return buffer;
}

// The folder as a full path with a trailing separator, lower case.
std::wstring folderPrefix(const std::wstring& folder) {
    wchar_t full[MAX_PATH * 2] = {};
    if (!GetFullPathNameW(folder.c_str(), MAX_PATH * 2, full, nullptr)) {
        return {};
    }
    std::wstring prefix = lowered(full);
    if (prefix.empty() || prefix.back() != L'\\') {
        prefix += L'\\';
    }
    return prefix;
}

}  // namespace

std::vector<ProcessEntry> processesIn(const std::wstring& folder) {
    std::vector<ProcessEntry> found;
    const std::wstring prefix = folderPrefix(folder);
    e2e::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    if (prefix.empty() || !snapshot || !Process32FirstW(snapshot.get(), &entry)) {
        return found;
    }
    do {
        const std::wstring path = imagePath(entry.th32ProcessID);
        const std::wstring lower = lowered(path);
        // Directly in the folder: the rest of the path holds no further separator.
        if (lower.size() > prefix.size() && lower.compare(0, prefix.size(), prefix) == 0 &&
            lower.find(L'\\', prefix.size()) == std::wstring::npos) {
            found.push_back({entry.th32ProcessID, path.substr(prefix.size())});
        }
    } while (Process32NextW(snapshot.get(), &entry));
    return found;
}

bool endProcessesIn(const std::wstring& folder) {
    bool allGone = true;
    for (const ProcessEntry& entry : processesIn(folder)) {
        e2e::Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.id));
        if (!process) {
            continue;  // ended meanwhile
        }
        TerminateProcess(process.get(), 1);
        if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
            allGone = false;
        }
    }
    return allGone;
}

}  // namespace launcher_e2e

// Test folders and byte-exact file access.
#include "tests/e2e/driver/test_folder.h"

#include <atomic>

#include "tests/e2e/driver/win_util.h"

namespace e2e {

std::optional<std::string> readFileBytes(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr) || got == 0) {
            return std::nullopt;
        }
        done += got;
    }
    return bytes;
}

void writeFileBytes(const std::wstring& path, std::string_view bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        fail("cannot create " + toUtf8(path) + ": " + lastErrorText());
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) {
            fail("cannot write " + toUtf8(path) + ": " + lastErrorText());
        }
        done += wrote;
    }
}

unsigned long long fileWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

TestFolder TestFolder::createTemporary() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    // Wine reuses small process ids, so a folder left by a killed run may have this
    // name already: take the next free one.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring path = std::wstring(temp) + L"quibbets-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            return TestFolder(path, true);
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            fail("cannot create " + toUtf8(path) + ": " + lastErrorText());
        }
    }
    fail("cannot find a free temporary folder name");
    return TestFolder(std::wstring(temp), false);
}

TestFolder TestFolder::existing(std::wstring path) {
    return TestFolder(windowsPath(path), false);
}

TestFolder::TestFolder(TestFolder&& other) noexcept : m_path(std::move(other.m_path)), m_owned(other.m_owned) {
    other.m_owned = false;
}

namespace {

// Removes a folder with everything in it (the program makes folders of its own
// beside its pages, such as "recovery").
void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            const std::wstring path = folder + L"\\" + name;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            } else if (name != L"." && name != L"..") {
                removeTree(path);
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TestFolder::~TestFolder() {
    if (m_owned && environment(L"QUIBBETS_E2E_KEEP").empty()) {
        removeTree(m_path);
    }
}

std::wstring TestFolder::file(std::wstring_view name) const {
    return m_path + L"\\" + std::wstring(name);
}

void TestFolder::write(std::wstring_view name, std::string_view bytes) const {
    writeFileBytes(file(name), bytes);
}

std::optional<std::string> TestFolder::read(std::wstring_view name) const {
    return readFileBytes(file(name));
}

bool TestFolder::exists(std::wstring_view name) const {
    return GetFileAttributesW(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

unsigned long long TestFolder::writeTime(std::wstring_view name) const {
    return fileWriteTime(file(name));
}

std::vector<std::wstring> TestFolder::fileNames() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((m_path + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.emplace_back(data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

void TestFolder::copyIn(const std::wstring& source, std::wstring_view name) const {
    if (!CopyFileW(source.c_str(), file(name).c_str(), FALSE)) {
        fail("cannot copy " + toUtf8(source) + " into " + toUtf8(m_path) + ": " + lastErrorText());
    }
}

std::wstring pageFileName(int page) {
    return L"page" + std::to_wstring(page) + L".txt";
}

}  // namespace e2e

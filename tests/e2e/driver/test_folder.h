// A folder for one run of the program under test, and byte-exact file access.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// Whole content of a file; nullopt when it cannot be opened.
std::optional<std::string> readFileBytes(const std::wstring& path);
// Writes `bytes` as the whole content of `path`; fails the test on error.
void writeFileBytes(const std::wstring& path, std::string_view bytes);
// Last write time of a file (100 ns units), 0 when it has none.
unsigned long long fileWriteTime(const std::wstring& path);

class TestFolder {
public:
    // A new empty folder under the temporary folder, removed again at the end.
    static TestFolder createTemporary();
    // An existing folder (a mount prepared by the shell, say); left in place.
    static TestFolder existing(std::wstring path);

    TestFolder(TestFolder&& other) noexcept;
    TestFolder& operator=(TestFolder&&) = delete;
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder();

    const std::wstring& path() const { return m_path; }
    std::wstring file(std::wstring_view name) const;
    void write(std::wstring_view name, std::string_view bytes) const;
    std::optional<std::string> read(std::wstring_view name) const;
    bool exists(std::wstring_view name) const;
    unsigned long long writeTime(std::wstring_view name) const;
    // Names of the files in the folder.
    std::vector<std::wstring> fileNames() const;
    // Copies a file into the folder under `name`.
    void copyIn(const std::wstring& source, std::wstring_view name) const;

private:
    TestFolder(std::wstring path, bool owned) : m_path(std::move(path)), m_owned(owned) {}
    std::wstring m_path;
    bool m_owned = false;
};

// "page<n>.txt"
std::wstring pageFileName(int page);

}  // namespace e2e

// Files through the wide Win32 functions: tests, whole-file reads, atomic writes
// (temporary file, flush, rename over), removal and folder listings.
#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

// Reads and writes go in pieces this large: one call for any ordinary page.
constexpr DWORD kChunk = 1u << 26;
constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Closes a file handle when it goes out of scope.
struct FileHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }
    bool close() {
        const bool ok = !valid() || CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return ok;
    }
};

DWORD attributes(std::wstring_view path) {
    return GetFileAttributesW(zstr(path).c_str());
}

// The identity's three facts, asked for one by one: GetFileInformationByHandle also
// reads the volume's serial number, which costs a few tenths of a millisecond under
// Wine, on every save and every look at a page file. The file index is the file
// system's internal one (what GetFileInformationByHandle reports too), which only
// ntdll gives. FILETIME counts 100-nanosecond units from 1601; the identity counts
// nanoseconds from 1970, as on other desktops. Nothing for a folder.
std::optional<FileIdentity> identityOf(HANDLE file) {
    using QueryInformationFile = LONG(WINAPI*)(HANDLE, void* status, void* information, ULONG length, int kind);
    constexpr int kFileInternalInformation = 6;
    static const auto query = libraryFunction<QueryInformationFile>(L"ntdll.dll", "NtQueryInformationFile");
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) || standard.Directory) {
        return std::nullopt;
    }
    struct {
        void* pointer;
        ULONG_PTR information;
    } status{};
    LARGE_INTEGER index{};
    if (query == nullptr || query(file, &status, &index, sizeof index, kFileInternalInformation) < 0) {
        return std::nullopt;
    }
    constexpr std::int64_t kEpochTicks = 116444736000000000;  // 1601 to 1970
    FileIdentity identity;
    identity.size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    identity.modified = (basic.LastWriteTime.QuadPart - kEpochTicks) * 100;
    identity.id = static_cast<std::uint64_t>(index.QuadPart);
    return identity;
}

// Writes every byte; a short write (a full disk) is an error too.
DWORD writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD want = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), want, &written, nullptr)) {
            return GetLastError();
        }
        if (written == 0) {
            return ERROR_DISK_FULL;
        }
        bytes.remove_prefix(written);
    }
    return ERROR_SUCCESS;
}

// The new content goes to the temporary file, reaches the disk, and only then
// replaces the old file in one rename. (ReplaceFileW is not atomic under Wine.)
// A rename keeps the file and its time: the temporary file's identity is the one the
// target will have.
DWORD writeThrough(const std::wstring& temp, const std::wstring& path, std::string_view bytes, FileIdentity* written) {
    FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return GetLastError();
    }
    if (const DWORD error = writeAll(file.handle, bytes)) {
        return error;
    }
    if (!FlushFileBuffers(file.handle)) {
        return GetLastError();
    }
    if (written) {
        const std::optional<FileIdentity> identity = identityOf(file.handle);
        if (!identity) {
            return GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_INVALID_FUNCTION;
        }
        *written = *identity;
    }
    if (!file.close()) {
        return GetLastError();
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

double ageInSeconds(const FILETIME& written) {
    FILETIME nowTime{};
    GetSystemTimeAsFileTime(&nowTime);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(nowTime) - ticks(written)) / 1e7;  // 100-nanosecond units
}

}  // namespace

bool Win32Files::isOrdinaryFile(std::wstring_view path) const {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & kNotOrdinary) == 0;
}

bool Win32Files::exists(std::wstring_view path) const {
    return attributes(path) != INVALID_FILE_ATTRIBUTES;
}

FileStatus Win32Files::readFile(std::wstring_view path, std::string& bytes) const {
    bytes.clear();
    FileHandle file(CreateFileW(zstr(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return failure(GetLastError());
    }
    // Read straight into the result, one byte of room past the expected size so that
    // the read that finds the end needs no second buffer.
    LARGE_INTEGER size{};
    const bool sized = GetFileSizeEx(file.handle, &size) && size.QuadPart > 0;
    bytes.resize(sized ? static_cast<std::size_t>(size.QuadPart) + 1 : std::size_t{1} << 20);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const std::size_t room = bytes.size() - filled;
        DWORD got = 0;
        if (!ReadFile(file.handle, bytes.data() + filled, room < kChunk ? static_cast<DWORD>(room) : kChunk, &got,
                      nullptr)) {
            const DWORD error = GetLastError();
            bytes.clear();
            return failure(error);
        }
        if (got == 0) {
            bytes.resize(filled);
            return {};
        }
        filled += got;
    }
}

FileStatus Win32Files::writeFileAtomic(std::wstring_view path, std::string_view bytes, FileIdentity* written) {
    const std::wstring target(path);
    const std::wstring temp = tempFilePath(target, GetCurrentProcessId(), ++m_tempCounter);
    const DWORD error = writeThrough(temp, target, bytes, written);
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temp.c_str());
        return failure(error);
    }
    return {};
}

FileStatus Win32Files::removeFile(std::wstring_view path) {
    if (!DeleteFileW(zstr(path).c_str())) {
        return failure(GetLastError());
    }
    return {};
}

std::optional<FileIdentity> Win32Files::identify(std::wstring_view path) const {
    FileHandle file(CreateFileW(zstr(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    return identityOf(file.handle);
}

namespace {

// The lock of a byte range that no file reaches: it ends with the handle, and with
// the process.
class Win32FileLock final : public FileLock {
public:
    explicit Win32FileLock(HANDLE file) : m_file(file) {}
    ~Win32FileLock() override { CloseHandle(m_file); }
    Win32FileLock(const Win32FileLock&) = delete;
    Win32FileLock& operator=(const Win32FileLock&) = delete;

private:
    HANDLE m_file;
};

}  // namespace

std::unique_ptr<FileLock> Win32Files::tryLock(std::wstring_view path) {
    const HANDLE file = CreateFileW(zstr(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    OVERLAPPED at{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<Win32FileLock>(file);
}

// The folder is nearly always there already (every save asks): one look first.
FileStatus Win32Files::makeFolder(std::wstring_view folder) {
    const DWORD a = attributes(folder);
    if (a != INVALID_FILE_ATTRIBUTES) {
        return (a & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileStatus{} : failure(ERROR_DIRECTORY);
    }
    if (!CreateDirectoryW(zstr(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return failure(GetLastError());
    }
    return {};
}

std::vector<FileEntry> Win32Files::listFiles(std::wstring_view folder) const {
    std::wstring pattern(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';
    std::vector<FileEntry> files;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return files;
    }
    do {
        if ((found.dwFileAttributes & kNotOrdinary) == 0) {
            files.push_back({found.cFileName, ageInSeconds(found.ftLastWriteTime)});
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
}

}  // namespace plat::win32

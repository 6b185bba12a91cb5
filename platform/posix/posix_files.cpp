// Real files on disk through POSIX. Paths are wide strings, converted to UTF-8.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>

#include "platform/posix/posix_services.h"
#include "platform/services/utf8.h"

namespace plat::posix {

namespace {

FileStatus failure(int error) {
    return {false, fromUtf8(std::generic_category().message(error))};
}

// The native form of a path; false when it cannot name a file (an embedded NUL).
bool nativePath(std::wstring_view path, std::string& out) {
    out = toUtf8(path);
    return !path.empty() && out.find('\0') == std::string::npos;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileIdentity identityOf(const struct stat& st) {
    FileIdentity identity;
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    identity.id = static_cast<std::uint64_t>(st.st_ino);
    return identity;
}

// Writes all of `bytes`; 0 or the errno of the failure.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return ENOSPC;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Flushes the folder entry of a rename; 0 or the errno of the failure. A folder
// that cannot be opened or whose file system cannot sync folders is skipped.
int syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    const int error = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return error;
}

}  // namespace

bool PosixFiles::isOrdinaryFile(std::wstring_view path) const {
    std::string native;
    struct stat st {};
    return nativePath(path, native) && ::stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !hidden(path);
}

bool PosixFiles::exists(std::wstring_view path) const {
    std::string native;
    struct stat st {};
    return nativePath(path, native) && ::stat(native.c_str(), &st) == 0;
}

FileStatus PosixFiles::readFile(std::wstring_view path, std::string& bytes) const {
    bytes.clear();
    std::string native;
    if (!nativePath(path, native)) {
        return failure(ENOENT);
    }
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return failure(errno);
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return failure(error);
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {};
}

FileStatus PosixFiles::writeFileAtomic(std::wstring_view path, std::string_view bytes, FileIdentity* written) {
    std::string target;
    if (!nativePath(path, target)) {
        return failure(ENOENT);
    }
    const std::string temp = toUtf8(tempFilePath(path, static_cast<std::uint32_t>(::getpid()), ++m_tempCounter));
    const int fd = ::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) {
        return failure(errno);
    }
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    // A rename keeps the file and its time: the temporary file's identity is the one
    // the target will have.
    struct stat st {};
    if (error == 0 && written != nullptr && ::fstat(fd, &st) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return failure(error);
    }
    // The new text is in place whatever the folder's flush says: a failure there only
    // leaves the rename exposed to a power cut, which the caller may mention.
    if (written != nullptr) {
        *written = identityOf(st);
    }
    if ((error = flushFolder(folderOf(target))) != 0) {
        return {true, {}, failure(error).error};
    }
    return {};
}

FileStatus PosixFiles::removeFile(std::wstring_view path) {
    std::string native;
    if (!nativePath(path, native)) {
        return failure(ENOENT);
    }
    if (::unlink(native.c_str()) != 0) {
        return failure(errno);
    }
    return {};
}

std::vector<FileEntry> PosixFiles::listFiles(std::wstring_view folder) const {
    std::vector<FileEntry> entries;
    std::wstring wideFolder(folder);
    while (wideFolder.size() > 1 && wideFolder.back() == L'/') {
        wideFolder.pop_back();
    }
    std::string native;
    if (!nativePath(wideFolder, native)) {
        return entries;
    }
    DIR* dir = ::opendir(native.c_str());
    if (dir == nullptr) {
        return entries;
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::wstring wideName = fromUtf8(name);
        const std::wstring separator = wideFolder.ends_with(L'/') ? L"" : L"/";
        struct stat st {};
        if (::stat((native + toUtf8(separator) + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            hidden(wideFolder + separator + wideName)) {
            continue;
        }
        const double age = static_cast<double>(now.tv_sec - st.st_mtim.tv_sec) +
                           static_cast<double>(now.tv_nsec - st.st_mtim.tv_nsec) / 1e9;
        entries.push_back(FileEntry{wideName, age});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const FileEntry& a, const FileEntry& b) { return a.name < b.name; });
    return entries;
}

FileStatus PosixFiles::makeFolder(std::wstring_view folder) {
    std::string native;
    if (!nativePath(folder, native)) {
        return failure(ENOENT);
    }
    // Each missing folder on the way, from the top down. A new folder's entry in its
    // parent is flushed, so that files later flushed inside it do not vanish with it.
    for (std::size_t at = native.find('/', 1);; at = native.find('/', at + 1)) {
        const std::string part = native.substr(0, at);
        if (::mkdir(part.c_str(), 0700) == 0) {
            if (const int error = flushFolder(folderOf(part))) {
                return failure(error);
            }
        } else if (errno != EEXIST) {
            return failure(errno);
        }
        if (at == std::string::npos) {
            break;
        }
    }
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) {
        return failure(errno);
    }
    return S_ISDIR(st.st_mode) ? FileStatus{} : failure(ENOTDIR);
}

int PosixFiles::flushFolder(const std::string& folder) const {
    return syncFolder(folder);
}

std::optional<FileIdentity> PosixFiles::identify(std::wstring_view path) const {
    std::string native;
    struct stat st {};
    if (!nativePath(path, native) || ::stat(native.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return identityOf(st);
}

namespace {

// flock, not fcntl: its lock belongs to the open file, so two opens in one process
// conflict, and closing another descriptor of the file keeps it.
class PosixFileLock final : public FileLock {
public:
    explicit PosixFileLock(int fd) : m_fd(fd) {}
    ~PosixFileLock() override { ::close(m_fd); }
    PosixFileLock(const PosixFileLock&) = delete;
    PosixFileLock& operator=(const PosixFileLock&) = delete;

private:
    int m_fd;
};

}  // namespace

std::unique_ptr<FileLock> PosixFiles::tryLock(std::wstring_view path) {
    std::string native;
    if (!nativePath(path, native)) {
        return nullptr;
    }
    const int fd = ::open(native.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFileLock>(fd);
}

std::wstring_view fileNamePart(std::wstring_view path) {
    const auto slash = path.rfind(L'/');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

bool processRunning(std::uint32_t processId) {
    const auto pid = static_cast<pid_t>(processId);
    if (pid <= 0 || static_cast<std::uint32_t>(pid) != processId) {
        return false;
    }
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace plat::posix

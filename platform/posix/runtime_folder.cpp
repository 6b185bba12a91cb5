// The per-user socket folder: making it, checking it and listing what is in it.
// Every look at an entry is an lstat, so that a link planted there leads nowhere.
#include "platform/posix/runtime_folder.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <system_error>

#include "platform/posix/posix_services.h"

namespace plat::posix {
namespace {

constexpr std::string_view kPrefix = "notes-";
constexpr std::string_view kSuffix = ".sock";

std::string errorText(int error) {
    return std::generic_category().message(error);
}

FolderCheck refused(const std::string& folder, const std::string& why) {
    return {false, "The folder " + folder + " is not used: " + why + "."};
}

std::int64_t changeTime(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// A user's socket is an entry that is a socket and belongs to the effective user.
bool isOwnSocket(const struct stat& st) {
    return S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid();
}

}  // namespace

std::string runtimeFolderPath(const char* xdgRuntimeDir, uid_t user) {
    if (xdgRuntimeDir != nullptr && xdgRuntimeDir[0] == '/') {
        std::string base(xdgRuntimeDir);
        while (base.size() > 1 && base.back() == '/') {
            base.pop_back();
        }
        return (base == "/" ? "" : base) + "/quibbets";
    }
    return "/tmp/quibbets-" + std::to_string(user);
}

// mkdir's mode is narrowed by the umask only, so a new folder never has more than
// 0700. A folder already there is judged as it is: it is never chmod-ed into shape,
// as one that someone else could have prepared is not to be trusted at all.
FolderCheck openRuntimeFolder(const std::string& folder, bool create) {
    if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return refused(folder, "it cannot be made (" + errorText(errno) + ")");
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        return refused(folder, errorText(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        return refused(folder, "it is not a folder");
    }
    if (st.st_uid != ::geteuid()) {
        return refused(folder, "it belongs to another user");
    }
    if ((st.st_mode & 077) != 0) {
        return refused(folder, "other users have rights to it");
    }
    return {true, {}};
}

std::string socketFileName(pid_t pid) {
    return std::string(kPrefix) + std::to_string(pid) + std::string(kSuffix);
}

bool parseSocketFileName(std::string_view name, pid_t& pid) {
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) {
        return false;
    }
    const std::string_view digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    if (digits.empty() || digits.front() == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    return error == std::errc() && end == digits.data() + digits.size() && pid > 0;
}

std::vector<SocketEntry> liveSockets(const std::string& folder) {
    std::vector<SocketEntry> live;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return live;
    }
    while (const dirent* entry = ::readdir(dir)) {
        pid_t pid = 0;
        struct stat st {};
        const std::string path = folder + "/" + entry->d_name;
        if (!parseSocketFileName(entry->d_name, pid) || ::lstat(path.c_str(), &st) != 0 || !isOwnSocket(st)) {
            continue;
        }
        if (!processRunning(static_cast<std::uint32_t>(pid))) {
            ::unlink(path.c_str());  // its program ended without removing it
            continue;
        }
        live.push_back({path, pid, changeTime(st)});
    }
    ::closedir(dir);
    std::sort(live.begin(), live.end(), [](const SocketEntry& a, const SocketEntry& b) {
        return a.madeNs != b.madeNs ? a.madeNs > b.madeNs : a.pid > b.pid;
    });
    return live;
}

bool removeSocketFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !isOwnSocket(st)) {
        return true;
    }
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool peerIsUser(int fd, uid_t user) {
    struct ucred credentials {};
    socklen_t size = sizeof(credentials);
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof(credentials)) {
        return false;
    }
    return credentials.uid == user;
}

}  // namespace plat::posix

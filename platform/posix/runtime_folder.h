// The per-user folder where each running notes program keeps its local socket, by
// which the launcher asks it to close. Only the user may reach that folder: a folder
// that anyone else could have made or could write into is refused, and nothing in it
// is ever followed as a link.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat::posix {

// $XDG_RUNTIME_DIR/quibbets when that variable holds an absolute path (null: unset),
// else /tmp/quibbets-<uid>.
std::string runtimeFolderPath(const char* xdgRuntimeDir, uid_t user);

// Whether `folder` may hold the sockets; `error` says why not.
struct FolderCheck {
    bool ok = false;
    std::string error;
};

// Makes the folder with mode 0700 when it is absent (and `create`), then checks that
// it is a real folder (not a link) of the effective user with no rights for others.
FolderCheck openRuntimeFolder(const std::string& folder, bool create);

// The socket file name of the notes program with this process id, and back.
std::string socketFileName(pid_t pid);
bool parseSocketFileName(std::string_view name, pid_t& pid);

struct SocketEntry {
    std::string path;
    pid_t pid = 0;
    std::int64_t madeNs = 0;  // when the socket was made
};

// The sockets in `folder` whose program still runs, the most recently made first. A
// socket of the user's whose program has ended is removed; an entry that is no socket
// or is another user's is passed over and left alone.
std::vector<SocketEntry> liveSockets(const std::string& folder);

// Removes the socket file at `path` if there is one of the user's; anything else
// there stays. False when a socket was there and could not be removed.
bool removeSocketFile(const std::string& path);

// Whether the other end of the connected local socket `fd` runs as `user`.
bool peerIsUser(int fd, uid_t user);

}  // namespace plat::posix

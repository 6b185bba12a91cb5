// The socket folder of the close channel: it is made for the user alone, a folder
// that another could have prepared is refused, and listing it removes what a
// program that ended left behind without touching anything that is not its own.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/posix/runtime_folder.h"

namespace plat::posix {
namespace {

class RuntimeFolderTest : public ::testing::Test {
protected:
    RuntimeFolderTest() {
        char pattern[] = "/tmp/quibbets-rt-XXXXXX";
        m_base = ::mkdtemp(pattern);
        m_folder = m_base + "/quibbets";
    }
    ~RuntimeFolderTest() override { std::system(("rm -rf '" + m_base + "'").c_str()); }

    // A socket file bound at `path` (closed at once: only the file matters).
    static void makeSocket(const std::string& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
    }

    // The id of a process that has ended.
    static pid_t endedProcess() {
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(0);
        }
        ::waitpid(child, nullptr, 0);
        return child;
    }

    static bool present(const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }

    std::string m_base;
    std::string m_folder;
};

TEST(RuntimeFolderPath, RuntimeDirWhenAbsoluteElseTmpPerUser) {
    EXPECT_EQ(runtimeFolderPath("/run/user/1000", 1000), "/run/user/1000/quibbets");
    EXPECT_EQ(runtimeFolderPath("/run/user/1000/", 1000), "/run/user/1000/quibbets");
    EXPECT_EQ(runtimeFolderPath(nullptr, 1000), "/tmp/quibbets-1000");
    EXPECT_EQ(runtimeFolderPath("", 1000), "/tmp/quibbets-1000");
    EXPECT_EQ(runtimeFolderPath("run/user", 42), "/tmp/quibbets-42");
}

TEST(SocketFileName, OnlyThePlainPatternNamesAProcess) {
    pid_t pid = 0;
    EXPECT_TRUE(parseSocketFileName(socketFileName(4242), pid));
    EXPECT_EQ(pid, 4242);
    for (const char* name : {"notes-.sock", "notes-0.sock", "notes-012.sock", "notes-12a.sock", "notes--1.sock",
                             "notes-99999999999999999999.sock", "notes-12.sock.tmp", "other-12.sock"}) {
        EXPECT_FALSE(parseSocketFileName(name, pid)) << name;
    }
}

TEST_F(RuntimeFolderTest, IsMadeForTheUserAlone) {
    const mode_t old = ::umask(0);
    const FolderCheck check = openRuntimeFolder(m_folder, true);
    ::umask(old);
    ASSERT_TRUE(check.ok) << check.error;
    struct stat st {};
    ASSERT_EQ(::lstat(m_folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_TRUE(openRuntimeFolder(m_folder, true).ok);  // an existing sound folder is kept
}

TEST_F(RuntimeFolderTest, AFolderOthersCouldReachIsRefusedAndLeftAsItIs) {
    EXPECT_FALSE(openRuntimeFolder(m_folder, false).ok);  // absent, not to be made
    ASSERT_EQ(::mkdir(m_folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(m_folder.c_str(), 0750), 0);
    const FolderCheck open = openRuntimeFolder(m_folder, true);
    EXPECT_FALSE(open.ok);
    EXPECT_NE(open.error.find(m_folder), std::string::npos);
    struct stat st {};
    ::lstat(m_folder.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0750u);

    const std::string link = m_base + "/link";
    ASSERT_EQ(::chmod(m_folder.c_str(), 0700), 0);
    ASSERT_EQ(::symlink(m_folder.c_str(), link.c_str()), 0);
    EXPECT_FALSE(openRuntimeFolder(link, true).ok);

    std::ofstream(m_base + "/file") << "x";
    EXPECT_FALSE(openRuntimeFolder(m_base + "/file", true).ok);
}

TEST_F(RuntimeFolderTest, AnotherUsersFolderIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a folder away";
    }
    ASSERT_EQ(::mkdir(m_folder.c_str(), 0700), 0);
    ASSERT_EQ(::chown(m_folder.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(openRuntimeFolder(m_folder, true).ok);
}

TEST_F(RuntimeFolderTest, ListingRemovesStaleSocketsAndLeavesForeignEntries) {
    ASSERT_TRUE(openRuntimeFolder(m_folder, true).ok);
    const std::string live = m_folder + "/" + socketFileName(::getpid());
    const std::string stale = m_folder + "/" + socketFileName(endedProcess());
    const std::string plainFile = m_folder + "/" + socketFileName(endedProcess());
    const std::string link = m_folder + "/" + socketFileName(endedProcess());
    makeSocket(live);
    makeSocket(stale);
    std::ofstream(plainFile) << "not a socket";
    ASSERT_EQ(::symlink(live.c_str(), link.c_str()), 0);

    const std::vector<SocketEntry> sockets = liveSockets(m_folder);
    ASSERT_EQ(sockets.size(), 1u);
    EXPECT_EQ(sockets[0].path, live);
    EXPECT_EQ(sockets[0].pid, ::getpid());
    EXPECT_FALSE(present(stale));
    EXPECT_TRUE(present(plainFile));
    EXPECT_TRUE(present(link));
    EXPECT_TRUE(present(live));

    EXPECT_TRUE(removeSocketFile(plainFile));  // not a socket: stays
    EXPECT_TRUE(present(plainFile));
    EXPECT_TRUE(removeSocketFile(live));
    EXPECT_FALSE(present(live));
}

TEST(PeerCredentials, TellTheUserAtTheOtherEnd) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(peerIsUser(pair[0], ::geteuid()));
    EXPECT_FALSE(peerIsUser(pair[0], ::geteuid() + 1));
    ::close(pair[0]);
    ::close(pair[1]);
    EXPECT_FALSE(peerIsUser(-1, ::geteuid()));
}

}  // namespace
}  // namespace plat::posix

// Folder watches on Qt: a QFileSystemWatcher on the folder and on every file in it.
// Linux's folder watch (inotify) tells of entries made, removed and renamed, not of a
// file written in place, which only a watch on the file itself sees; and a file's
// watch stays with the file it was set on, so a file put in place by a rename is
// watched afresh. The events of a burst (a save writes and renames ten pages) come
// as one call a moment after the first of them.
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>
#include <iterator>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_services.h"

namespace plat::qt {
namespace {

// How long the events of a burst gather before the call.
constexpr int kSettleMilliseconds = 50;

// On a network file system inotify hears of what this machine does there, never of
// what another machine does, and that is as likely to be another copy of the program.
bool hearsOnlyThisMachine(const QString& folder) {
    static const QByteArray kNetworkTypes[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "fuse.sshfs"};
    const QByteArray type = QStorageInfo(folder).fileSystemType();
    return std::find(std::begin(kNetworkTypes), std::end(kNetworkTypes), type) != std::end(kNetworkTypes);
}

class QtFolderWatch final : public FolderWatch {
public:
    QtFolderWatch(PlatformState* state, QString folder, std::function<void()> changed);
    QtFolderWatch(const QtFolderWatch&) = delete;
    QtFolderWatch& operator=(const QtFolderWatch&) = delete;
    // Starts watching; false when the folder cannot be watched.
    bool start();

private:
    void watchFiles();
    void deliver();

    PlatformState* m_state;
    QString m_folder;
    std::function<void()> m_changed;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;  // after the watcher: it goes first, and its connections with it
};

QtFolderWatch::QtFolderWatch(PlatformState* state, QString folder, std::function<void()> changed)
    : m_state(state), m_folder(std::move(folder)), m_changed(std::move(changed)) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    // Not restarted by later events: a steady stream of changes cannot hold the call back.
    const auto noticed = [this] {
        if (!m_settle.isActive()) {
            m_settle.start();
        }
    };
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, noticed);
    QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, noticed);
    QObject::connect(&m_settle, &QTimer::timeout, &m_settle, [this] { deliver(); });
}

bool QtFolderWatch::start() {
    if (!QFileInfo(m_folder).isDir() || hearsOnlyThisMachine(m_folder) || !m_watcher.addPath(m_folder)) {
        return false;
    }
    watchFiles();
    return true;
}

// Every file is watched afresh: after a rename over it, a name's watch is still on
// the file that was replaced, and QFileSystemWatcher takes that name for watched.
// (Setting a watch is no event of its own, so this never calls itself again.)
void QtFolderWatch::watchFiles() {
    const QStringList old = m_watcher.files();
    if (!old.isEmpty()) {
        m_watcher.removePaths(old);
    }
    const QDir folder(m_folder);
    QStringList files;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        files.push_back(folder.filePath(name));
    }
    if (!files.isEmpty()) {
        m_watcher.addPaths(files);
    }
}

// The files are watched again before the call, so that a write the caller's second
// look misses is heard. The call may end this watch: nothing of it is touched after.
void QtFolderWatch::deliver() {
    watchFiles();
    PlatformState* state = m_state;
    const std::function<void()> changed = m_changed;
    try {
        changed();
    } catch (...) {
        reportEventFailure(*state);
    }
}

}  // namespace

std::unique_ptr<FolderWatch> QtFolderWatcher::watch(std::wstring_view folder, std::function<void()> changed) {
    auto watch = std::make_unique<QtFolderWatch>(m_state, toQString(folder), std::move(changed));
    if (!watch->start()) {
        return nullptr;
    }
    return watch;
}

}  // namespace plat::qt

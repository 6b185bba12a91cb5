// The headless backend's folder watches. Nothing watches the disk: a test says when
// another program changed a folder (changeFolder), and the watches of that folder are
// called then, in the order they were made, so that a test knows exactly when.
#include <sys/stat.h>

#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/headless/headless_services.h"
#include "platform/services/utf8.h"

namespace plat::headless {
namespace {

// "/a/b/" and "/a/b" name one folder.
std::wstring folderKey(std::wstring_view folder) {
    while (folder.size() > 1 && folder.back() == L'/') {
        folder.remove_suffix(1);
    }
    return std::wstring(folder);
}

bool isFolder(const std::wstring& folder) {
    struct stat st {};
    return !folder.empty() && ::stat(toUtf8(folder).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Leaves the backend's list when it goes; a watch that outlives the platform finds
// the list gone through the link.
class HeadlessFolderWatch final : public FolderWatch {
public:
    HeadlessFolderWatch(std::shared_ptr<StateLink> link, int id) : m_link(std::move(link)), m_id(id) {}
    ~HeadlessFolderWatch() override {
        if (m_link->state != nullptr) {
            m_link->state->folderWatches.erase(m_id);
        }
    }
    HeadlessFolderWatch(const HeadlessFolderWatch&) = delete;
    HeadlessFolderWatch& operator=(const HeadlessFolderWatch&) = delete;

private:
    std::shared_ptr<StateLink> m_link;
    int m_id;
};

}  // namespace

// The folder is real: a missing one cannot be watched, as on a real desktop.
std::unique_ptr<FolderWatch> HeadlessFolderWatcher::watch(std::wstring_view folder, std::function<void()> changed) {
    std::wstring key = folderKey(folder);
    if (!isFolder(key)) {
        return nullptr;
    }
    const int id = m_state->nextFolderWatch++;
    m_state->folderWatches[id] = {std::move(key), std::move(changed)};
    return std::make_unique<HeadlessFolderWatch>(m_state->link, id);
}

// A call may end its own watch or another one; each watch is looked up again before
// it is called, and its callback copied, as the call may destroy it.
void HeadlessPlatform::changeFolder(std::wstring_view folder) {
    const std::wstring key = folderKey(folder);
    std::vector<int> due;
    for (const auto& [id, entry] : m_state->folderWatches) {
        if (entry.folder == key) {
            due.push_back(id);
        }
    }
    for (const int id : due) {
        const auto it = m_state->folderWatches.find(id);
        if (it != m_state->folderWatches.end()) {
            const std::function<void()> changed = it->second.changed;
            raiseEvent(*m_state->link, changed);
        }
    }
}

int HeadlessPlatform::folderWatches() const {
    return static_cast<int>(m_state->folderWatches.size());
}

}  // namespace plat::headless

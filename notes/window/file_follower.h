// Pages without unsaved edits follow their files: another window's Save, a sync tool
// or an editor that replaces a page file shows in this window within a second. The
// data folder is watched, not the files, as savers replace files by rename; nothing
// runs while nothing changes.
#pragma once

#include <functional>
#include <memory>

#include "notes/pagestore/page_files.h"
#include "platform/platform.h"
#include "platform/services/folder_watch.h"

namespace notes {

class FileFollower {
public:
    // `follow` gives page `index` its file's text now; `followed` runs after a look
    // that followed one page or more.
    FileFollower(PageSet& pages, std::function<void(int index)> follow, std::function<void()> followed);
    ~FileFollower();
    FileFollower(const FileFollower&) = delete;
    FileFollower& operator=(const FileFollower&) = delete;

    // Starts following, once the pages are loaded, and watching the data folder where
    // it is not watched yet (it may not exist before the first save).
    void watch();
    // Looks at every page file now (the window was activated, say); nothing before
    // the pages are loaded.
    void look();

    // How long changes close together are let settle before a look.
    static constexpr int kSettleMs = 100;

private:
    void changed();

    PageSet& m_pages;
    std::function<void(int)> m_follow;
    std::function<void()> m_followed;
    std::unique_ptr<plat::FolderWatch> m_watch;
    int m_timer = 0;
    bool m_started = false;
};

}  // namespace notes

// Following page files. A change on disk is looked at after a short settling time,
// so that a file written in pieces is read once it is whole; a page whose file is
// the version it shows (this window's own save, say) is passed by.
#include "notes/window/file_follower.h"

#include "platform/services/files.h"
#include "platform/services/program_info.h"
#include "platform/services/timers.h"

namespace notes {

FileFollower::FileFollower(PageSet& pages, std::function<void(int index)> follow, std::function<void()> followed)
    : m_pages(pages), m_follow(std::move(follow)), m_followed(std::move(followed)) {}

FileFollower::~FileFollower() {
    m_pages.platform().timers().stopTimer(m_timer);
}

void FileFollower::watch() {
    m_started = true;
    if (!m_watch) {
        m_watch =
            m_pages.platform().folderWatcher().watch(m_pages.platform().program().dataFolder(), [this] { changed(); });
    }
}

void FileFollower::changed() {
    if (m_timer == 0) {
        m_timer = m_pages.platform().timers().startTimer(kSettleMs, [this] {
            m_timer = 0;
            look();
        });
    }
}

// A page with unsaved edits is left as it is: its save meets the change. A file gone
// is not followed either, as that would leave its text nowhere; Save writes it again.
void FileFollower::look() {
    if (!m_started) {
        return;  // the window is shown (and made active) before its pages are loaded
    }
    const plat::Platform& platform = m_pages.platform();
    bool any = false;
    for (int i = 0; i < kPageCount; ++i) {
        const int number = i + 1;
        // A page not yet read takes its file as it is when it is first needed.
        if (m_pages.page(i).unread() || m_pages.page(i).changed() ||
            pageFileIs(platform, number, m_pages.baseline(i).origin) ||
            !platform.files().isOrdinaryFile(appFilePath(platform, pageFileName(number)))) {
            continue;
        }
        m_follow(i);
        any = true;
    }
    if (any) {
        m_followed();
    }
}

}  // namespace notes

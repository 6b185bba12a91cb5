// Unsaved text kept for recovery. While a page has edits that are not saved, a copy
// of its text waits in the folder "recovery" beside the page files: one file per page
// of each window, never loaded as a page. A window holds the lock of its own lock
// file there while it runs, so that a start tells the copies of windows that are gone
// (a crash, a kill, a power cut) from those of windows still running.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "notes/pagestore/page_files.h"
#include "platform/services/files.h"

namespace notes {

// One recovery copy: which page, the page file its edits started from, when it was
// written (milliseconds since 1970) and the text as Save would write it.
struct RecoveryRecord {
    int page = 0;  // index 0..9
    PageOrigin origin;
    std::int64_t written = 0;
    std::string pageBytes;
};

// The bytes of a recovery file, and back; none for bytes that are not one whole record
// (a file cut short, or not ours).
std::string formatRecovery(const RecoveryRecord& record);
std::optional<RecoveryRecord> parseRecovery(std::string_view bytes);

// What a start found of the unsaved text of windows that are gone.
struct RecoveryReport {
    std::vector<int> recovered;                            // page numbers now holding a recovered text, unsaved
    std::vector<int> changedSince;                         // of those, pages whose file changed after the edits began
    std::vector<std::pair<int, std::wstring>> keptBeside;  // page number, file beside the pages
    PageProblems problems;                                 // texts that could not be put anywhere; their copies stay
    bool empty() const { return recovered.empty() && keptBeside.empty() && problems.empty(); }
};

// Name of the file beside the pages that keeps an older unsaved text of page
// `number`, written at `written`: "page3 (unsaved text 2026-12-10 0942).txt".
std::wstring unsavedCopyName(int number, std::int64_t written);

// The recovery files of one window: its own lock, its copies, and the copies that
// windows no longer running left behind.
class RecoveryStore {
public:
    // `owner` names this window's files; unique among the windows that ever ran here.
    RecoveryStore(plat::Platform& platform, std::wstring owner);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // Makes the folder and takes this window's lock, once; until then no copy is
    // written, so that a copy is never seen without a live owner's lock.
    plat::FileStatus claim();
    // Writes the copy of `record.page` atomically. Uses the files and the character
    // set only, so it may run off the window's thread; claim() must have succeeded.
    plat::FileStatus write(const RecoveryRecord& record) const;
    // Removes the copy of page `index`, if there is one.
    void remove(int index);
    // Removes every copy of this window and its lock file.
    void removeAll();
    // Whether page `index` has a copy on disk: this window's, or a gone window's that
    // stands in for it.
    bool has(int index) const {
        const auto i = static_cast<std::size_t>(index);
        return m_written[i] || !m_foreign[i].empty();
    }
    // This window's copy of page `index` is on disk (a stand-in for it is then removed).
    void markWritten(int index);
    // A gone window's copy stands in for this window's own copy of page `index`.
    void standIn(int index, std::wstring fileName) { m_foreign[static_cast<std::size_t>(index)] = std::move(fileName); }

    // A copy left by a window that is gone, with its file, its owner's lock taken.
    struct Orphan {
        RecoveryRecord record;
        std::wstring fileName;
    };
    // Reads the copies of every window that no longer holds its lock. Unreadable copies
    // are left where they are.
    std::vector<Orphan> takeOrphans();
    // Removes an orphan's file once its text is safe elsewhere.
    void dropOrphan(const Orphan& orphan);
    // Lets go of the dead windows' locks, removing the lock files of those whose copies
    // are all gone.
    void releaseOrphans();

    std::wstring path(const std::wstring& fileName) const;
    std::wstring copyName(int index) const;

private:
    void dropStandIn(int index);

    plat::Platform& m_platform;
    std::wstring m_owner;
    std::wstring m_folder;
    std::unique_ptr<plat::FileLock> m_lock;
    std::array<bool, kPageCount> m_written{};
    // A gone window's copy that holds a page's text until this window's own is written.
    std::array<std::wstring, kPageCount> m_foreign;
    // Locks of windows found gone, held while their copies are taken over.
    std::vector<std::pair<std::wstring, std::unique_ptr<plat::FileLock>>> m_deadOwners;
};

// Puts the newest unsaved text that a gone window left for each page into the page,
// as an unsaved edit whose origin is the file that text started from, and keeps
// it in `store` as this window's copy. An older text of the same page goes into a file
// beside the pages. A gone window's copy is removed only once its text is safe.
RecoveryReport RecoverPages(PageSet& pages, RecoveryStore& store);

}  // namespace notes

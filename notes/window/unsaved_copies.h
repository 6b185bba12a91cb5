// Keeps a copy of each page's unsaved text for recovery after a crash: written within
// a second after typing pauses and at least every two seconds while it goes on, off
// the window's thread, from a snapshot of the text. Nothing runs while nothing
// changes: no timer is armed while every copy is up to date.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "notes/pagestore/recovery.h"
#include "platform/platform.h"
#include "platform/services/background.h"

namespace notes {

class UnsavedCopies {
public:
    // A write that failed is told to `report` once (the text stays in the window).
    using Report = std::function<void(const std::wstring& message)>;

    UnsavedCopies(PageSet& pages, Report report);
    ~UnsavedCopies();
    UnsavedCopies(const UnsavedCopies&) = delete;
    UnsavedCopies& operator=(const UnsavedCopies&) = delete;

    // Page `index` changed: its copy is due.
    void pageChanged(int index);
    // Start-up: puts back the unsaved text of windows that are gone. Returns the
    // message that says what came back, empty when nothing did.
    std::wstring recover();
    // Before a save: a write under way ends first, so that it cannot bring back a copy
    // that the save removes.
    void settle();
    // After a save: the copies of pages now saved go.
    void saved();
    // "Exit Without Save": every copy goes.
    void discard();
    // The window closes: a page still unsaved (its save failed) keeps an up-to-date
    // copy, found at the next start; the others go.
    void close();

    // How long a pause in typing is, and the longest that typing may go on unrecorded:
    // short of the promised second and two seconds by the time a write takes.
    static constexpr int kPauseMs = 750;
    static constexpr int kLongestMs = 1500;

private:
    struct Batch;
    void tick();
    void schedule(int milliseconds);
    void startWrite();
    void collect();
    void tellFailure();
    std::shared_ptr<Batch> snapshot();
    void writeNow(Batch& batch);
    bool anyDirty() const;

    PageSet& m_pages;
    plat::Platform& m_platform;
    Report m_report;
    RecoveryStore m_store;
    std::array<bool, kPageCount> m_dirty{};  // changed since its copy was last written
    std::int64_t m_firstChange = 0;          // of the changes not yet written
    std::int64_t m_lastChange = 0;
    int m_timer = 0;
    std::unique_ptr<plat::BackgroundTask> m_task;
    std::shared_ptr<Batch> m_batch;  // what m_task writes
    bool m_reported = false;
    std::wstring m_unreported;  // a failure waiting for a message box to close
};

}  // namespace notes

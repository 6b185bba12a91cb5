// The recovery copies of one window. One timer at most runs: armed by the first
// change, it fires when a write is due (a pause, or the longest wait) and, while a
// write is under way, to collect its result. The text is copied on the window's
// thread; encoding, writing and flushing happen on a background task.
#include "notes/window/unsaved_copies.h"

#include "notes/pagestore/text_codec.h"
#include "platform/services/program_info.h"
#include "platform/services/timers.h"

namespace notes {
namespace {

// How often a write under way is looked at, and whether a message box has closed.
constexpr int kCollectMs = 50;
constexpr int kRetellMs = 250;

// A window's files are told apart by its process and the moment it started.
std::wstring ownerName(const plat::Platform& platform) {
    return std::to_wstring(platform.program().processId()) + L"-" + std::to_wstring(wallClockMs());
}

std::wstring describe(const RecoveryReport& report) {
    std::wstring text;
    if (!report.recovered.empty()) {
        text = L"Text that was not saved when Quibbets last ended is back on " + pageList(report.recovered) +
               L". It is not saved yet: Save keeps it, Exit Without Save drops it.";
    }
    if (!report.changedSince.empty()) {
        text += L"\r\n\r\nThe file of " + pageList(report.changedSince) +
                L" has changed since that text was typed; Save puts the recovered text in its place.";
    }
    for (const auto& [number, name] : report.keptBeside) {
        text += L"\r\n\r\nAn older unsaved text of page " + std::to_wstring(number) + L" is in \"" + name +
                L"\" beside the pages.";
    }
    if (!report.problems.empty()) {
        text += L"\r\n\r\nThese unsaved texts could not be put back and stay in the recovery folder:\r\n" +
                describeProblems(report.problems);
    }
    return text.starts_with(L"\r\n") ? text.substr(4) : text;
}

}  // namespace

// What one write takes along: the pages' texts as they were, and what became of each.
struct UnsavedCopies::Batch {
    struct Page {
        RecoveryRecord record;  // with the page's bytes as Save would write them
        plat::FileStatus status;
    };
    std::vector<Page> pages;
};

UnsavedCopies::UnsavedCopies(PageSet& pages, Report report)
    : m_pages(pages),
      m_platform(pages.platform()),
      m_report(std::move(report)),
      m_store(m_platform, ownerName(m_platform)) {}

UnsavedCopies::~UnsavedCopies() {
    m_platform.timers().stopTimer(m_timer);
    if (m_task) {
        m_task->wait();
    }
}

void UnsavedCopies::pageChanged(int index) {
    const std::int64_t now = m_platform.timers().nowMilliseconds();
    if (!anyDirty()) {
        m_firstChange = now;
    }
    m_dirty[static_cast<std::size_t>(index)] = true;
    m_lastChange = now;
    if (m_timer == 0) {
        schedule(kPauseMs);
    }
}

std::wstring UnsavedCopies::recover() {
    return describe(RecoverPages(m_pages, m_store));
}

bool UnsavedCopies::anyDirty() const {
    for (const bool dirty : m_dirty) {
        if (dirty) {
            return true;
        }
    }
    return false;
}

void UnsavedCopies::schedule(int milliseconds) {
    m_platform.timers().stopTimer(m_timer);
    m_timer = m_platform.timers().startTimer(milliseconds, [this] {
        m_timer = 0;
        tick();
    });
}

void UnsavedCopies::tick() {
    if (!m_unreported.empty()) {
        tellFailure();
    }
    if (m_task) {
        if (!m_task->finished()) {
            schedule(kCollectMs);
            return;
        }
        collect();
    }
    if (!anyDirty()) {
        return;
    }
    const std::int64_t due = std::min(m_lastChange + kPauseMs, m_firstChange + kLongestMs);
    const std::int64_t now = m_platform.timers().nowMilliseconds();
    if (now < due) {
        schedule(static_cast<int>(due - now));
        return;
    }
    startWrite();
}

// The snapshot is the pages' bytes as Save would write them, made here on the
// window's thread from the editors' text, read out in pieces: for a plain page a byte
// a character, a quarter of a wide copy, and no pass over the text but this one.
// Pages changed back to saved (an Undo, say) lose their copy instead.
std::shared_ptr<UnsavedCopies::Batch> UnsavedCopies::snapshot() {
    auto batch = std::make_shared<Batch>();
    const std::int64_t written = wallClockMs();
    for (int i = 0; i < kPageCount; ++i) {
        if (!m_dirty[static_cast<std::size_t>(i)]) {
            continue;
        }
        m_dirty[static_cast<std::size_t>(i)] = false;
        const PageText& page = m_pages.page(i);
        // An empty page without a file holds nothing to lose (Clear All empties them all).
        if (!page.changed() || (page.textLength() == 0 && m_pages.baseline(i).empty())) {
            m_store.remove(i);
            continue;
        }
        Batch::Page entry;
        entry.record = {i, m_pages.baseline(i).origin, written, {}};
        PageEncoder encoder(m_platform, entry.record.pageBytes);
        page.readText([&](std::wstring_view piece) { encoder.add(piece); });
        encoder.finish();
        batch->pages.push_back(std::move(entry));
    }
    return batch;
}

void UnsavedCopies::writeNow(Batch& batch) {
    for (Batch::Page& page : batch.pages) {
        page.status = m_store.write(page.record);
        page.record.pageBytes = {};
    }
}

void UnsavedCopies::startWrite() {
    std::shared_ptr<Batch> batch = snapshot();
    if (batch->pages.empty()) {
        return;
    }
    const plat::FileStatus claimed = m_store.claim();
    if (!claimed.ok) {
        for (Batch::Page& page : batch->pages) {
            page.status = claimed;
        }
        m_batch = batch;
        collect();
        return;
    }
    m_batch = batch;
    m_task = m_platform.background().start([this, batch] { writeNow(*batch); });
    schedule(kCollectMs);
}

// A page whose write failed is written again with its next change; the failure is
// told once, as typing must go on.
void UnsavedCopies::collect() {
    m_task.reset();
    const std::shared_ptr<Batch> batch = std::move(m_batch);
    std::wstring error;
    for (const Batch::Page& page : batch->pages) {
        if (page.status.ok) {
            m_store.markWritten(page.record.page);
        } else {
            m_dirty[static_cast<std::size_t>(page.record.page)] = true;
            error = page.status.error;
        }
    }
    if (!error.empty() && !m_reported) {
        m_unreported = error;
        tellFailure();
    }
}

// Never over another message: the user may be answering a question about the same
// disk, whose keys must not land in this box.
void UnsavedCopies::tellFailure() {
    if (m_platform.messageBoxOpen()) {
        schedule(kRetellMs);
        return;
    }
    m_reported = true;
    const std::wstring error = std::move(m_unreported);
    m_unreported.clear();
    m_report(L"Unsaved text cannot be kept for recovery, so a crash now would lose it:\r\n\r\n" + error +
             L"\r\n\r\nThe text stays in the window: save it to keep it.");
}

void UnsavedCopies::settle() {
    if (m_task) {
        m_task->wait();
        collect();
    }
}

void UnsavedCopies::saved() {
    settle();
    for (int i = 0; i < kPageCount; ++i) {
        if (!m_pages.page(i).changed()) {
            m_store.remove(i);
            m_dirty[static_cast<std::size_t>(i)] = false;
        }
    }
    if (!anyDirty()) {
        m_platform.timers().stopTimer(m_timer);
        m_timer = 0;
    }
}

void UnsavedCopies::discard() {
    settle();
    m_platform.timers().stopTimer(m_timer);
    m_timer = 0;
    m_dirty = {};
    m_store.removeAll();
}

// The last changes are written here and now: the window is going.
void UnsavedCopies::close() {
    saved();
    m_platform.timers().stopTimer(m_timer);
    m_timer = 0;
    if (anyDirty() && m_store.claim().ok) {
        const std::shared_ptr<Batch> batch = snapshot();
        writeNow(*batch);
        for (const Batch::Page& page : batch->pages) {
            if (page.status.ok) {
                m_store.markWritten(page.record.page);
            }
        }
    }
    for (int i = 0; i < kPageCount; ++i) {
        if (m_store.has(i)) {
            return;  // the lock goes with the process; the copy waits for the next start
        }
    }
    m_store.removeAll();
}

}  // namespace notes

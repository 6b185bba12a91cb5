// Recovery files: the record format, and the lock that tells a live window's copies
// from a dead one's. A window's files are "<owner>.lock" and "<owner>.page<n>"; the
// lock file comes first and goes last, so a copy never lies there without its owner's
// lock while the owner runs.
#include "notes/pagestore/recovery.h"

#include "notes/pagestore/text_codec.h"
#include "platform/platform.h"
#include "platform/services/files.h"
#include "platform/services/program_info.h"
#include "platform/services/status.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace notes {
namespace {

constexpr std::string_view kMagic = "Quibbets unsaved text 1";
constexpr wchar_t kLockSuffix[] = L".lock";
constexpr wchar_t kCopyInfix[] = L".page";

std::string line(std::string_view key, const std::vector<std::uint64_t>& values) {
    std::string text(key);
    for (const std::uint64_t value : values) {
        text += ' ' + std::to_string(value);
    }
    return text + "\r\n";
}

// The next "key n n n" line of `bytes`, its numbers in `values`; false when the line
// is not that.
bool readLine(std::string_view& bytes, std::string_view key, std::vector<std::uint64_t>& values) {
    const std::size_t end = bytes.find("\r\n");
    if (end == std::string_view::npos) {
        return false;
    }
    std::string_view text = bytes.substr(0, end);
    bytes.remove_prefix(end + 2);
    if (!text.starts_with(key)) {
        return false;
    }
    text.remove_prefix(key.size());
    values.clear();
    while (!text.empty()) {
        if (text.front() != ' ') {
            return false;
        }
        text.remove_prefix(1);
        std::uint64_t value = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc()) {
            return false;
        }
        values.push_back(value);
        text.remove_prefix(static_cast<std::size_t>(result.ptr - text.data()));
    }
    return true;
}

// The owner part of a recovery file's name: what precedes its first dot.
std::wstring ownerOf(const std::wstring& name) {
    return name.substr(0, name.find(L'.'));
}

bool isCopy(const std::wstring& name) {
    return name.find(kCopyInfix) != std::wstring::npos && !name.ends_with(plat::kTempSuffix);
}

}  // namespace

std::string formatRecovery(const RecoveryRecord& r) {
    const PageDigest& d = r.origin.digest;
    std::string text = std::string(kMagic) + "\r\n";
    text += line("page", {static_cast<std::uint64_t>(r.page + 1)});
    text += line("digest", {d.first, d.second, d.length});
    if (r.origin.identity) {
        const plat::FileIdentity& f = *r.origin.identity;
        text += line("file", {f.size, static_cast<std::uint64_t>(f.modified), f.id});
    } else {
        text += line("file", {});
    }
    text += line("written", {static_cast<std::uint64_t>(r.written)});
    text += line("bytes", {r.pageBytes.size()});
    return text + "\r\n" + r.pageBytes;
}

std::optional<RecoveryRecord> parseRecovery(std::string_view bytes) {
    if (!bytes.starts_with(kMagic) || !bytes.substr(kMagic.size()).starts_with("\r\n")) {
        return std::nullopt;
    }
    bytes.remove_prefix(kMagic.size() + 2);
    std::vector<std::uint64_t> page, digest, file, written, size;
    if (!readLine(bytes, "page", page) || !readLine(bytes, "digest", digest) || !readLine(bytes, "file", file) ||
        !readLine(bytes, "written", written) || !readLine(bytes, "bytes", size) || !bytes.starts_with("\r\n")) {
        return std::nullopt;
    }
    bytes.remove_prefix(2);
    if (page.size() != 1 || page[0] < 1 || page[0] > kPageCount || digest.size() != 3 ||
        (file.size() != 0 && file.size() != 3) || written.size() != 1 || size.size() != 1 || size[0] != bytes.size()) {
        return std::nullopt;
    }
    RecoveryRecord r;
    r.page = static_cast<int>(page[0]) - 1;
    r.origin.digest = {digest[0], digest[1], static_cast<std::size_t>(digest[2])};
    if (file.size() == 3) {
        r.origin.identity = plat::FileIdentity{file[0], static_cast<std::int64_t>(file[1]), file[2]};
    }
    r.written = static_cast<std::int64_t>(written[0]);
    r.pageBytes.assign(bytes);
    return r;
}

std::wstring unsavedCopyName(int number, std::int64_t written) {
    return besidePageName(number, L"unsaved text", written);
}

RecoveryStore::RecoveryStore(plat::Platform& platform, std::wstring owner)
    : m_platform(platform), m_owner(std::move(owner)), m_folder(appFilePath(platform, kRecoveryFolder)) {}

RecoveryStore::~RecoveryStore() = default;

std::wstring RecoveryStore::path(const std::wstring& fileName) const {
    return m_folder + std::wstring(m_platform.program().pathSeparator()) + fileName;
}

std::wstring RecoveryStore::copyName(int index) const {
    return m_owner + kCopyInfix + std::to_wstring(index + 1);
}

plat::FileStatus RecoveryStore::claim() {
    if (m_lock) {
        return {};
    }
    plat::Files& files = m_platform.files();
    plat::FileStatus status = files.makeFolder(m_platform.program().dataFolder());
    if (status.ok) {
        status = files.makeFolder(m_folder);
    }
    if (!status.ok) {
        return status;
    }
    m_lock = files.tryLock(path(m_owner + kLockSuffix));
    if (!m_lock) {
        return {false, L"The lock file in the recovery folder could not be opened."};
    }
    return {};
}

plat::FileStatus RecoveryStore::write(const RecoveryRecord& record) const {
    return m_platform.files().writeFileAtomic(path(copyName(record.page)), formatRecovery(record));
}

void RecoveryStore::dropStandIn(int index) {
    std::wstring& standIn = m_foreign[static_cast<std::size_t>(index)];
    if (!standIn.empty()) {
        m_platform.files().removeFile(path(standIn));
        standIn.clear();
    }
}

void RecoveryStore::markWritten(int index) {
    m_written[static_cast<std::size_t>(index)] = true;
    dropStandIn(index);
}

void RecoveryStore::remove(int index) {
    const auto i = static_cast<std::size_t>(index);
    if (m_written[i]) {
        m_platform.files().removeFile(path(copyName(index)));
        m_written[i] = false;
    }
    dropStandIn(index);
}

// The lock file goes only when no copy of this window is left: one that a failed save
// keeps must be found, ownerless, at the next start.
void RecoveryStore::removeAll() {
    for (int i = 0; i < kPageCount; ++i) {
        remove(i);
    }
    if (m_lock) {
        m_platform.files().removeFile(path(m_owner + kLockSuffix));
        m_lock.reset();
    }
}

std::vector<RecoveryStore::Orphan> RecoveryStore::takeOrphans() {
    std::vector<Orphan> orphans;
    std::set<std::wstring> owners;
    for (const plat::FileEntry& entry : m_platform.files().listFiles(m_folder)) {
        if (!entry.name.ends_with(plat::kTempSuffix) && ownerOf(entry.name) != m_owner) {
            owners.insert(ownerOf(entry.name));
        }
    }
    for (const std::wstring& owner : owners) {
        std::unique_ptr<plat::FileLock> lock = m_platform.files().tryLock(path(owner + kLockSuffix));
        if (lock) {
            m_deadOwners.emplace_back(owner, std::move(lock));
        }
    }
    for (const plat::FileEntry& entry : m_platform.files().listFiles(m_folder)) {
        const bool dead = std::any_of(m_deadOwners.begin(), m_deadOwners.end(),
                                      [&](const auto& o) { return o.first == ownerOf(entry.name); });
        std::string bytes;
        if (!dead || !isCopy(entry.name) || !m_platform.files().readFile(path(entry.name), bytes).ok) {
            continue;
        }
        if (std::optional<RecoveryRecord> record = parseRecovery(bytes)) {
            orphans.push_back({std::move(*record), entry.name});
        }
    }
    return orphans;
}

void RecoveryStore::dropOrphan(const Orphan& orphan) {
    m_platform.files().removeFile(path(orphan.fileName));
}

void RecoveryStore::releaseOrphans() {
    const std::vector<plat::FileEntry> left = m_platform.files().listFiles(m_folder);
    for (auto& dead : m_deadOwners) {
        const std::wstring& owner = dead.first;
        const bool copiesLeft = std::any_of(left.begin(), left.end(), [&](const plat::FileEntry& e) {
            return ownerOf(e.name) == owner && isCopy(e.name);
        });
        if (!copiesLeft) {
            m_platform.files().removeFile(path(owner + kLockSuffix));
        }
        dead.second.reset();
    }
    m_deadOwners.clear();
}

namespace {

// The newest first.
void sortByAge(std::vector<RecoveryStore::Orphan>& orphans) {
    std::sort(orphans.begin(), orphans.end(),
              [](const auto& a, const auto& b) { return a.record.written > b.record.written; });
}

// An older text goes beside the pages under a name that says what it is.
void keepBeside(PageSet& pages, RecoveryStore& store, const RecoveryStore::Orphan& orphan, RecoveryReport& report) {
    plat::Platform& platform = pages.platform();
    const int number = orphan.record.page + 1;
    const std::wstring name = freeBesideName(platform, unsavedCopyName(number, orphan.record.written));
    const plat::FileStatus status = writeAppFile(platform, name, orphan.record.pageBytes);
    if (status.ok) {
        store.dropOrphan(orphan);
        report.keptBeside.emplace_back(number, name);
    } else {
        report.problems.push_back({name, status.error});
    }
}

// The newest text goes into its page, unless the page file already holds it (the gone
// window saved it and ended before removing its copy).
void putBack(PageSet& pages, RecoveryStore& store, const RecoveryStore::Orphan& orphan, RecoveryReport& report) {
    const RecoveryRecord& record = orphan.record;
    const int number = record.page + 1;
    pages.page(record.page).read();  // the copy is weighed against what the file holds
    PageBaseline& baseline = pages.baseline(record.page);
    if (digestOf(record.pageBytes) == baseline.file && pageFileIs(pages.platform(), number, baseline.origin)) {
        store.dropOrphan(orphan);
        return;
    }
    auto text = std::make_shared<std::wstring>(decodePageFile(pages.platform(), record.pageBytes));
    PageText& page = pages.page(record.page);
    page.loadText([text] { return *text; }, text->size());
    page.setModified(true);
    if (!pageFileIs(pages.platform(), number, record.origin)) {
        report.changedSince.push_back(number);
    }
    baseline.origin = record.origin;
    report.recovered.push_back(number);
    if (store.claim().ok && store.write(record).ok) {
        store.markWritten(record.page);
        store.dropOrphan(orphan);
    } else {
        store.standIn(record.page, orphan.fileName);
    }
}

}  // namespace

RecoveryReport RecoverPages(PageSet& pages, RecoveryStore& store) {
    RecoveryReport report;
    std::vector<RecoveryStore::Orphan> orphans = store.takeOrphans();
    sortByAge(orphans);
    std::array<bool, kPageCount> placed{};
    for (const RecoveryStore::Orphan& orphan : orphans) {
        bool& first = placed[static_cast<std::size_t>(orphan.record.page)];
        if (first) {
            keepBeside(pages, store, orphan, report);
        } else {
            putBack(pages, store, orphan, report);
            first = true;
        }
    }
    store.releaseOrphans();
    return report;
}

}  // namespace notes

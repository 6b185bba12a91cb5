// Saving and loading the ten page files. A page file is replaced in one atomic
// step, so after a crash it holds either its old or its new text.
#include "notes/pagestore/page_files.h"

#include "notes/pagestore/text_codec.h"
#include "platform/platform.h"
#include "platform/services/files.h"
#include "platform/services/program_info.h"
#include "platform/services/shell.h"
#include "platform/services/status.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <cwchar>
#include <memory>
#include <optional>

namespace notes {
namespace {

// A temporary file this old cannot belong to a save still under way.
constexpr double kStaleTempSeconds = 60;

std::wstring pagePath(const plat::Platform& platform, int number) {
    return appFilePath(platform, pageFileName(number));
}

// A page whose text is unchanged still gets written when its file has gone, so that
// its text is not lost at the next start.
bool fileMissing(const plat::Platform& platform, const PageBaseline& baseline, int number) {
    return !baseline.empty() && !platform.files().isOrdinaryFile(pagePath(platform, number));
}

// Writes page `number` when its text differs from its baseline or its file has gone.
// A page emptied since its last load or save gets a file holding only a line end, so
// that the old text does not come back at the next start. `bytes` is room for the
// file's bytes, used again page after page.
void savePage(PageSet& pages, int number, PageProblems& problems, PageProblems* warnings, std::string& bytes) {
    plat::Platform& platform = pages.platform();
    PageText& editor = pages.page(number - 1);
    PageBaseline& baseline = pages.baseline(number - 1);
    PageEncoder encoder(platform, bytes);
    editor.readText([&](std::wstring_view piece) { encoder.add(piece); });
    if (encoder.length() == 0 && baseline.empty()) {
        editor.setModified(false);
        return;
    }
    const PageDigest digest = encoder.finish();
    if (digest == baseline.file && !fileMissing(platform, baseline, number)) {
        editor.setModified(false);
        return;
    }
    plat::FileIdentity written;
    const plat::FileStatus status = writeAppFile(platform, pageFileName(number), bytes, &written);
    if (status.ok) {
        baseline = {digest, encoder.length(), {written, digest}};
        editor.setModified(false);
        if (warnings != nullptr && !status.warning.empty()) {
            warnings->push_back({pageFileName(number), status.warning});
        }
    } else {
        problems.push_back({pageFileName(number), status.error});
    }
}

// The bytes page `number` would be written as now, and their digest.
PageDigest encodePage(PageSet& pages, int number, std::string& bytes) {
    PageEncoder encoder(pages.platform(), bytes);
    pages.page(number - 1).readText([&](std::wstring_view piece) { encoder.add(piece); });
    return encoder.finish();
}

// A temporary file is left over from a crash when its writer is no longer running,
// or when it is too old to belong to a save under way. A live writer's recent file
// may be another copy of the program saving now, and is left alone. One that bears
// this process's own id is a dead copy's whose id came round again: at start this
// process has written nothing yet.
bool isLeftover(const plat::Platform& platform, const plat::FileEntry& entry) {
    if (entry.ageSeconds >= kStaleTempSeconds) {
        return true;
    }
    const std::optional<std::uint32_t> writer = plat::tempFileWriter(entry.name);
    return writer && (*writer == platform.program().processId() || !platform.shell().isProcessRunning(*writer));
}

// Plain ASCII ending in the writer's line end is read into text a byte a character
// and written back byte for byte: its baseline comes from the bytes as they are, so
// that a hidden page is not decoded before it is first shown.
bool writtenAsSaveWrites(std::string_view bytes) {
    unsigned char any = 0;
    for (const char byte : bytes) {
        any |= static_cast<unsigned char>(byte);
    }
    return any < 0x80 && bytes.ends_with(kLineEnd);
}

// The baseline is the text as Save would write it, which need not be the file's
// bytes (a file from elsewhere).
PageBaseline baselineOf(const plat::Platform& platform, const std::string& bytes) {
    const PageDigest fileDigest = digestOf(bytes);
    if (writtenAsSaveWrites(bytes)) {
        return {fileDigest, bytes.size() - kLineEnd.size(), {std::nullopt, fileDigest}};
    }
    const std::wstring text = decodePageFile(platform, bytes);
    PageDigest digest;
    encodePageFile(platform, text, &digest);
    return {digest, text.size(), {std::nullopt, fileDigest}};
}

void removeStaleTempFiles(plat::Platform& platform, const std::wstring& folder) {
    for (const plat::FileEntry& entry : platform.files().listFiles(folder)) {
        if (entry.name.ends_with(plat::kTempSuffix) && isLeftover(platform, entry)) {
            platform.files().removeFile(folder + std::wstring(platform.program().pathSeparator()) + entry.name);
        }
    }
}

}  // namespace

std::wstring pageFileName(int number) {
    return L"page" + std::to_wstring(number) + L".txt";
}

std::wstring appFilePath(const plat::Platform& platform, const std::wstring& fileName) {
    return platform.program().dataFolder() + std::wstring(platform.program().pathSeparator()) + fileName;
}

std::int64_t wallClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::wstring besidePageName(int number, std::wstring_view what, std::int64_t when) {
    const auto seconds = static_cast<std::time_t>(when / 1000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    wchar_t stamp[32];
    std::wcsftime(stamp, sizeof stamp / sizeof stamp[0], L"%Y-%m-%d %H%M", &local);
    return L"page" + std::to_wstring(number) + L" (" + std::wstring(what) + L" " + stamp + L").txt";
}

std::wstring freeBesideName(const plat::Platform& platform, const std::wstring& name) {
    std::wstring free = name;
    for (int n = 2; platform.files().exists(appFilePath(platform, free)); ++n) {
        free = name;
        free.insert(free.size() - 5, L" " + std::to_wstring(n));  // before ").txt"
    }
    return free;
}

plat::FileStatus writeAppFile(plat::Platform& platform, const std::wstring& fileName, std::string_view bytes,
                              plat::FileIdentity* written) {
    const plat::FileStatus folder = platform.files().makeFolder(platform.program().dataFolder());
    if (!folder.ok) {
        return folder;
    }
    return platform.files().writeFileAtomic(appFilePath(platform, fileName), bytes, written);
}

namespace {

// The bytes of a page file that is there, as they are now.
std::optional<std::string> fileBytes(const plat::Platform& platform, int number) {
    std::string bytes;
    if (!platform.files().isOrdinaryFile(pagePath(platform, number)) ||
        !platform.files().readFile(pagePath(platform, number), bytes).ok) {
        return std::nullopt;
    }
    return bytes;
}

// Puts `bytes`, read from page `number`'s file at `identity`, into the page as its
// saved text.
void takeFile(PageSet& pages, int number, std::shared_ptr<const std::string> bytes,
              const std::optional<plat::FileIdentity>& identity) {
    plat::Platform& platform = pages.platform();
    PageBaseline& baseline = pages.baseline(number - 1);
    baseline = baselineOf(platform, *bytes);
    baseline.origin.identity = identity;
    pages.page(number - 1)
        .loadText([&platform, bytes] { return decodePageFile(platform, *bytes); }, baseline.textLength);
}

// A page to be written whose file is there and another than the one its text started
// from. Edited back to the text of its start, the page has nothing of its own and
// follows the file instead (true).
bool followsInstead(PageSet& pages, int number) {
    std::string bytes;
    const bool same = encodePage(pages, number, bytes) == pages.baseline(number - 1).file;
    return same && !ReloadPage(pages, number);
}

std::vector<PageConflict> conflictsAmong(PageSet& pages, std::vector<int>& due) {
    const plat::Platform& platform = pages.platform();
    std::vector<PageConflict> conflicts;
    const std::int64_t now = wallClockMs();
    std::erase_if(due, [&](int n) {
        // One look at the file: where it is the version the page shows, a save costs
        // nothing more.
        const std::optional<plat::FileIdentity> identity = platform.files().identify(pagePath(platform, n));
        const bool changedOnDisk = identity && !pageFileIs(platform, n, pages.baseline(n - 1).origin, identity);
        if (!changedOnDisk) {
            return false;
        }
        if (followsInstead(pages, n)) {
            return true;
        }
        conflicts.push_back({n, freeBesideName(platform, besidePageName(n, L"changed elsewhere", now)),
                             freeBesideName(platform, besidePageName(n, L"from this window", now))});
        return false;
    });
    return conflicts;
}

// Both texts of a page in conflict survive: the one that leaves the page file goes
// into its file beside the pages first, and the page file changes only once it is
// there.
void settle(PageSet& pages, const PageConflict& conflict, bool keepOwn, PageProblems& problems, PageProblems* warnings,
            std::string& bytes) {
    plat::Platform& platform = pages.platform();
    const int n = conflict.number;
    const std::optional<std::string> theirs = fileBytes(platform, n);
    if (!theirs) {
        problems.push_back({pageFileName(n), L"The file changed while it was being saved."});
        return;
    }
    if (keepOwn) {
        const plat::FileStatus kept = writeAppFile(platform, conflict.elsewhereCopy, *theirs);
        if (!kept.ok) {
            problems.push_back({conflict.elsewhereCopy, kept.error});
            return;
        }
        savePage(pages, n, problems, warnings, bytes);
        return;
    }
    const std::optional<plat::FileIdentity> identity = platform.files().identify(pagePath(platform, n));
    std::string own;
    encodePage(pages, n, own);
    const plat::FileStatus kept = writeAppFile(platform, conflict.windowCopy, own);
    if (!kept.ok) {
        problems.push_back({conflict.windowCopy, kept.error});
        return;
    }
    takeFile(pages, n, std::make_shared<const std::string>(*theirs), identity);
}

}  // namespace

PageProblems SavePages(PageSet& pages, PageProblems* warnings, const ConflictChoice& choose, std::string* room) {
    PageProblems problems;
    std::vector<int> due;
    for (int n = 1; n <= kPageCount; ++n) {
        const PageText& editor = pages.page(n - 1);
        if (editor.unread()) {
            continue;  // its text is its file's, whatever that holds
        }
        const PageBaseline& baseline = pages.baseline(n - 1);
        // The length is a free second look, for a whole new text that another
        // program put into the editor without the editor calling it a change.
        const bool unchanged = !editor.changed() && editor.textLength() == baseline.textLength;
        if (!unchanged || fileMissing(pages.platform(), baseline, n)) {
            due.push_back(n);
        }
    }
    const std::vector<PageConflict> conflicts = conflictsAmong(pages, due);
    const bool keepOwn = conflicts.empty() || !choose || choose(conflicts);
    std::string own;
    std::string& bytes = room != nullptr ? *room : own;
    for (const int n : due) {
        const auto conflict =
            std::find_if(conflicts.begin(), conflicts.end(), [n](const PageConflict& c) { return c.number == n; });
        if (conflict == conflicts.end()) {
            savePage(pages, n, problems, warnings, bytes);
        } else {
            settle(pages, *conflict, keepOwn, problems, warnings, bytes);
        }
    }
    return problems;
}

std::optional<PageProblem> ReloadPage(PageSet& pages, int number) {
    plat::Platform& platform = pages.platform();
    const std::wstring path = pagePath(platform, number);
    const std::optional<plat::FileIdentity> identity = platform.files().identify(path);
    auto bytes = std::make_shared<std::string>();
    if (identity) {
        const plat::FileStatus status = platform.files().readFile(path, *bytes);
        if (!status.ok) {
            return PageProblem{pageFileName(number), status.error};
        }
    }
    takeFile(pages, number, bytes, identity);
    if (!identity) {
        pages.baseline(number - 1) = {};
    }
    return std::nullopt;
}

namespace {

// Reads page `number`'s file, if there is one, into the page; a file that cannot be
// read leaves the page empty, and its baseline empty too: the file is only written
// over once the user puts text into its page.
std::optional<PageProblem> loadPage(PageSet& pages, int number) {
    plat::Platform& platform = pages.platform();
    const std::wstring path = pagePath(platform, number);
    if (!platform.files().isOrdinaryFile(path)) {
        pages.baseline(number - 1) = {};
        return std::nullopt;
    }
    auto bytes = std::make_shared<std::string>();
    // Taken before the read: a change in between then shows as a change later.
    const std::optional<plat::FileIdentity> identity = platform.files().identify(path);
    const plat::FileStatus status = platform.files().readFile(path, *bytes);
    std::optional<PageProblem> problem;
    if (!status.ok) {
        problem = PageProblem{pageFileName(number), status.error};
        bytes->clear();
    }
    // A hidden page keeps the file's bytes (a byte a character for most pages) rather
    // than its decoded text, until it is first shown.
    takeFile(pages, number, bytes, identity);
    return problem;
}

}  // namespace

PageProblems LoadPages(PageSet& pages, const std::function<void(const PageProblem&)>& lateProblem) {
    plat::Platform& platform = pages.platform();
    removeStaleTempFiles(platform, platform.program().dataFolder());
    removeStaleTempFiles(platform, appFilePath(platform, kRecoveryFolder));
    PageProblems problems;
    for (int n = 1; n <= kPageCount; ++n) {
        const std::optional<plat::FileIdentity> identity = platform.files().identify(pagePath(platform, n));
        if (n > 1 && identity && identity->size > kReadAtStartBytes) {
            // A big file is more than a line end, so its page's Go entry stays enabled.
            pages.page(n - 1).loadLater([&pages, n, lateProblem] {
                if (const std::optional<PageProblem> problem = loadPage(pages, n); problem && lateProblem) {
                    lateProblem(*problem);
                }
            });
        } else if (const std::optional<PageProblem> problem = loadPage(pages, n)) {
            problems.push_back(*problem);
        }
    }
    return problems;
}

bool pageFileIs(const plat::Platform& platform, int number, const PageOrigin& origin) {
    return pageFileIs(platform, number, origin, platform.files().identify(pagePath(platform, number)));
}

bool pageFileIs(const plat::Platform& platform, int number, const PageOrigin& origin,
                const std::optional<plat::FileIdentity>& now) {
    const std::wstring path = pagePath(platform, number);
    if (now == origin.identity) {
        return true;
    }
    if (!now || !origin.identity || now->size != origin.identity->size) {
        return false;
    }
    std::string bytes;
    return platform.files().readFile(path, bytes).ok && digestOf(bytes) == origin.digest;
}

std::wstring pageList(const std::vector<int>& numbers) {
    std::wstring text = numbers.size() == 1 ? L"page " : L"pages ";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            text += i + 1 == numbers.size() ? L" and " : L", ";
        }
        text += std::to_wstring(numbers[i]);
    }
    return text;
}

std::wstring describeProblems(const PageProblems& problems) {
    std::wstring lines;
    for (const PageProblem& problem : problems) {
        if (!lines.empty()) {
            lines += L"\r\n";
        }
        lines += problem.fileName + L": " + problem.reason;
    }
    return lines;
}

}  // namespace notes

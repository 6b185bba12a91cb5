// Saving and loading the ten page files. A page file is replaced in one atomic
// step, so after a crash it holds either its old or its new text.
#include "notes/pagestore/page_files.h"

#include "notes/pagestore/text_codec.h"
#include "platform/platform.h"

#include <cstdint>
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
// that the old text does not come back at the next start.
void savePage(PageSet& pages, int number, PageProblems& problems, PageProblems* warnings) {
    plat::Platform& platform = pages.platform();
    PageText& editor = pages.page(number - 1);
    PageBaseline& baseline = pages.baseline(number - 1);
    editor.readText([&](std::wstring_view text) {
        if (text.empty() && baseline.empty()) {
            editor.setModified(false);
            return;
        }
        const std::string bytes = encodePageFile(platform, text);
        const PageDigest digest = digestOf(bytes);
        if (digest == baseline.file && !fileMissing(platform, baseline, number)) {
            editor.setModified(false);
            return;
        }
        plat::FileIdentity written;
        const plat::FileStatus status = writeAppFile(platform, pageFileName(number), bytes, &written);
        if (status.ok) {
            baseline = {digest, text.size(), {written, digest}};
            editor.setModified(false);
            if (warnings != nullptr && !status.warning.empty()) {
                warnings->push_back({pageFileName(number), status.warning});
            }
        } else {
            problems.push_back({pageFileName(number), status.error});
        }
    });
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
    return {digestOf(encodePageFile(platform, text)), text.size(), {std::nullopt, fileDigest}};
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

plat::FileStatus writeAppFile(plat::Platform& platform, const std::wstring& fileName, std::string_view bytes,
                              plat::FileIdentity* written) {
    const plat::FileStatus folder = platform.files().makeFolder(platform.program().dataFolder());
    if (!folder.ok) {
        return folder;
    }
    return platform.files().writeFileAtomic(appFilePath(platform, fileName), bytes, written);
}

PageProblems SavePages(PageSet& pages, PageProblems* warnings) {
    PageProblems problems;
    for (int n = 1; n <= kPageCount; ++n) {
        const PageText& editor = pages.page(n - 1);
        const PageBaseline& baseline = pages.baseline(n - 1);
        // The length is a free second look, for a whole new text that another
        // program put into the editor without the editor calling it a change.
        const bool unchanged = !editor.changed() && editor.textLength() == baseline.textLength;
        if (unchanged && !fileMissing(pages.platform(), baseline, n)) {
            continue;
        }
        savePage(pages, n, problems, warnings);
    }
    return problems;
}

PageProblems LoadPages(PageSet& pages) {
    plat::Platform& platform = pages.platform();
    removeStaleTempFiles(platform, platform.program().dataFolder());
    removeStaleTempFiles(platform, appFilePath(platform, kRecoveryFolder));
    PageProblems problems;
    for (int n = 1; n <= kPageCount; ++n) {
        const std::wstring path = pagePath(platform, n);
        if (!platform.files().isOrdinaryFile(path)) {
            continue;
        }
        auto bytes = std::make_shared<std::string>();
        // Taken before the read: a change in between then shows as a change later.
        const std::optional<plat::FileIdentity> identity = platform.files().identify(path);
        const plat::FileStatus status = platform.files().readFile(path, *bytes);
        if (!status.ok) {
            problems.push_back({pageFileName(n), status.error});
            bytes->clear();
        }
        // An unreadable file's baseline is empty: it is only written over once the
        // user puts text into its page.
        pages.baseline(n - 1) = baselineOf(platform, *bytes);
        pages.baseline(n - 1).origin.identity = identity;
        // A hidden page keeps the file's bytes (a byte a character for most pages)
        // rather than its decoded text, until it is first shown.
        pages.page(n - 1).loadText([&platform, bytes] { return decodePageFile(platform, *bytes); },
                                   pages.baseline(n - 1).textLength);
    }
    return problems;
}

bool pageFileIs(const plat::Platform& platform, int number, const PageOrigin& origin) {
    const std::wstring path = pagePath(platform, number);
    const std::optional<plat::FileIdentity> now = platform.files().identify(path);
    if (now == origin.identity) {
        return true;
    }
    if (!now || !origin.identity || now->size != origin.identity->size) {
        return false;
    }
    std::string bytes;
    return platform.files().readFile(path, bytes).ok && digestOf(bytes) == origin.digest;
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

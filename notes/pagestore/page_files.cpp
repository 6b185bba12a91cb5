// Saving and loading the ten page files. A page file is replaced in one atomic
// step, so after a crash it holds either its old or its new text.
#include "notes/pagestore/page_files.h"

#include "notes/pagestore/text_codec.h"
#include "notes/window/frm_main.h"
#include "platform/platform.h"

namespace notes {
namespace {

// A temporary file this old cannot belong to a save still under way.
constexpr double kStaleTempSeconds = 60;

std::wstring pagePath(const plat::Platform& platform, int number) {
    return appFilePath(platform, pageFileName(number));
}

// Whether page `index` must be written: its text changed since the last load or
// save, or its file has gone. A page emptied since then gets a file holding only a
// line end, so that the old text does not come back at the next start.
bool needsWrite(FrmMain& window, int index, const std::wstring& text) {
    const std::wstring& baseline = window.baselines()[static_cast<std::size_t>(index)];
    if (text.empty()) {
        return !baseline.empty();
    }
    return text != baseline || !window.platform().isOrdinaryFile(pagePath(window.platform(), index + 1));
}

void removeStaleTempFiles(plat::Platform& platform) {
    for (const plat::FileEntry& entry : platform.listFiles(platform.appFolder())) {
        if (entry.name.ends_with(plat::kTempSuffix) && entry.ageSeconds >= kStaleTempSeconds) {
            platform.removeFile(appFilePath(platform, entry.name));
        }
    }
}

}  // namespace

std::wstring pageFileName(int number) {
    return L"page" + std::to_wstring(number) + L".txt";
}

std::wstring appFilePath(const plat::Platform& platform, const std::wstring& fileName) {
    return platform.appFolder() + std::wstring(platform.pathSeparator()) + fileName;
}

PageProblems SavePages() {
    FrmMain& window = *frmMain();
    plat::Platform& platform = window.platform();
    PageProblems problems;
    for (int n = 1; n <= kPageCount; ++n) {
        const std::wstring text = window.rtbNote(n - 1).text();
        if (!needsWrite(window, n - 1, text)) {
            continue;
        }
        const plat::FileStatus status = platform.writeFileAtomic(pagePath(platform, n), encodePageFile(platform, text));
        if (status.ok) {
            window.baselines()[static_cast<std::size_t>(n - 1)] = text;
        } else {
            problems.push_back({pageFileName(n), status.error});
        }
    }
    return problems;
}

PageProblems LoadPages() {
    FrmMain& window = *frmMain();
    plat::Platform& platform = window.platform();
    removeStaleTempFiles(platform);
    PageProblems problems;
    for (int n = 1; n <= kPageCount; ++n) {
        const std::wstring path = pagePath(platform, n);
        if (!platform.isOrdinaryFile(path)) {
            continue;
        }
        plat::TextBox& editor = window.rtbNote(n - 1);
        editor.setText(L"");
        std::string bytes;
        const plat::FileStatus status = platform.readFile(path, bytes);
        std::wstring text;
        if (status.ok) {
            text = decodePageFile(platform, bytes);
            editor.setText(text);
        } else {
            problems.push_back({pageFileName(n), status.error});
        }
        // An unreadable file's baseline is empty: it is only written over once the
        // user puts text into its page.
        window.baselines()[static_cast<std::size_t>(n - 1)] = text;
    }
    return problems;
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

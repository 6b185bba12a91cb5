// Builds and writes the archive of all pages.
#include "notes/pagestore/archive.h"

#include "notes/pagestore/text_codec.h"
#include "platform/platform.h"
#include "platform/services/files.h"
#include "platform/services/status.h"

namespace notes {

std::wstring archiveText(const PageTexts& pages) {
    std::wstring text;
    for (int i = 0; i < kPageCount; ++i) {
        // The number is printed with room for a sign: a blank before the digits.
        text += L"**Page  " + std::to_wstring(i + 1) + L"\r\n\r\n";
        text += pages[static_cast<std::size_t>(i)] + L"\r\n\r\n";
        text += L"**END**\r\n\r\n\r\n";
    }
    return text;
}

namespace {

bool writeTo(plat::Platform& platform, const std::wstring& name, const std::string& bytes, PageProblems& problems) {
    const plat::FileStatus status = writeAppFile(platform, name, bytes);
    if (!status.ok) {
        problems.push_back({name, status.error});
    }
    return status.ok;
}

}  // namespace

// The old archive is copied to the backup before the new one replaces it, so that
// at every moment each archive written so far is whole in one of the two files.
PageProblems WriteArchive(plat::Platform& platform, const PageTexts& pages) {
    PageProblems problems;
    const std::string bytes = encodeText(platform, archiveText(pages));
    const std::wstring archivePath = appFilePath(platform, kArchiveFileName);
    if (!platform.files().exists(archivePath)) {
        if (writeTo(platform, kArchiveFileName, bytes, problems)) {
            writeTo(platform, kArchiveBackupName, bytes, problems);
        }
        return problems;
    }
    std::string previous;
    const plat::FileStatus read = platform.files().readFile(archivePath, previous);
    if (!read.ok) {
        problems.push_back({kArchiveFileName, read.error});
        return problems;
    }
    if (writeTo(platform, kArchiveBackupName, previous, problems)) {
        writeTo(platform, kArchiveFileName, bytes, problems);
    }
    return problems;
}

}  // namespace notes

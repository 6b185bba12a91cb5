// A save of notes.exe cut short by the end of the process leaves every page file
// whole: its old content or its new one, never a mix, never missing, and never a
// temporary file in a page's place. (AtomicWrite kills the file write itself
// dozens of times; this is the one real Save killed half-way.)
#include <cstdio>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

// Enough changed pages that the save is still writing the later ones when the
// test sees the first one replaced; small enough that laying them out is cheap.
constexpr int kChangedPages = 8;
constexpr size_t kPageBytes = 256u << 10;
constexpr char kInserted[] = "saved ";

using KillDuringSave = NotesTest;

// Size of a file, -1 when there is none.
long long fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST_F(KillDuringSave, EveryPageIsOldOrNew) {
    PageFiles oldFiles, newFiles;
    for (int page = 1; page <= kChangedPages; ++page) {
        const std::string text = pageText(kPageBytes, "page " + std::to_string(page));
        oldFiles[page] = text + "\r\n";
        newFiles[page] = kInserted + text + "\r\n";
    }
    NotesWindow& window = startWindow(oldFiles, kHugeWait);
    for (int page = 1; page <= kChangedPages; ++page) {
        window.replaceStart(page, 0, kInserted);
    }

    // Pages are saved in order: once page 1 holds its new text, the rest are still
    // to come. Kill the program right then.
    const std::wstring firstPage = m_folder.file(pageFileName(1));
    const auto newSize = static_cast<long long>(newFiles[1].size());
    window.choose({L"&File", L"&Save"});
    ASSERT_TRUE(waitUntil([&] { return fileSize(firstPage) == newSize; }, kLongWait, Millis{1}))
        << "page1.txt never got its new text";
    m_app->process().terminate();

    int fresh = 0;
    for (int page = 1; page <= kChangedPages; ++page) {
        const auto bytes = m_folder.read(pageFileName(page));
        const bool isNew = bytes == newFiles[page];
        EXPECT_TRUE(isNew || bytes == oldFiles[page])
            << "page" << page << ".txt holds " << (bytes ? std::to_string(bytes->size()) + " other bytes" : "nothing");
        fresh += isNew ? 1 : 0;
    }
    EXPECT_LT(fresh, kChangedPages) << "the save had ended before the kill: it was not cut short";
    for (const std::wstring& name : m_folder.fileNames()) {
        const bool page = name.starts_with(L"page") && name.ends_with(L".txt");
        EXPECT_TRUE(page || name == L"notes.exe" || name.ends_with(L".quibtmp")) << "unexpected " << toUtf8(name);
    }
    std::printf("[   INFO   ] killed with %d of %d changed pages saved\n", fresh, kChangedPages);
}

}  // namespace
}  // namespace e2e

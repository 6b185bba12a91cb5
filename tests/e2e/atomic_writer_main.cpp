// The atomic writer: rewrites a few files over and over through the Win32
// backend's atomic file write (the code notes.exe saves pages with), so that the
// AtomicWrite test can kill it at random points of its writes.
//
//   quibbets_atomic_writer.exe FOLDER MAPPING FIRST_WRITE
//
// FOLDER holds the files (see atomic_writer.h), MAPPING names the test's shared
// memory block of counters, FIRST_WRITE is the number of the first write to make.
// It stops by itself after a while, in case nobody kills it.
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/services/files.h"
#include "platform/win32/win32_platform.h"
#include "tests/e2e/atomic_writer.h"

namespace {

constexpr ULONGLONG kGiveUpMs = 60000;

int writeForever(e2e::WriterMarks& marks, const std::wstring& folder, long long write) {
    std::vector<std::string> contents;
    for (int version = 0; version < 2; ++version) {
        for (int file = 0; file < e2e::kWriterFiles; ++file) {
            contents.push_back(e2e::writerContent(file, version));
        }
    }
    plat::win32::Win32Platform platform;
    const ULONGLONG giveUp = GetTickCount64() + kGiveUpMs;
    for (; GetTickCount64() < giveUp; ++write) {
        const int file = static_cast<int>(write % e2e::kWriterFiles);
        const int version = static_cast<int>(write / e2e::kWriterFiles % 2);
        InterlockedIncrement(&marks.begun);
        const plat::FileStatus status =
            platform.files().writeFileAtomic(folder + L"\\" + e2e::writerFileName(file),
                                             contents[static_cast<size_t>(version * e2e::kWriterFiles + file)]);
        if (!status.ok) {
            std::fwprintf(stderr, L"atomic writer: write %lld failed: %ls\n", write, status.error.c_str());
            return 1;
        }
        InterlockedIncrement(&marks.ended);
    }
    return 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: quibbets_atomic_writer FOLDER MAPPING FIRST_WRITE\n");
        return 2;
    }
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, argv[2]);
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(e2e::WriterMarks)) : nullptr;
    if (!view) {
        std::fwprintf(stderr, L"atomic writer: no shared block %ls (error %lu)\n", argv[2], GetLastError());
        return 2;
    }
    try {
        return writeForever(*static_cast<e2e::WriterMarks*>(view), argv[1], std::wcstoll(argv[3], nullptr, 10));
    } catch (...) {
        return 4;
    }
}

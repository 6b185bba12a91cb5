// What the atomic writer (atomic_writer_main.cpp) and the AtomicWrite test that
// kills it agree on: the files it rewrites, their two contents, the order of its
// writes and the counters it keeps in a shared memory block.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The writer rewrites these files in turn: write number k (counted over every run
// of the writer) puts version (k / kWriterFiles) % 2 into file k % kWriterFiles,
// so every write of a file swaps its content for the other one.
inline constexpr int kWriterFiles = 3;

inline std::wstring writerFileName(int file) {
    return L"atomic" + std::to_wstring(file + 1) + L".txt";
}

// Content `version` (0 or 1) of `file`: numbered lines, a different length for
// each file and version, so that a mix of the two or a short file never matches.
inline std::string writerContent(int file, int version) {
    const size_t size = (96u << 10) + static_cast<size_t>(file) * (40u << 10) + static_cast<size_t>(version) * 6007u;
    const std::string tag = "file " + std::to_string(file + 1) + " version " + std::to_string(version) + " line ";
    std::string text;
    text.reserve(size + 80);
    for (int line = 1; text.size() < size; ++line) {
        text += tag + std::to_string(line) + "\r\n";
    }
    text.resize(size);
    return text;
}

// The writer's counters in the shared memory block the test creates. `begun` is
// raised just before a write starts and `ended` just after it returns, so a kill
// between the two (begun == ended + 1) landed inside write number first + ended.
struct WriterMarks {
    volatile LONG begun;
    volatile LONG ended;
};

}  // namespace e2e

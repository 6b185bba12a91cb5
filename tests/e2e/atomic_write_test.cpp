// The Win32 backend's atomic file write under sudden death: the atomic writer
// (atomic_writer_main.cpp) rewrites a few files through it and is killed at random
// points, dozens of times. After every kill each file holds exactly its old or its
// new content; a temporary file is all that a kill inside a write may leave, and
// it never takes a file's name.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <random>

#include "platform/services/files.h"
#include "tests/e2e/atomic_writer.h"
#include "tests/e2e/driver/program_process.h"
#include "tests/e2e/driver/test_folder.h"

namespace e2e {
namespace {

constexpr int kKills = 60;
// A kill lands up to this long after the writer began its first write: a few writes.
constexpr double kLatestKillMs = 40;

std::wstring writerExePath() {
    return windowsPath(fromUtf8(QUIBBETS_E2E_ATOMIC_WRITER_EXE));
}

// Busy-waits: Sleep's steps are too coarse to spread kills over writes of a few ms.
void spinFor(double micros) {
    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const double ticks = micros * static_cast<double>(frequency.QuadPart) / 1e6;
    do {
        QueryPerformanceCounter(&now);
    } while (static_cast<double>(now.QuadPart - start.QuadPart) < ticks);
}

// The named shared memory block that the writer keeps its counters in.
class SharedMarks {
public:
    SharedMarks() : m_name(L"Local\\QuibbetsAtomicWriter-" + std::to_wstring(GetCurrentProcessId())) {
        m_mapping = Handle(
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(WriterMarks), m_name.c_str()));
        void* view = m_mapping ? MapViewOfFile(m_mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(WriterMarks)) : nullptr;
        if (!view) {
            fail("cannot create the shared block: " + lastErrorText());
        }
        m_marks = static_cast<WriterMarks*>(view);
    }
    ~SharedMarks() { UnmapViewOfFile(m_marks); }
    SharedMarks(const SharedMarks&) = delete;
    SharedMarks& operator=(const SharedMarks&) = delete;

    const std::wstring& name() const { return m_name; }
    WriterMarks& marks() { return *m_marks; }

private:
    std::wstring m_name;
    Handle m_mapping;
    WriterMarks* m_marks = nullptr;
};

class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override;
    // Starts the writer at write m_next, kills it `delayMs` after its first write
    // began and checks the files; true when the kill landed inside a write.
    bool killOneRun(double delayMs);
    void checkFiles(long long inFlight, bool midWrite);
    void expectOnlyFilesAndTemporaries(bool midWrite);

    TestFolder m_folder = TestFolder::createTemporary();
    SharedMarks m_shared;
    std::array<std::array<std::string, 2>, kWriterFiles> m_contents;
    long long m_next = kWriterFiles;  // the number of the next write; files start at version 0
    int m_killedBeforeRename = 0, m_killedAfterRename = 0, m_tempsLeft = 0;
};

void AtomicWrite::SetUp() {
    for (int file = 0; file < kWriterFiles; ++file) {
        for (int version = 0; version < 2; ++version) {
            m_contents[file][version] = writerContent(file, version);
        }
        m_folder.write(writerFileName(file), m_contents[file][0]);
    }
}

bool AtomicWrite::killOneRun(double delayMs) {
    WriterMarks& marks = m_shared.marks();
    marks.begun = 0;
    marks.ended = 0;
    const std::wstring arguments = L"\"" + m_folder.path() + L"\" " + m_shared.name() + L" " + std::to_wstring(m_next);
    ProgramProcess writer = ProgramProcess::start(writerExePath(), m_folder.path(), arguments);
    if (!waitUntil([&] { return marks.begun > 0 || !writer.running(); }, kWait, Millis{1}) || !writer.running()) {
        fail("the writer did not start writing (exit code " + std::to_string(writer.exitCode()) + ")");
    }
    spinFor(delayMs * 1000);
    writer.terminate();
    if (writer.exitCode() != 99) {
        fail("the writer ended by itself with exit code " + std::to_string(writer.exitCode()));
    }
    const LONG begun = marks.begun;
    const LONG ended = marks.ended;
    const bool midWrite = begun == ended + 1;
    EXPECT_TRUE(midWrite || begun == ended) << begun << " writes begun, " << ended << " ended";
    m_next += ended;
    checkFiles(m_next, midWrite);
    expectOnlyFilesAndTemporaries(midWrite);
    return midWrite;
}

// Write `inFlight` was under way when the kill landed if `midWrite`, else it was
// next; every write before it ended. (The next run starts with it again.)
void AtomicWrite::checkFiles(long long inFlight, bool midWrite) {
    std::array<int, kWriterFiles> oldVersion{};
    for (long long write = inFlight - kWriterFiles; write < inFlight; ++write) {
        oldVersion[write % kWriterFiles] = static_cast<int>(write / kWriterFiles % 2);
    }
    const int busyFile = static_cast<int>(inFlight % kWriterFiles);
    const int newVersion = static_cast<int>(inFlight / kWriterFiles % 2);
    for (int file = 0; file < kWriterFiles; ++file) {
        const bool busy = midWrite && file == busyFile;
        const auto bytes = m_folder.read(writerFileName(file));
        const bool isOld = bytes == m_contents[file][oldVersion[file]];
        const bool isNew = busy && bytes == m_contents[file][newVersion];
        EXPECT_TRUE(isOld || isNew) << toUtf8(writerFileName(file)) << " holds "
                                    << (bytes ? std::to_string(bytes->size()) + " other bytes" : "nothing")
                                    << (busy ? " after a kill inside its write" : "");
        if (busy) {
            (isNew ? m_killedAfterRename : m_killedBeforeRename) += 1;
        }
    }
}

void AtomicWrite::expectOnlyFilesAndTemporaries(bool midWrite) {
    for (const std::wstring& name : m_folder.fileNames()) {
        bool known = false;
        for (int file = 0; file < kWriterFiles; ++file) {
            known = known || name == writerFileName(file);
        }
        if (known) {
            continue;
        }
        EXPECT_TRUE(name.ends_with(plat::kTempSuffix)) << "unexpected file " << toUtf8(name);
        EXPECT_TRUE(midWrite) << "a write that ended left " << toUtf8(name) << " behind";
        ++m_tempsLeft;
        DeleteFileW(m_folder.file(name).c_str());
    }
}

TEST_F(AtomicWrite, EveryFileIsOldOrNewAfterEachKill) {
    std::mt19937 random{std::random_device{}()};
    std::uniform_real_distribution<double> delayMs(0, kLatestKillMs);
    int kills = 0, midWrites = 0;
    while (kills < kKills && !HasFailure()) {
        SCOPED_TRACE("kill " + std::to_string(kills + 1));
        midWrites += killOneRun(delayMs(random)) ? 1 : 0;
        ++kills;
    }
    // Between two writes the writer only raises a counter: nearly every kill
    // should land inside a write, or the test checked little.
    EXPECT_GE(midWrites, kKills / 2) << "too few kills landed inside a write";
    std::printf(
        "[   INFO   ] %d kills, %d inside a write (%d before the rename, %d after it), %lld writes, "
        "%d temporary files left\n",
        kills, midWrites, m_killedBeforeRename, m_killedAfterRename, m_next - kWriterFiles, m_tempsLeft);
}

}  // namespace
}  // namespace e2e

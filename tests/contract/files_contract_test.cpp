// Files on every backend: the atomic write replaces a file's bytes exactly or not at
// all and never leaves its temporary file behind; reads, listings and the ordinary-
// file test agree with it.
#include <algorithm>
#include <filesystem>

#include "platform/services/files.h"
#include "platform/services/program_info.h"
#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using Files = ContractTest;
using Names = std::vector<std::wstring>;

// Every byte value, CR LF and LF alone, and a NUL in the middle.
std::string everyByte() {
    std::string bytes = "line\r\nnext\n";
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

TEST_F(Files, AtomicWriteCreatesAndReplacesExactlyTheBytes) {
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), "old content, longer than the new").ok);
    EXPECT_EQ(read(L"page1.txt"), "old content, longer than the new");
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), everyByte()).ok);
    EXPECT_EQ(read(L"page1.txt"), everyByte());
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), "").ok);
    EXPECT_EQ(read(L"page1.txt"), "");
    EXPECT_EQ(folderContents(), Names{L"page1.txt"});
}

TEST_F(Files, AFileHeldOpenByAnotherProgramKeepsItsBytes) {
    if (!backend().hasFileLocksAndHiddenFiles()) {
        GTEST_SKIP() << "this desktop has no sharing locks: another program cannot hold a file against writing";
    }
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"kept.txt"), "old").ok);
    backend().holdOpen(path(L"kept.txt"));
    const plat::FileStatus refused = platform().files().writeFileAtomic(path(L"kept.txt"), "new");
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.empty());
    EXPECT_EQ(read(L"kept.txt"), "old");
    EXPECT_EQ(folderContents(), Names{L"kept.txt"});
}

TEST_F(Files, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"kept.txt"), "old").ok);

    // A folder where the file should be: the rename at the end is what fails.
    std::filesystem::create_directory(std::filesystem::path(path(L"folder.txt")));
    const plat::FileStatus blocked = platform().files().writeFileAtomic(path(L"folder.txt"), "new");
    EXPECT_FALSE(blocked.ok);
    EXPECT_FALSE(blocked.error.empty());
    EXPECT_FALSE(
        platform()
            .files()
            .writeFileAtomic(path(L"missing") + std::wstring(platform().program().pathSeparator()) + L"x.txt", "x")
            .ok);
    EXPECT_EQ(read(L"kept.txt"), "old");
    EXPECT_EQ(folderContents(), (Names{L"folder.txt", L"kept.txt"}));
}

TEST_F(Files, ReadAndRemoveOfAMissingFileFailWithAReason) {
    std::string bytes = "stale";
    const plat::FileStatus status = platform().files().readFile(path(L"none.txt"), bytes);
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.error.empty());
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(platform().files().removeFile(path(L"none.txt")).ok);
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"gone.txt"), "x").ok);
    EXPECT_TRUE(platform().files().removeFile(path(L"gone.txt")).ok);
    EXPECT_FALSE(platform().files().exists(path(L"gone.txt")));
}

// Listings hold ordinary files only, names not paths, in no particular order.
TEST_F(Files, OnlyOrdinaryFilesAreListed) {
    const std::wstring blanks = L"a name with blanks.txt";
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"b.txt"), "1").ok);
    ASSERT_TRUE(platform().files().writeFileAtomic(path(blanks), "2").ok);
    std::filesystem::create_directory(std::filesystem::path(path(L"sub")));

    EXPECT_TRUE(platform().files().isOrdinaryFile(path(L"b.txt")));
    EXPECT_FALSE(platform().files().isOrdinaryFile(path(L"sub")));
    EXPECT_FALSE(platform().files().isOrdinaryFile(path(L"none.txt")));
    EXPECT_TRUE(platform().files().exists(path(L"sub")));
    EXPECT_FALSE(platform().files().exists(path(L"none.txt")));

    std::vector<plat::FileEntry> files = platform().files().listFiles(m_folder);
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, blanks);
    EXPECT_EQ(files[1].name, L"b.txt");
    EXPECT_GT(files[0].ageSeconds, -5.0);  // just written; clocks of file systems are coarse
    EXPECT_LT(files[0].ageSeconds, 60.0);
    EXPECT_TRUE(platform().files().listFiles(path(L"none")).empty());
}

TEST_F(Files, AHiddenFileIsNeitherOrdinaryNorListed) {
    if (!backend().hasFileLocksAndHiddenFiles()) {
        GTEST_SKIP() << "this desktop has no hidden-file attribute";
    }
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"hidden.txt"), "3").ok);
    backend().hideFile(path(L"hidden.txt"));
    EXPECT_FALSE(platform().files().isOrdinaryFile(path(L"hidden.txt")));
    EXPECT_TRUE(platform().files().listFiles(m_folder).empty());
}

// What a save compares a page file with, and what tells a live window from a gone one.
TEST_F(Files, AnIdentityChangesWithTheFileAndALockExcludesEveryOtherHolder) {
    EXPECT_FALSE(platform().files().identify(path(L"page1.txt")));
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), "four").ok);
    const std::optional<plat::FileIdentity> first = platform().files().identify(path(L"page1.txt"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size, 4u);
    EXPECT_EQ(platform().files().identify(path(L"page1.txt")), first);
    plat::FileIdentity written;
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), "four", &written).ok);
    EXPECT_NE(written, *first) << "a replaced file is another version";
    EXPECT_EQ(platform().files().identify(path(L"page1.txt")), written);

    std::unique_ptr<plat::FileLock> held = platform().files().tryLock(path(L"owner.lock"));
    ASSERT_TRUE(held);
    EXPECT_FALSE(platform().files().tryLock(path(L"owner.lock")));
    held.reset();
    EXPECT_TRUE(platform().files().tryLock(path(L"owner.lock")));
}

}  // namespace
}  // namespace contract

// Folder watches on every backend: each change that another program makes to the files
// of a watched folder (written in place, made, replaced by rename, removed) comes as a
// call while the program handles its events; none comes once the watch has ended, nor
// while nothing changes. On the headless desktop the test tells of each change.
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>

#include "platform/services/files.h"
#include "platform/services/folder_watch.h"
#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

namespace fs = std::filesystem;

// A call is waited for at most this many steps (5 s): far beyond what a desktop
// takes, so that a loaded machine passes too.
constexpr int kWaitSteps = 250;
constexpr int kStepMilliseconds = 20;
// After a call, later calls of the same change are let in before the next change,
// so that they are not taken for its call.
constexpr int kCallsOfOneChangeMilliseconds = 300;

class FolderWatch : public ContractTest {
protected:
    std::unique_ptr<plat::FolderWatch> watchFolder(int& calls) {
        return platform().folderWatcher().watch(m_folder, [&calls] { ++calls; });
    }
    // Makes the change as another program, and handles events until `calls` grows;
    // false when it does not.
    bool called(const std::function<void()>& change, const int& calls) {
        const int before = calls;
        change();
        backend().reportFolderChange(m_folder);
        for (int step = 0; step < kWaitSteps && calls == before; ++step) {
            platform().wait(kStepMilliseconds);
        }
        platform().wait(kCallsOfOneChangeMilliseconds);
        return calls > before;
    }
    fs::path at(std::wstring_view name) const { return fs::path(path(name)); }
};

// Through the file itself, from its start: the file stays the same one on disk.
void writeInPlace(const fs::path& file, const std::string& bytes) {
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(stream.good()) << file;
}

// A write that keeps the size is heard as well as one that changes it, and the file
// that a rename put in place is watched like the one before it, also while the file
// it replaced lives on (here under a second name, as while another program has it open).
TEST_F(FolderWatch, EveryKindOfChangeToAFileIsCalledAndNothingElse) {
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), "first").ok);
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page2.txt"), "second").ok);
    fs::create_hard_link(at(L"page2.txt"), at(L"page2.old"));
    int calls = 0;
    const auto watch = watchFolder(calls);
    ASSERT_NE(watch, nullptr);

    EXPECT_TRUE(called([&] { writeInPlace(at(L"page1.txt"), "FIRST"); }, calls)) << "a write in place";
    EXPECT_TRUE(
        called([&] { ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page2.txt.new"), "third").ok); }, calls))
        << "a file made";
    EXPECT_TRUE(called(
        [&] {
            std::error_code error;
            fs::rename(at(L"page2.txt.new"), at(L"page2.txt"), error);
            EXPECT_FALSE(error) << error.message();
        },
        calls))
        << "a file replaced by rename";
    EXPECT_TRUE(called([&] { writeInPlace(at(L"page2.txt"), "THIRD"); }, calls)) << "a write to the new file";
    EXPECT_TRUE(called([&] { fs::remove(at(L"page1.txt")); }, calls)) << "a file removed";

    const int settled = calls;
    platform().wait(1000);
    EXPECT_EQ(calls, settled) << "calls while nothing changes";
}

// A change made just before the watch ends is not called either, nor one after a
// watch ended inside its own call; another watch of the folder hears them all.
TEST_F(FolderWatch, NoCallComesOnceTheWatchHasEnded) {
    int ended = 0;
    int endsItself = 0;
    int kept = 0;
    auto ending = watchFolder(ended);
    std::unique_ptr<plat::FolderWatch> ownCall = platform().folderWatcher().watch(m_folder, [&endsItself, &ownCall] {
        ++endsItself;
        ownCall.reset();
    });
    const auto keeping = watchFolder(kept);
    ASSERT_TRUE(ending && ownCall && keeping);

    EXPECT_TRUE(called(
        [&] {
            ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), "text").ok);
            ending.reset();
        },
        kept));
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(endsItself, 1);
    EXPECT_EQ(ownCall, nullptr);
    EXPECT_TRUE(called([&] { fs::remove(at(L"page1.txt")); }, kept));
    EXPECT_EQ(endsItself, 1);
}

TEST_F(FolderWatch, AMissingFolderOrAFileCannotBeWatched) {
    EXPECT_EQ(platform().folderWatcher().watch(path(L"missing"), [] {}), nullptr);
    ASSERT_TRUE(platform().files().writeFileAtomic(path(L"page1.txt"), "text").ok);
    EXPECT_EQ(platform().folderWatcher().watch(path(L"page1.txt"), [] {}), nullptr);
}

}  // namespace
}  // namespace contract

// Tests of the headless backend itself, beyond what the backend contract suite
// (tests/contract/) checks on every backend: its test side, its own error texts and
// geometry, files, forms, menus, boxes, screen.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_form.h"
#include "platform/headless/headless_platform.h"
#include "platform/services/files.h"
#include "platform/services/folder_watch.h"
#include "platform/services/printer.h"
#include "platform/services/program_info.h"
#include "platform/services/screen.h"
#include "platform/services/settings.h"

using namespace plat;
using namespace plat::headless;
namespace fs = std::filesystem;

namespace {

class HeadlessTest : public ::testing::Test {
protected:
    HeadlessTest() {
        std::string pattern = (fs::temp_directory_path() / "quibbets-headless-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        platform = std::make_unique<HeadlessPlatform>(folder.wstring() + L"/");
    }
    ~HeadlessTest() override { fs::remove_all(folder); }
    std::wstring path(const std::wstring& name) const { return folder.wstring() + L"/" + name; }
    std::vector<std::string> folderContents() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string read(const std::wstring& name) const {
        std::string bytes;
        EXPECT_TRUE(platform->files().readFile(path(name), bytes).ok);
        return bytes;
    }
    fs::path folder;
    std::unique_ptr<HeadlessPlatform> platform;
};

// Records every event as text.
struct Recorder : FormEvents {
    std::vector<std::string> log;
    std::int16_t cancelUnload = 0;
    std::function<void(int)> onOpen;
    void onLoad() override { log.push_back("load"); }
    void onResize() override { log.push_back("resize"); }
    void onUnload(std::int16_t& cancel) override {
        log.push_back("unload");
        cancel = cancelUnload;
    }
    void onMenuClick(int id) override { log.push_back("click " + std::to_string(id)); }
    void onMenuOpen(int id) override {
        log.push_back("open " + std::to_string(id));
        if (onOpen) {
            onOpen(id);
        }
    }
    void onCloseRequest(CloseReason) override { log.push_back("close"); }
};

using Log = std::vector<std::string>;

MenuItem item(int id, std::wstring caption, Shortcut key = {}, bool enabled = true, std::vector<MenuItem> items = {}) {
    return MenuItem{id, std::move(caption), key, enabled, true, std::move(items), {}};
}

MessageBoxRequest box(std::wstring text, MsgButtons buttons = MsgButtons::Ok, int defaultButton = 1) {
    return MessageBoxRequest{std::move(text), L"", buttons, MsgIcon::None, defaultButton, 0};
}

}  // namespace

TEST_F(HeadlessTest, AtomicWriteLeavesExactlyTheNewBytesAndNoTempFile) {
    EXPECT_EQ(platform->program().folder(), folder.wstring());
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"page1.txt"), "old").ok);
    const std::string fresh("new\r\n\0\x80\xff", 8);
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"page1.txt"), fresh).ok);
    EXPECT_EQ(read(L"page1.txt"), fresh);
    EXPECT_EQ(folderContents(), std::vector<std::string>{"page1.txt"});
    EXPECT_EQ(platform->writeCount(L"page1.txt"), 2);
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"page1.txt"), "").ok);
    EXPECT_EQ(read(L"page1.txt"), "");
}

TEST_F(HeadlessTest, InjectedWriteFaultKeepsTheOldFile) {
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"page1.txt"), "old").ok);
    platform->failWrites(L"page1.txt", L"Disk full");
    EXPECT_EQ(platform->files().writeFileAtomic(path(L"page1.txt"), "new").error, L"Disk full");
    EXPECT_TRUE(platform->files().writeFileAtomic(path(L"page2.txt"), "other").ok);  // another name is not hit
    EXPECT_EQ(read(L"page1.txt"), "old");
    EXPECT_EQ(platform->writeCount(L"page1.txt"), 1);

    platform->failWrites(L"", L"Everything fails");
    EXPECT_EQ(platform->files().writeFileAtomic(path(L"page3.txt"), "x").error, L"Everything fails");
    platform->clearWriteFaults();
    EXPECT_TRUE(platform->files().writeFileAtomic(path(L"page1.txt"), "new").ok);
    EXPECT_EQ(read(L"page1.txt"), "new");
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"page1.txt", "page2.txt"}));
}

TEST_F(HeadlessTest, RealFileFailuresCarryAReason) {
    EXPECT_EQ(platform->files().writeFileAtomic(path(L"missing/page1.txt"), "x").error, L"No such file or directory");
    fs::create_directory(folder / "page2.txt");  // a folder in the way of the rename
    EXPECT_FALSE(platform->files().writeFileAtomic(path(L"page2.txt"), "x").ok);
    std::string bytes = "stale";
    EXPECT_EQ(platform->files().readFile(path(L"page9.txt"), bytes).error, L"No such file or directory");
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"page3.txt"), "kept").ok);
    platform->failReads(L"page3.txt", L"Locked");
    EXPECT_EQ(platform->files().readFile(path(L"page3.txt"), bytes).error, L"Locked");
    EXPECT_EQ(bytes, "");
    platform->clearReadFaults();
    EXPECT_EQ(read(L"page3.txt"), "kept");
    EXPECT_FALSE(platform->files().removeFile(path(L"page9.txt")).ok);
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"page2.txt", "page3.txt"}));
}

TEST_F(HeadlessTest, OrdinaryFilesAndListing) {
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"b.txt"), "1").ok);
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"a \u00e9\u20ac.txt"), "2").ok);  // non-ASCII name
    ASSERT_TRUE(platform->files().writeFileAtomic(path(L"hidden.txt"), "3").ok);
    fs::create_directory(folder / "sub");
    platform->markHidden(path(L"hidden.txt"));
    EXPECT_TRUE(platform->files().isOrdinaryFile(path(L"b.txt")));
    EXPECT_FALSE(platform->files().isOrdinaryFile(path(L"hidden.txt")));
    EXPECT_FALSE(platform->files().isOrdinaryFile(path(L"sub")));
    EXPECT_TRUE(platform->files().exists(path(L"sub")));
    const auto files = platform->files().listFiles(folder.wstring());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, L"a \u00e9\u20ac.txt");
    EXPECT_EQ(files[1].name, L"b.txt");
    EXPECT_GE(files[1].ageSeconds, -1.0);
    EXPECT_LT(files[1].ageSeconds, 60.0);
    EXPECT_TRUE(platform->files().removeFile(path(L"b.txt")).ok);
    EXPECT_FALSE(platform->files().exists(path(L"b.txt")));
}

TEST_F(HeadlessTest, FormLifecycleEventOrder) {
    Recorder events;
    auto form = platform->createForm({L"Notes", 6000, 4000, 0, {}, 2, 0xC0FFEE, {}, BorderStyle::Sizable, true, {}, {}},
                                     events);
    EXPECT_EQ(form->bounds().width, 6120);
    EXPECT_EQ(form->bounds().height, 4420);
    EXPECT_EQ(dynamic_cast<plat::headless::HeadlessTextBox&>(form->textBox(1)).backColor(), 0xC0FFEEu);
    EXPECT_EQ(platform->openFormCount(), 0);
    form->show();
    form->show();
    EXPECT_EQ(events.log, (Log{"load", "resize"}));
    EXPECT_EQ(&platform->form(0), form.get());
    EXPECT_TRUE(platform->form(0).visible());

    events.log.clear();
    form->setBounds({100, 100, 6120, 4420});  // moved only
    form->setBounds({100, 100, 7000, 4420});
    platform->form(0).setWindowState(WindowState::Maximized);
    EXPECT_EQ(form->bounds().left, -60);
    EXPECT_EQ(form->bounds().width, 19320);
    platform->form(0).setWindowState(WindowState::Normal);
    EXPECT_EQ(form->bounds().width, 7000);
    platform->setWindowPos(*form, ZOrder::TopMost, 10, 20, 400, 300);
    EXPECT_TRUE(platform->isTopMost(*form));
    EXPECT_EQ(form->bounds().left, 150);
    EXPECT_EQ(events.log, (Log{"resize", "resize", "resize", "resize"}));

    events.log.clear();
    events.cancelUnload = 1;
    platform->form(0).requestClose();
    platform->unloadForm(0);
    EXPECT_TRUE(form->loaded());
    events.cancelUnload = 0;
    form->unload();
    form->unload();  // no longer loaded: nothing happens
    EXPECT_EQ(events.log, (Log{"close", "unload", "unload"}));
    EXPECT_FALSE(form->loaded());
    EXPECT_EQ(platform->openFormCount(), 0);

    form->show();
    auto second = platform->createForm({}, events);
    second->show();
    form.reset();  // destroyed while loaded
    ASSERT_EQ(platform->openFormCount(), 1);
    EXPECT_EQ(&platform->form(0), second.get());
}

TEST_F(HeadlessTest, TextBoxSelection) {
    Recorder events;
    auto form = platform->createForm({L"", 0, 0, 0, {}, 1, 0, {}, BorderStyle::Sizable, true, {}, {}}, events);
    auto& box = dynamic_cast<HeadlessForm&>(*form);
    TextBox& t = form->textBox(0);
    t.setText(L"hello world");
    EXPECT_EQ(t.selStart(), 0);
    t.select(6, 99);
    EXPECT_EQ(t.selText(), L"world");
    box.type(0, L"there!");
    EXPECT_EQ(t.text(), L"hello there!");
    EXPECT_EQ(t.selStart(), 12);
    EXPECT_EQ(t.selLength(), 0);
    t.setGeometry({0, 0, -5, 0});
    EXPECT_EQ(t.geometry().width, 0);
    EXPECT_THROW(form->textBox(1), std::out_of_range);
}

TEST_F(HeadlessTest, MenusRespectStatesAndOpenDropDownsFirst) {
    const MenuItem file =
        item(1, L"&File", {}, true, {item(11, L"&Save", Shortcut::ctrl(L'S')), item(19, L"-"), item(12, L"E&xit")});
    const MenuItem edit = item(2, L"&Edit", {}, true, {item(21, L"Cu&t", Shortcut::ctrl(L'X'), false)});
    Recorder events;
    auto form = platform->createForm(
        {L"", 0, 0, 0, {file, edit, item(3, L"&Help")}, 0, 0, {}, BorderStyle::Sizable, true, {}, {}}, events);
    auto& f = dynamic_cast<HeadlessForm&>(*form);
    form->show();
    events.log.clear();

    EXPECT_TRUE(f.clickMenu(11));
    EXPECT_TRUE(f.clickMenu(3));
    EXPECT_TRUE(f.pressShortcut(Shortcut::ctrl(L'S')));
    EXPECT_FALSE(f.pressShortcut(Shortcut::ctrl(L'Q')));
    EXPECT_FALSE(f.clickMenu(19));  // File opens, but a separator cannot be chosen
    EXPECT_EQ(events.log, (Log{"open 1", "click 11", "click 3", "open 1", "click 11", "open 1"}));

    events.log.clear();
    form->setMenuEnabled(1, false);  // a disabled parent blocks its items
    EXPECT_FALSE(f.clickMenu(11));
    EXPECT_EQ(events.log, Log{});
    EXPECT_FALSE(f.pressShortcut(Shortcut::ctrl(L'S')));
    EXPECT_EQ(events.log, Log{"open 1"});

    events.log.clear();  // the drop-down's handler enables Cut before it is chosen
    events.onOpen = [&](int id) { form->setMenuEnabled(21, id == 2); };
    EXPECT_TRUE(f.pressShortcut(Shortcut::ctrl(L'X')));
    form->setMenuEnabled(21, false);
    EXPECT_TRUE(f.clickMenu(21));
    EXPECT_EQ(events.log, (Log{"open 2", "click 21", "open 2", "click 21"}));
    EXPECT_EQ(form->menuCaption(12), L"E&xit");
    EXPECT_FALSE(f.menuBar()[0].enabled);
}

TEST_F(HeadlessTest, MessageBoxesAnswerFromTheQueueThenTheDefault) {
    std::vector<std::wstring> unexpected;
    platform->onUnexpectedBox([&](const MessageBoxRequest& r) { unexpected.push_back(r.text); });
    platform->queueAnswer(MsgAnswer::Cancel);
    EXPECT_EQ(platform->queuedAnswers(), 1u);
    EXPECT_EQ(platform->messageBox(box(L"Save?", MsgButtons::YesNoCancel)), MsgAnswer::Cancel);
    EXPECT_TRUE(unexpected.empty());
    EXPECT_EQ(platform->messageBox(box(L"Sure?", MsgButtons::YesNo, 2)), MsgAnswer::No);
    EXPECT_EQ(platform->messageBox(box(L"Done")), MsgAnswer::Ok);
    EXPECT_EQ(unexpected, (std::vector<std::wstring>{L"Sure?", L"Done"}));
    ASSERT_EQ(platform->messageBoxes().size(), 3u);
    EXPECT_EQ(platform->messageBoxes()[0].text, L"Save?");
}

TEST_F(HeadlessTest, WorkAreaNearestAndSettings) {
    const Rect d = platform->screen().workAreaNearest({-5000, -5000, 100, 100});
    EXPECT_EQ(d.width, 19200);
    EXPECT_EQ(d.height, 14760);
    platform->setWorkAreas({{0, 0, 19200, 14760}, {19200, 0, 28800, 16200}});
    EXPECT_EQ(platform->screen().workAreaNearest({18000, 100, 3000, 3000}).left, 19200);  // mostly on the second
    EXPECT_EQ(platform->screen().workAreaNearest({-9000, 100, 3000, 3000}).left, 0);      // off every screen, left
    EXPECT_EQ(platform->screen().workAreaNearest({60000, 100, 3000, 3000}).left, 19200);  // off every screen, right

    EXPECT_EQ(platform->settings().get(L"Quibbets", L"Window", L"Left", L"?"), L"?");
    EXPECT_TRUE(platform->settings().saveAll(L"Quibbets", L"Window", {{L"Left", L"120"}}).ok);
    EXPECT_EQ(platform->storedSettings().at(L"Quibbets\\Window\\Left"), L"120");
    platform->failSettingWrites(true);
    EXPECT_FALSE(platform->settings().saveAll(L"Quibbets", L"Window", {{L"Top", L"5"}, {L"Left", L"0"}}).ok);
    EXPECT_EQ(platform->settings().get(L"Quibbets", L"Window", L"Left", L"?"), L"120");
    EXPECT_EQ(platform->settings().get(L"Quibbets", L"Window", L"Top", L"?"), L"?");  // nothing of a failed write
    EXPECT_EQ(platform->settingWrites(), 2);
}

TEST_F(HeadlessTest, PrinterRecordsJobsAndFaults) {
    std::wstring error;
    platform->failPrintingAfter(1, L"Out of paper");
    auto job = platform->printer().startJob(L"Page 1", error);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->textWidth(L"abc"), 360);
    EXPECT_TRUE(job->drawText(0, 0, L"one").ok);
    EXPECT_TRUE(job->newSheet().ok);
    EXPECT_EQ(job->drawText(0, 240, L"two").error, L"Out of paper");
    job.reset();  // dropped without end()
    auto next = platform->printer().startJob(L"Page 2", error);
    EXPECT_TRUE(next->drawText(0, 0, L"three").ok);
    EXPECT_TRUE(next->end().ok);
    const auto& docs = platform->printed();
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_TRUE(docs[0].aborted);
    EXPECT_EQ(docs[0].sheets, 2);
    ASSERT_EQ(docs[0].lines.size(), 1u);
    EXPECT_EQ(docs[0].lines[0].sheet, 0);
    EXPECT_TRUE(docs[1].ended);
    platform->setPrinterAvailable(false);
    EXPECT_EQ(platform->printer().startJob(L"Page 3", error), nullptr);
    EXPECT_EQ(error, L"No printer is installed.");
}

TEST_F(HeadlessTest, AFailingEventIsReportedOnceAndUnusedScriptsFailTheTest) {
    struct Failing : Recorder {
        void onMenuClick(int id) override {
            const Command command(*platform, id == 1 ? L"The thing could not be done" : L"");
            throw std::runtime_error("boom");
        }
        Platform* platform = nullptr;
    } events;
    events.platform = platform.get();
    platform->setFailureCaption(L"Title");
    FormDesign design;
    design.menuBar = {item(1, L"A"), item(2, L"B")};
    auto form = platform->createForm(design, events);
    form->show();
    platform->queueAnswer(MsgAnswer::Ok);
    platform->queueAnswer(MsgAnswer::Ok);
    platform->form(0).clickMenu(1);
    platform->form(0).clickMenu(2);
    ASSERT_EQ(platform->messageBoxes().size(), 2u);
    EXPECT_EQ(platform->messageBoxes()[0].text, L"The thing could not be done: boom");
    EXPECT_EQ(platform->messageBoxes()[0].caption, L"Title");
    EXPECT_EQ(platform->messageBoxes()[1].text, L"The command could not be completed: boom");
    EXPECT_TRUE(form->loaded());

    std::string unused;
    platform->onUnusedScript([&](const std::string& what) { unused = what; });
    platform->queueModalAction([](HeadlessForm&) {});
    form.reset();
    platform.reset();
    EXPECT_EQ(unused, "0 message-box answers, 1 modal actions and 0 pop-up choices were never used");
}

// changeFolder calls the watches of that folder only ("/a/" and "/a" alike), in the
// order they were made; an ended watch is not called, a failing call is reported as a
// failed event, and a watch may outlive the platform.
TEST_F(HeadlessTest, FolderWatchesAreCalledWhenTheTestChangesTheirFolder) {
    fs::create_directory(folder / "sub");
    Log calls;
    auto sub = platform->folderWatcher().watch(path(L"sub"), [&] {
        calls.push_back("sub");
        throw std::runtime_error("boom");
    });
    auto top = platform->folderWatcher().watch(folder.wstring() + L"/", [&] { calls.push_back("top"); });
    auto second = platform->folderWatcher().watch(folder.wstring(), [&] { calls.push_back("second"); });
    EXPECT_FALSE(platform->folderWatcher().watch(path(L"none"), [] {}));
    EXPECT_EQ(platform->folderWatches(), 3);

    platform->queueAnswer(MsgAnswer::Ok);
    platform->changeFolder(path(L"sub") + L"/");
    platform->changeFolder(folder.wstring());
    EXPECT_EQ(calls, (Log{"sub", "top", "second"}));
    ASSERT_EQ(platform->messageBoxes().size(), 1u);
    EXPECT_EQ(platform->messageBoxes()[0].text, L"The command could not be completed: boom");

    second.reset();
    platform->changeFolder(folder.wstring());
    EXPECT_EQ(calls, (Log{"sub", "top", "second", "top"}));
    EXPECT_EQ(platform->folderWatches(), 2);
    platform.reset();
    top.reset();
}

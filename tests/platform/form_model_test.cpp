// Tests of the portable form model through the headless driver: the rules the two
// backends used to implement each on their own.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"

using namespace plat;
using namespace plat::headless;

namespace {

struct Recorder : FormEvents {
    std::vector<std::string> log;
    std::function<void()> whileLoading;
    int unloadThrows = 0;  // how many onUnload calls throw before one returns
    void onLoad() override {
        log.push_back("load");
        if (whileLoading) {
            whileLoading();
        }
    }
    void onResize() override { log.push_back("resize"); }
    void onUnload(std::int16_t&) override {
        log.push_back("unload");
        if (unloadThrows > 0) {
            --unloadThrows;
            throw std::runtime_error("unload failed");
        }
    }
    void onMenuClick(int id) override { log.push_back("click " + std::to_string(id)); }
    void onCloseRequest(CloseReason) override {}
};

using Log = std::vector<std::string>;

FormDesign popupDesign() {
    FormDesign design;
    design.caption = L"Design";
    design.clientWidth = 3000;
    design.clientHeight = 2000;
    MenuItem pop{1, L"Pop", {}, true, false, {}, {}};
    pop.items = {{2, L"On", {}, true, true, {}, {}},
                 {3, L"Off", {}, false, true, {}, {}},
                 {4, L"Gone", {}, true, false, {}, {}}};
    design.menuBar = {pop};
    return design;
}

}  // namespace

// The window is hidden while onLoad runs: its size is reported once, by the show.
TEST(FormModelTest, SizeChangesDuringLoadAreReportedOnceByTheFirstShow) {
    HeadlessPlatform platform(L"/tmp");
    Recorder events;
    auto form = platform.createForm(popupDesign(), events);
    events.whileLoading = [&] {
        form->setBounds({0, 0, 5000, 4000});
        form->show();
    };
    form->show();
    form->show();
    EXPECT_EQ(events.log, (Log{"load", "resize"}));
}

// A pop-up menu of a hidden drop-down: its own entries may act, but not a disabled
// or hidden one, even when the desktop hands it back.
TEST(FormModelTest, APopupChoiceActsOnlyForAnEnabledVisibleEntryOfThatMenu) {
    HeadlessPlatform platform(L"/tmp");
    Recorder events;
    auto form = platform.createForm(popupDesign(), events);
    form->show();
    events.log.clear();
    for (const int choice : {2, 3, 4, 1}) {
        platform.queuePopupChoice(choice);
        form->popupMenu(1);
    }
    EXPECT_EQ(events.log, Log{"click 2"});
    EXPECT_FALSE(platform.form(0).clickMenu(2));  // its drop-down is hidden
}

// onUnload runs unguarded inside unload(), so its exception reaches the caller; the
// form must stay loaded and open, or no later close could ever unload it.
TEST(FormModelTest, AnUnloadWhoseHandlerThrowsLeavesTheFormOpenForTheNextClose) {
    HeadlessPlatform platform(L"/tmp");
    Recorder events;
    auto form = platform.createForm(popupDesign(), events);
    form->show();
    events.unloadThrows = 1;
    EXPECT_THROW(form->unload(), std::runtime_error);
    EXPECT_TRUE(form->loaded());
    EXPECT_EQ(platform.openFormCount(), 1);
    form->unload();
    EXPECT_FALSE(form->loaded());
    EXPECT_EQ(platform.openFormCount(), 0);
    EXPECT_EQ(events.log, (Log{"load", "resize", "unload", "unload"}));
}

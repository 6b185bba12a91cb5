// Forms on every backend: the order of their events from load to unload, the open-
// forms list, their texts, and the dialog keys.
#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using Forms = ContractTest;

// Numbered as the program's own forms number their controls.
constexpr int kLabel = 101;
constexpr int kOk = 102;
constexpr int kCancel = 103;
constexpr float kSlack = 30;  // twips: two pixels of rounding

plat::FormDesign windowDesign() {
    plat::FormDesign design = formDesign(L"Contract window", 4500, 3000);
    design.menuBar = {{1, L"&File", {}, true, true, {{11, L"E&xit", {}, true, true, {}, {}}}, {}}};
    return design;
}

plat::FormDesign dialogDesign(int okId = kOk, int cancelId = kCancel) {
    plat::FormDesign design = formDesign(L"Contract dialog", 4500, 2000);
    design.border = plat::BorderStyle::FixedDialog;
    plat::ControlDesign label{kLabel, plat::ControlKind::Label, {150, 150, 4200, 600}, L"A label"};
    plat::ControlDesign ok{okId, plat::ControlKind::Button, {1500, 1300, 1200, 400}, L"OK", 0};
    ok.isDefault = true;
    plat::ControlDesign cancel{cancelId, plat::ControlKind::Button, {3000, 1300, 1200, 400}, L"Cancel", 1};
    cancel.isCancel = true;
    design.controls = {label, ok, cancel};
    return design;
}

TEST_F(Forms, LoadRunsBeforeTheWindowShowsAndTheFirstShowRaisesOneResize) {
    Recorder events;
    const auto form = platform().createForm(windowDesign(), events);
    bool visibleWhileLoading = true;
    int openWhileLoading = -1;
    events.whileLoading = [&] {
        visibleWhileLoading = backend().visible(*form);
        openWhileLoading = platform().openFormCount();
    };
    EXPECT_EQ(platform().openFormCount(), 0);
    EXPECT_FALSE(form->loaded());

    form->show();
    backend().settle();
    EXPECT_EQ(events.log, (Log{"load", "resize"}));
    EXPECT_FALSE(visibleWhileLoading);
    EXPECT_EQ(openWhileLoading, 1) << "a form is open from the start of its load";
    EXPECT_TRUE(backend().visible(*form));
    EXPECT_TRUE(form->loaded());

    form->show();
    backend().settle();
    EXPECT_EQ(events.log, (Log{"load", "resize"})) << "a second show raises nothing";
    form->unload();
}

TEST_F(Forms, ResizeAndCloseRequestsReachTheHandlers) {
    Recorder events;
    const auto form = platform().createForm(windowDesign(), events);
    form->show();
    backend().settle();
    events.log.clear();

    const plat::Rect before = form->bounds();
    backend().resize(*form, before.width + 1500, before.height + 750);
    EXPECT_EQ(events.log, Log{"resize"});
    EXPECT_NEAR(form->bounds().width, before.width + 1500, kSlack);
    EXPECT_NEAR(form->clientArea().height, 3000 + 750, kSlack);
    form->setBounds(before);
    backend().settle();
    EXPECT_EQ(events.log, (Log{"resize", "resize"}));
    EXPECT_NEAR(form->bounds().width, before.width, kSlack);

    events.log.clear();
    backend().requestClose(*form);  // the handler leaves the form open
    EXPECT_EQ(events.log, Log{"close"});
    EXPECT_TRUE(form->loaded());
    events.form = form.get();
    events.unloadOnClose = true;
    backend().requestClose(*form);
    backend().settle();
    EXPECT_EQ(events.log, (Log{"close", "close", "unload"}));
    EXPECT_FALSE(form->loaded());
    EXPECT_EQ(platform().openFormCount(), 0);
}

TEST_F(Forms, TheOpenFormsFollowLoadsAndUnloadsInLoadOrder) {
    Recorder firstEvents;
    Recorder secondEvents;
    const auto first = platform().createForm(windowDesign(), firstEvents);
    const auto second = platform().createForm(dialogDesign(), secondEvents);
    first->load();
    EXPECT_EQ(firstEvents.log, Log{"load"}) << "load alone shows nothing";
    EXPECT_FALSE(backend().visible(*first));
    second->show();
    EXPECT_EQ(platform().openFormCount(), 2);

    platform().unloadForm(0);
    EXPECT_EQ(firstEvents.log, (Log{"load", "unload"}));
    EXPECT_EQ(platform().openFormCount(), 1);
    EXPECT_TRUE(second->loaded());
    platform().unloadForm(0);
    EXPECT_EQ(secondEvents.log, (Log{"load", "resize", "unload"}));
    EXPECT_EQ(platform().openFormCount(), 0);
    backend().settle();
}

// As a new window: the state of the old one is gone with it.
TEST_F(Forms, AnUnloadedFormLoadsAgainFromItsDesign) {
    Recorder events;
    const auto form = platform().createForm(windowDesign(), events);
    form->show();
    const plat::NativeHandle first = form->handle();
    form->setCaption(L"Changed");
    form->setMenuEnabled(11, false);
    platform().setWindowPos(*form, plat::ZOrder::TopMost, 10, 10, 400, 300);
    form->unload();
    events.log.clear();

    form->show();
    backend().settle();
    EXPECT_EQ(events.log, (Log{"load", "resize"}));
    EXPECT_TRUE(backend().visible(*form));
    EXPECT_NE(form->handle(), first);
    EXPECT_EQ(form->caption(), L"Contract window");
    EXPECT_TRUE(form->menuEnabled(11));
    EXPECT_FALSE(platform().isTopMost(*form));
    EXPECT_EQ(platform().openFormCount(), 1);
    form->unload();
}

TEST_F(Forms, CaptionAndControlTextsRoundTrip) {
    Recorder events;
    const auto form = platform().createForm(dialogDesign(), events);
    EXPECT_EQ(form->caption(), L"Contract dialog");
    EXPECT_EQ(form->controlText(kOk), L"OK");
    form->show();
    backend().settle();

    const std::wstring caption = L"Caf\u00e9 \u20ac \u0141 & more";
    form->setCaption(caption);
    EXPECT_EQ(form->caption(), caption);
    form->setControlText(kLabel, L"Line one\r\nLine two \u0141");
    EXPECT_EQ(form->controlText(kLabel), L"Line one\r\nLine two \u0141");
    form->setControlText(kCancel, L"&Close");
    EXPECT_EQ(form->controlText(kCancel), L"&Close");
    form->setControlText(99, L"no such control");
    EXPECT_EQ(form->controlText(99), L"");
    form->unload();
}

class DialogKeys : public ContractTest {
protected:
    // Enter presses button `ok` (the default), Esc button `cancel`.
    void expectKeysPress(int ok, int cancel) {
        Recorder events;
        const auto form = platform().createForm(dialogDesign(ok, cancel), events);
        form->show();
        backend().settle();
        events.log.clear();
        backend().pressEnter(*form);
        EXPECT_EQ(events.log, Log{"button " + std::to_string(ok)});
        backend().pressEscape(*form);
        EXPECT_EQ(events.log, (Log{"button " + std::to_string(ok), "button " + std::to_string(cancel)}));
        form->unload();
    }
};

TEST_F(DialogKeys, EnterAndEscPressTheDefaultAndTheCancelButton) {
    expectKeysPress(kOk, kCancel);
}

// Windows' dialog manager sends Esc as the command IDCANCEL (2) and Enter, failing
// a default, as IDOK (1): a button numbered so must not be taken for the one meant.
TEST_F(DialogKeys, TheKeysDoNotDependOnTheButtonsNumbers) {
    expectKeysPress(2, 1);
}

}  // namespace
}  // namespace contract

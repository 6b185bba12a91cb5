// Modal loops of the Qt backend: message boxes answer by the keys as on Windows, and
// a form shown modally returns once it is unloaded, its owner kept from input meanwhile;
// pop-up menus; bounds that read back as given.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

#include "platform/forms/form_model.h"
#include "platform/qt/qt_form.h"
#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using QtModal = ContractTest;

// Presses `keys` one by one in whatever modal window is open, from inside its loop.
void pressInModal(std::vector<Qt::Key> keys) {
    QTimer::singleShot(50, [keys = std::move(keys)]() mutable {
        for (const Qt::Key key : keys) {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                QTest::keyClick(modal, key);
            }
        }
    });
}

plat::MsgAnswer ask(plat::Platform& platform, plat::MsgButtons buttons, int defaultButton, std::vector<Qt::Key> keys) {
    pressInModal(std::move(keys));
    plat::MessageBoxRequest request;
    request.text = L"<b>not markup</b>\r\nsecond line";
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return platform.messageBox(request);
}

TEST_F(QtModal, MessageBoxKeysAnswerAsOnWindows) {
    EXPECT_EQ(ask(platform(), plat::MsgButtons::YesNo, 2, {Qt::Key_Return}), plat::MsgAnswer::No);
    EXPECT_EQ(ask(platform(), plat::MsgButtons::YesNoCancel, 1, {Qt::Key_Escape}), plat::MsgAnswer::Cancel);
    EXPECT_EQ(ask(platform(), plat::MsgButtons::Ok, 1, {Qt::Key_Escape}), plat::MsgAnswer::Ok);
    EXPECT_EQ(ask(platform(), plat::MsgButtons::YesNo, 1, {Qt::Key_Escape, Qt::Key_Return}), plat::MsgAnswer::Yes)
        << "a Yes/No box ignores Esc";
}

// Unloads its form when its button is pressed, as the About box's OK does.
struct Closer : Recorder {
    void onButtonClick(int id) override {
        Recorder::onButtonClick(id);
        form->unload();
    }
};

TEST_F(QtModal, AModalFormReturnsWhenUnloadedAndKeepsItsOwnerFromInput) {
    plat::FormDesign ownerDesign = formDesign(L"Owner", 4500, 3000);
    Recorder ownerEvents;
    const auto owner = platform().createForm(ownerDesign, ownerEvents);
    owner->show();

    plat::FormDesign design = formDesign(L"Modal", 3000, 1500);
    design.border = plat::BorderStyle::FixedDialog;
    plat::ControlDesign ok{7, plat::ControlKind::Button, {1500, 900, 1200, 400}, L"OK", 0};
    ok.isDefault = true;
    design.controls = {ok};
    Closer events;
    const auto modal = platform().createForm(design, events);
    events.form = modal.get();

    bool ownerInput = true;
    QTimer::singleShot(50, [&] {
        ownerInput = plat::FormModel::of(*owner)->inputEnabled();
        if (QWidget* focus = QApplication::focusWidget()) {
            QTest::keyClick(focus, Qt::Key_Return);
        }
    });
    modal->showModal(*owner);
    EXPECT_FALSE(ownerInput);
    EXPECT_EQ(events.log, (Log{"load", "resize", "button 7", "unload"}));
    EXPECT_TRUE(plat::FormModel::of(*owner)->inputEnabled());
    owner->unload();
}

// A drop-down shown at the pointer, as the launcher's tray menu is (a drop-down of the
// menu bar here, whose entries also click themselves when chosen there).
TEST_F(QtModal, APopUpMenuRaisesTheChosenEntrysClickOnce) {
    plat::FormDesign design;
    design.caption = L"Hidden";
    plat::MenuItem popup{9, L"Popup", {}, true, true, {}, {}};
    popup.items = {{91, L"&Open", {}, true, true, {}, {}}, {92, L"&Close", {}, true, true, {}, {}}};
    design.menuBar = {popup};
    Recorder events;
    const auto form = platform().createForm(design, events);
    form->load();
    QTimer::singleShot(50, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
    form->popupMenu(9);
    EXPECT_EQ(events.log, (Log{"load", "open 9", "click 91"}));
    form->unload();
}

using QtForms = ContractTest;

// Twips become whole pixels; the settings stored from bounds() must not drift by that
// rounding from run to run while the window stays where it was put.
TEST_F(QtForms, BoundsGivenInTwipsReadBackAsGivenUntilTheWindowIsSized) {
    plat::FormDesign design = formDesign(L"Bounds", 3000, 2000);
    Recorder events;
    const auto form = platform().createForm(design, events);
    form->show();
    form->setBounds({500, 500, 3852, 3852});
    backend().settle();
    const plat::Rect r = form->bounds();
    EXPECT_EQ(r.left, 500);
    EXPECT_EQ(r.top, 500);
    EXPECT_EQ(r.width, 3852);
    EXPECT_EQ(r.height, 3852);
    backend().resize(*form, 4500, 4500);
    EXPECT_EQ(form->bounds().width, 4500) << "a size of whole pixels reads back whole";
    form->unload();
}

// Alt, then the marked character: ">" needs Shift, and "&>" has no drop-down to open.
TEST_F(QtForms, AltThenAMarkedCharacterChoosesAnEntryOfTheBar) {
    plat::FormDesign design = formDesign(L"Bar", 3000, 2000);
    design.menuBar = {{501, L"&<", {}, true, true, {}, {}}, {502, L"&>", {}, true, true, {}, {}}};
    Recorder events;
    const auto form = platform().createForm(design, events);
    form->show();
    backend().settle();
    events.log.clear();
    QWidget* window = dynamic_cast<plat::qt::QtForm&>(*form).window();
    window->activateWindow();
    backend().settle();
    QTest::keyClick(window, Qt::Key_Alt);
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : window, '>', Qt::ShiftModifier);
    backend().settle();
    EXPECT_EQ(events.log, Log{"click 502"});
    form->unload();
}

}  // namespace
}  // namespace contract

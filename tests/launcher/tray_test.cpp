// The launcher on the headless desktop: its icon, the decoding of the icon's mouse
// notifications with the busy flag, the tray menu, Open, Close and Exit.
#include <gtest/gtest.h>

#include <new>

#include "assets/resource_ids.h"
#include "launcher/frm_main.h"
#include "launcher/notify_record.h"
#include "platform/headless/headless_platform.h"
#include "test_support.h"

namespace launcher {
namespace {

using plat::headless::HeadlessPlatform;

class TrayTest : public ::testing::Test {
protected:
    TrayTest() {
        m_platform.onUnexpectedBox([](const plat::MessageBoxRequest& box) {
            ADD_FAILURE() << "unexpected message box, " << box.text.size() << " characters";
        });
        m_platform.onUnusedScript([](const std::string& what) { ADD_FAILURE() << what; });
        m_program = Main(m_platform);
    }

    plat::headless::HeadlessForm& form() { return m_platform.form(0); }
    // The notes program's application window, and one of its message boxes.
    plat::NativeHandle addNotesProgram() { return m_platform.addWindow(L"Quibbets", plat::appWindowClass(kAppTitle)); }
    plat::NativeHandle addMessageBox() { return m_platform.addWindow(L"Quibbets", L"#32770"); }
    void notify(std::initializer_list<int> codes) {
        for (int code : codes) {
            form().notifyPicture(code);
        }
    }

    HeadlessPlatform m_platform{L"C:\\Apps\\Quibbets"};
    std::unique_ptr<LauncherProgram> m_program;
};

TEST_F(TrayTest, StartAddsOneIconAndShowsNothing) {
    ASSERT_TRUE(m_program);
    EXPECT_EQ(m_platform.iconCount(), 1);
    ASSERT_EQ(m_platform.notifyCalls().size(), 1u);
    const auto& add = m_platform.notifyCalls()[0];
    EXPECT_EQ(add.op, plat::NotifyOp::Add);
    const plat::NotifyRecord expected{form().pictureHandle(),           1, 7, 512, form().iconHandle(),
                                      tipField(m_platform, L"Quibbets")};
    EXPECT_EQ(add.record, expected);
    EXPECT_NE(form().pictureHandle(), 0u);
    EXPECT_NE(form().iconHandle(), 0u);
    EXPECT_FALSE(form().visible());
    EXPECT_TRUE(m_platform.startedPrograms().empty());
}

TEST_F(TrayTest, MouseCodesArriveAsTwipsAndAreDecodedBack) {
    m_program->form->picHook_MouseMove(0, 0, 7725, 0);  // 515 at 15 twips per pixel
    EXPECT_EQ(m_platform.startedPrograms(),
              std::vector<std::wstring>{std::wstring(L"C:\\Apps\\Quibbets/") + launcher::kNotesProgram});
    m_platform.queuePopupChoice(0);
    m_program->form->picHook_MouseMove(0, 0, 7755, 0);  // 517
    EXPECT_EQ(m_platform.popups(), std::vector<int>{mnuPop});
}

TEST_F(TrayTest, OnlyADoubleClickOpensAndOnlyARightReleaseShowsTheMenu) {
    notify({512, 513, 514, 516, 518, 519, 520, 521});
    EXPECT_TRUE(m_platform.startedPrograms().empty());
    EXPECT_TRUE(m_platform.popups().empty());
    notify({513, 514, 515, 514});
    EXPECT_EQ(m_platform.startedPrograms().size(), 1u);
}

TEST_F(TrayTest, NotificationsWhileTheMenuIsOpenAreDroppedNotQueued) {
    m_platform.duringPopup([this] { notify({515, 517}); });
    m_platform.queuePopupChoice(0);
    notify({517});
    EXPECT_TRUE(m_platform.startedPrograms().empty());
    EXPECT_EQ(m_platform.popups().size(), 1u);
    notify({515});  // handled again once the menu has closed
    EXPECT_EQ(m_platform.startedPrograms().size(), 1u);
}

TEST_F(TrayTest, NotificationsWhileAnOpenRunsAreDropped) {
    m_platform.failProgramStarts(L"The system cannot find the file specified.");
    int boxes = 0;
    m_platform.onUnexpectedBox([&](const plat::MessageBoxRequest&) {
        ++boxes;
        notify({517, 515});  // arrives while the failure is being reported
    });
    notify({515});
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(m_platform.popups().empty());
}

TEST_F(TrayTest, MenuOpenStartsTheNotesProgramFromTheLaunchersFolder) {
    m_platform.queuePopupChoice(mnuPopOpen);
    notify({517});
    m_platform.queuePopupChoice(mnuPopOpen);
    notify({517});
    EXPECT_EQ(m_platform.startedPrograms().size(), 2u);  // each Open starts one more
}

TEST_F(TrayTest, AFailedOpenNamesThePathAndTheReasonAndTheLauncherGoesOn) {
    m_platform.failProgramStarts(L"The system cannot find the file specified.");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    notify({515});
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    const std::wstring& text = m_platform.messageBoxes()[0].text;
    EXPECT_NE(text.find(std::wstring(L"C:\\Apps\\Quibbets/") + launcher::kNotesProgram), std::wstring::npos);
    EXPECT_NE(text.find(L"cannot find the file"), std::wstring::npos);
    EXPECT_EQ(m_platform.openFormCount(), 1);
    EXPECT_EQ(m_platform.iconCount(), 1);
}

TEST_F(TrayTest, CloseWithNoNotesProgramSaysToCloseItManually) {
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    m_platform.queuePopupChoice(mnuPopClose);
    notify({517});
    notes::test::expectOnlyBox(m_platform,
                               {.text = L"Error!  Please close the program manually.", .caption = L"Quibbets"});
    EXPECT_TRUE(m_platform.closeRequests().empty());
}

TEST_F(TrayTest, CloseAsksTheFirstNotesProgramOnlyToClose) {
    addMessageBox();  // found first by its title alone
    const plat::NativeHandle first = addNotesProgram();
    addMessageBox();
    addNotesProgram();
    m_platform.addWindow(L"Quibbet - Page 1");
    m_program->form->mnuPopClose_Click();
    EXPECT_EQ(m_platform.closeRequests(), std::vector<plat::NativeHandle>{first});
}

TEST_F(TrayTest, CloseWithOnlyAMessageBoxTitledQuibbetsSaysToCloseItManually) {
    addMessageBox();
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    m_program->form->mnuPopClose_Click();
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.messageBoxes()[0].text, L"Error!  Please close the program manually.");
    EXPECT_TRUE(m_platform.closeRequests().empty());
}

TEST_F(TrayTest, CloseOfAProgramThatEndsAtOnceIsNoFailure) {
    addNotesProgram();
    m_platform.onCloseRequest([this](plat::NativeHandle window) { m_platform.removeWindow(window); });
    m_program->form->mnuPopClose_Click();
    EXPECT_EQ(m_platform.closeRequests().size(), 1u);
    EXPECT_TRUE(m_platform.messageBoxes().empty());
}

TEST_F(TrayTest, ExitRemovesOnlyTheIconAndLeavesTheNotesProgramRunning) {
    addNotesProgram();
    const plat::NativeHandle hook = form().pictureHandle();
    m_platform.queuePopupChoice(mnuExit);
    notify({517});
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_EQ(m_platform.iconCount(), 0);
    const HeadlessPlatform::NotifyCall& deletion = m_platform.notifyCalls().back();
    EXPECT_EQ(deletion.op, plat::NotifyOp::Delete);
    EXPECT_TRUE(deletion.accepted);
    EXPECT_EQ(deletion.record, (plat::NotifyRecord{hook, 1, 0, 0, 0, {}}));
    EXPECT_TRUE(m_platform.closeRequests().empty());
}

TEST_F(TrayTest, TheEndOfTheSessionRemovesTheIconAndEndsTheLauncher) {
    const plat::NativeHandle hook = form().pictureHandle();
    m_platform.endSession();
    EXPECT_EQ(m_platform.iconCount(), 0);
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_EQ(m_platform.notifyCalls().back().record, (plat::NotifyRecord{hook, 1, 0, 0, 0, {}}));
}

TEST_F(TrayTest, AFailingCommandIsReportedAndTheLauncherGoesOn) {
    m_platform.onCloseRequest([](plat::NativeHandle) { throw std::bad_alloc(); });
    addNotesProgram();
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    m_platform.queuePopupChoice(mnuPopClose);
    notify({517});
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.messageBoxes()[0].text, L"The notes program could not be asked to close: out of memory");
    EXPECT_EQ(m_platform.messageBoxes()[0].caption, L"Quibbets");
    EXPECT_EQ(m_platform.iconCount(), 1);
    m_platform.queuePopupChoice(mnuPopOpen);  // the icon still answers
    notify({517});
    EXPECT_EQ(m_platform.startedPrograms().size(), 1u);
}

TEST_F(TrayTest, TheIconComesBackAfterTheShellRestartsAndStaysSingle) {
    m_platform.restartShell();
    EXPECT_EQ(m_platform.iconCount(), 0);
    form().broadcastTaskbarCreated();
    EXPECT_EQ(m_platform.iconCount(), 1);
    form().broadcastTaskbarCreated();  // a broadcast without a restart
    EXPECT_EQ(m_platform.iconCount(), 1);
}

TEST(TrayStart, TheAddIsRetriedWhileTheShellIsNotReady) {
    HeadlessPlatform platform(L"/apps");
    platform.failNotifyAdds(3);
    const auto program = Main(platform);
    ASSERT_TRUE(program);
    EXPECT_EQ(platform.iconCount(), 1);
    EXPECT_EQ(platform.waitedMilliseconds(), 3000);
}

TEST(TrayStart, ALauncherThatCannotShowItsIconSaysSoAndEnds) {
    HeadlessPlatform platform(L"/apps");
    platform.failNotifyAdds(1000);
    platform.queueAnswer(plat::MsgAnswer::Ok);
    EXPECT_FALSE(Main(platform));
    EXPECT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.openFormCount(), 0);
}

TEST(TrayStart, TwoLaunchersEachRemoveOnlyTheirOwnIcon) {
    HeadlessPlatform platform(L"/apps");
    const auto first = Main(platform);
    const auto second = Main(platform);
    EXPECT_EQ(platform.iconCount(), 2);
    first->form->mnuExit_Click(0);
    EXPECT_EQ(platform.iconCount(), 1);
    EXPECT_TRUE(second->form->form().loaded());
}

}  // namespace
}  // namespace launcher

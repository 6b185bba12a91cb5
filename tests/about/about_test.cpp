// The About dialog: its labels, where it opens, how it closes, the system
// information lookup through the registry; and the Help entries.
#include <filesystem>
#include <fstream>

#include "notes/about/frm_about.h"
#include "notes/window/menu_ids.h"
#include "test_support.h"

namespace notes::test {
namespace {

using plat::headless::HeadlessForm;

constexpr char kPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";

class AboutTest : public NotesTest {
protected:
    // Opens About from the Help menu; `user` plays the user while it is open.
    void openAbout(std::function<void(HeadlessForm&)> user) {
        m_platform.queueModalAction(std::move(user));
        window().clickMenu(mnuHelpAbout);
    }
};

TEST_F(AboutTest, ShowsTitleAndVersionEachTimeItOpens) {
    start();
    for (int opening = 0; opening < 2; ++opening) {
        openAbout([&](HeadlessForm& about) {
            EXPECT_EQ(about.caption(), L"About Quibbets");
            EXPECT_EQ(about.controlText(lblTitle), L"Quibbets");
            EXPECT_EQ(about.controlText(lblVersion), L"Version 1.0.0");
            EXPECT_EQ(about.controlText(lblDescription),
                      L"Quibbets allows you to keep those important messages and notes just a click away.");
            EXPECT_FALSE(about.controlText(lblDisclaimer).empty());
            EXPECT_EQ(about.modalOwner(), window().handle());
            EXPECT_FALSE(window().enabled());
            EXPECT_FALSE(window().clickMenu(mnuFileExit));  // the notes window takes no input
            about.clickButton(cmdOK);
        });
        EXPECT_EQ(m_platform.openFormCount(), 1);
        EXPECT_TRUE(window().enabled());
    }
}

TEST_F(AboutTest, EnterEscAndTheCloseBoxCloseIt) {
    start();
    openAbout([](HeadlessForm& about) { about.pressEnter(); });
    openAbout([](HeadlessForm& about) { about.pressEscape(); });
    openAbout([](HeadlessForm& about) { about.requestClose(); });
    EXPECT_EQ(m_platform.openFormCount(), 1);
}

TEST_F(AboutTest, OpensBelowTheWindowAndStaysOnTheScreen) {
    const plat::Rect dialog{0, 0, 5985, 3765};
    const plat::Rect placed = placeAbout({1000, 2000, 3852, 3852}, dialog);
    EXPECT_EQ(placed.left, 2926);
    EXPECT_EQ(placed.top, 6052);
    EXPECT_EQ(placed.width, dialog.width);

    const plat::Rect area{0, 0, 19200, 14760};
    const plat::Rect fits = keepInWorkArea(placed, area);
    EXPECT_EQ(fits.left, 2926);
    EXPECT_EQ(fits.top, 6052);
    const plat::Rect below = keepInWorkArea({15000, 16000, 5985, 3765}, area);
    EXPECT_EQ(below.left, 19200 - 5985);
    EXPECT_EQ(below.top, 14760 - 3765);
    const plat::Rect tooBig = keepInWorkArea({-500, -500, 30000, 20000}, area);
    EXPECT_EQ(tooBig.left, 0);
    EXPECT_EQ(tooBig.top, 0);

    // Through the Help menu, with the window near the bottom of the screen.
    setSetting(L"MainTop", L"12000");
    setSetting(L"MainLeft", L"3000");
    start();
    openAbout([&](HeadlessForm& about) {
        const plat::Rect r = about.bounds();
        EXPECT_EQ(r.left, 3000 + window().bounds().width / 2);
        EXPECT_EQ(r.top + r.height, 14760);
        about.clickButton(cmdOK);
    });
}

TEST_F(AboutTest, ClosingTheProgramWhileItIsOpenClosesItFirstAndSaves) {
    start();
    page(0).setText(L"saved on the way out");
    openAbout([&](HeadlessForm&) { m_platform.sendAppClose(); });
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_EQ(readPage(1), "saved on the way out\r\n");
}

TEST_F(AboutTest, ACloseRequestWhileSystemInfoIsUnavailableClosesAfterTheBox) {
    start();
    page(0).setText(L"saved on the way out");
    m_platform.queueAnswer(plat::MsgAnswer::Ok, [&] {
        m_platform.sendAppClose();
        EXPECT_EQ(m_platform.openFormCount(), 2);
    });
    openAbout([](HeadlessForm& about) { about.clickButton(cmdSysInfo); });
    EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_EQ(readPage(1), "saved on the way out\r\n");
}

class SysInfoTest : public NotesTest {
protected:
    SysInfoTest() : about(m_platform) {}
    void expectUnavailable() {
        expectOnlyBox(m_platform, {.text = L"System Information Is Unavailable At This Time", .caption = L"Quibbets"});
        EXPECT_TRUE(m_platform.startedPrograms().empty());
    }
    std::wstring read(const std::string& value) {
        std::wstring out = L"unchanged";
        found = about.GetKeyValue(kPathKey, value, out);
        return out;
    }
    FrmAbout about;
    bool found = false;
};

TEST_F(SysInfoTest, GetKeyValueCutsAtMostOneTerminatingZero) {
    m_platform.setRegistryValue(kPathKey, "zero", plat::RegValueKind::Text, std::string("C:\\tool.exe\0", 12));
    m_platform.setRegistryValue(kPathKey, "bare", plat::RegValueKind::Text, "C:\\tool.exe");
    m_platform.setRegistryValue(kPathKey, "empty", plat::RegValueKind::Text, "");
    m_platform.setRegistryValue(kPathKey, "long", plat::RegValueKind::Text, std::string(1025, 'x'));
    m_platform.setRegistryValue(kPathKey, "full", plat::RegValueKind::Text, std::string(1024, 'x'));
    m_platform.setRegistryValue(kPathKey, "binary", plat::RegValueKind::Other, "\x01\x02");
    m_platform.setRegistryValue(kPathKey, "number", plat::RegValueKind::Number, std::string("\x2C\x01\x00\x00", 4));
    EXPECT_EQ(read("zero"), L"C:\\tool.exe");
    EXPECT_TRUE(found);
    EXPECT_EQ(read("bare"), L"C:\\tool.exe");
    EXPECT_EQ(read("empty"), L"");
    EXPECT_FALSE(found);
    EXPECT_EQ(read("long"), L"");
    EXPECT_FALSE(found);
    EXPECT_EQ(read("full").size(), 1024u);
    EXPECT_EQ(read("binary"), L"unchanged");
    EXPECT_TRUE(found);
    EXPECT_EQ(read("number"), L"300");
    EXPECT_EQ(read("missing"), L"");
    EXPECT_FALSE(found);
    m_platform.denyRegistryKey(kPathKey);
    EXPECT_EQ(read("zero"), L"");
    EXPECT_FALSE(found);
    EXPECT_EQ(m_platform.openRegistryKeys(), 0);
}

TEST_F(SysInfoTest, FullPathIsStartedAsReadEvenWhereKeysMayOnlyBeRead) {
    m_platform.setRegistryValue(kPathKey, "PATH", plat::RegValueKind::Text,
                                std::string("C:\\Tools\\msinfo32.exe\0", 22));
    about.StartSysInfo();
    EXPECT_EQ(m_platform.startedPrograms(), std::vector<std::wstring>{L"C:\\Tools\\msinfo32.exe"});
    EXPECT_EQ(m_platform.registryOpens().size(), 1u);
}

TEST_F(SysInfoTest, FolderIsUsedWhenItHoldsTheProgramFile) {
    const std::string folder = m_folder + "/msinfo";
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/MSINFO32.EXE") << "program";
    m_platform.setRegistryValue(kPathKey, "PATH", plat::RegValueKind::Text, std::string("\0", 1));
    m_platform.setRegistryValue(kFolderKey, "MSINFO", plat::RegValueKind::Text, folder);
    about.StartSysInfo();
    ASSERT_EQ(m_platform.startedPrograms().size(), 1u);
    EXPECT_EQ(narrow(m_platform.startedPrograms()[0]), folder + "/MSINFO32.EXE");
    EXPECT_EQ(m_platform.registryOpens(), (std::vector<std::string>{"software\\microsoft\\shared tools\\msinfo",
                                                                    "software\\microsoft\\shared tools location"}));
}

TEST_F(SysInfoTest, FolderWithoutTheProgramFileIsUnavailable) {
    m_platform.setRegistryValue(kFolderKey, "MSINFO", plat::RegValueKind::Text, m_folder);
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    about.StartSysInfo();
    expectUnavailable();
}

TEST_F(SysInfoTest, NoKeysIsUnavailable) {
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    about.StartSysInfo();
    expectUnavailable();
    EXPECT_EQ(m_platform.registryOpens().size(), 2u);
}

// A desktop without the registry entries offers its own tool, found among the known ones.
TEST_F(SysInfoTest, WithoutKeysTheDesktopsKnownToolIsStarted) {
    m_platform.setSystemInfoTool(L"/usr/bin/hardinfo");
    about.StartSysInfo();
    EXPECT_EQ(m_platform.startedPrograms(), std::vector<std::wstring>{L"/usr/bin/hardinfo"});
}

TEST_F(SysInfoTest, PathThatCannotBeStartedIsUnavailable) {
    m_platform.setRegistryValue(kPathKey, "PATH", plat::RegValueKind::Text, "C:\\nothing here.exe");
    m_platform.failProgramStarts(L"The system cannot find the file specified.");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    about.StartSysInfo();
    expectUnavailable();
}

TEST_F(SysInfoTest, TheButtonStartsTheLookupAndTheDialogStaysOpen) {
    start();
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    m_platform.queueModalAction([&](HeadlessForm& dialog) {
        dialog.clickButton(cmdSysInfo);
        EXPECT_TRUE(dialog.loaded());
        EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
        dialog.clickButton(cmdOK);
    });
    window().clickMenu(mnuHelpAbout);
}

class HelpTest : public NotesTest {};

TEST_F(HelpTest, OnlyAboutIsShownAndReachable) {
    start();
    EXPECT_FALSE(window().menuVisible(mnuHelpContents));
    EXPECT_FALSE(window().menuEnabled(mnuHelpContents));
    EXPECT_FALSE(window().menuVisible(mnuHelpSearch));
    EXPECT_FALSE(window().clickMenu(mnuHelpContents));
    EXPECT_FALSE(window().clickMenu(mnuHelpSearch));
    EXPECT_TRUE(window().menuVisible(mnuHelpAbout));
    EXPECT_TRUE(m_platform.messageBoxes().empty());
}

TEST_F(HelpTest, WithoutAHelpFileBothCommandsSaySoUnderTheWindowCaption) {
    FrmMain& frm = start();
    frm.ShowPage(4);
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    frm.mnuHelpContents_Click();
    frm.mnuHelpSearch_Click();
    ASSERT_EQ(m_platform.messageBoxes().size(), 2u);
    for (const plat::MessageBoxRequest& box : m_platform.messageBoxes()) {
        EXPECT_EQ(box.text, L"Unable to display Help Contents. There is no Help associated with this project.");
        EXPECT_EQ(box.caption, L"Quibbet - Page 5");
        EXPECT_EQ(box.icon, plat::MsgIcon::Information);
    }
    EXPECT_TRUE(m_platform.helpCalls().empty());
}

TEST_F(HelpTest, WithAHelpFileTheEngineGetsItsCommand) {
    m_platform.setHelpFile(L"C:\\notes.hlp");
    FrmMain& frm = start();
    frm.mnuHelpContents_Click();
    frm.mnuHelpSearch_Click();
    ASSERT_EQ(m_platform.helpCalls().size(), 2u);
    EXPECT_EQ(m_platform.helpCalls()[0].command, plat::HelpCommand::Contents);
    EXPECT_EQ(m_platform.helpCalls()[1].command, plat::HelpCommand::Search);
    EXPECT_EQ(m_platform.helpCalls()[1].file, L"C:\\notes.hlp");
    EXPECT_EQ(m_platform.helpCalls()[0].owner, window().handle());

    m_platform.failHelp(L"The help engine is not available on this system.");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    frm.mnuHelpContents_Click();
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.messageBoxes()[0].text, L"The help engine is not available on this system.");
    EXPECT_EQ(m_platform.messageBoxes()[0].caption, L"Quibbets");
    EXPECT_EQ(m_platform.messageBoxes()[0].icon, plat::MsgIcon::None);
}

}  // namespace
}  // namespace notes::test

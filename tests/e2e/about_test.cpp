// The About box: its texts, where it shows, the ways to close it, the System
// Info button with and without the registry entries that locate the tool, and
// ending the program while it is open.
#include "tests/e2e/e2e_fixture.h"

#include "tests/e2e/driver/dialog_view.h"
#include "tests/e2e/driver/machine_registry.h"
#include "tests/e2e/driver/stand_in.h"
#include "tests/e2e/driver/user_input.h"

namespace e2e {
namespace {

enum AboutControl { kIconBox = 101, kTitle, kVersion, kDescription, kDisclaimer, kOk, kSystemInfo };

class About : public NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        m_toolPath.remove();
        m_toolsFolder.remove();
    }
    DialogView openAbout() {
        m_app->window().choose({L"&Help", L"&About Quibbets..."});
        return DialogView::waitFor(m_app->process(), L"About Quibbets");
    }
    // Clicks System Info and expects the box that says the tool is missing.
    void expectSystemInfoUnavailable(NotesWindow& w, const DialogView& about) {
        about.click(kSystemInfo);
        const MessageBoxView box = waitForMessageBoxBesides(m_app->process(), about.handle());
        EXPECT_EQ(box.caption, L"Quibbets");
        EXPECT_EQ(box.text, L"System Information Is Unavailable At This Time");
        EXPECT_EQ(box.buttonCaptions(), std::vector<std::wstring>{L"OK"});
        EXPECT_EQ(w.messageBoxIcon(box), 0);
        box.press(L"OK");
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(box.window); }, kShortWait));
        EXPECT_TRUE(about.open()) << "the About box closed with the message";
    }
    // Clicks System Info and waits for the stand-in at `exe` to have run.
    void expectSystemInfoStarts(const DialogView& about, const std::wstring& exe) {
        about.click(kSystemInfo);
        EXPECT_TRUE(waitUntil([&] { return GetFileAttributesW(standInMarker(exe).c_str()) != INVALID_FILE_ATTRIBUTES; },
                              kWait, Millis{50}))
            << toUtf8(exe) << " was not started";
        waitForIdle(about.handle());
        EXPECT_TRUE(dialogWindows(m_app->process()).size() <= 1) << "a message besides the About box";
        EXPECT_TRUE(about.open());
    }

    // Where the program looks for the System Information tool: a full path first,
    // then the folder that holds MSINFO32.EXE.
    SavedMachineValue m_toolPath{L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH"};
    SavedMachineValue m_toolsFolder{L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO"};
};

TEST_F(About, ShowsItsTextsWhileTheNotesWindowWaits) {
    NotesWindow& w = startWindow();
    const DialogView about = openAbout();
    EXPECT_FALSE(IsWindowEnabled(w.handle())) << "the notes window takes input beside the About box";
    EXPECT_EQ(about.controlText(kTitle), L"Quibbets");
    EXPECT_EQ(about.controlText(kVersion), L"Version 1.0.0");
    EXPECT_EQ(about.controlText(kDescription),
              L"Quibbets allows you to keep those important messages and notes just a click away.");
    EXPECT_FALSE(about.controlText(kDisclaimer).empty());
    EXPECT_EQ(about.controlText(kOk), L"OK");
    EXPECT_EQ(about.controlText(kSystemInfo), L"&System Info...");
    EXPECT_NE(about.control(kIconBox), nullptr);
    EXPECT_EQ(about.controlStyle(kOk) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "OK is not the default button";
    about.click(kOk);
    about.expectClosed();
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(w.handle()) != 0; }, kShortWait));
    EXPECT_TRUE(m_app->process().running());
}

TEST_F(About, ShowsBelowTheMiddleOfTheNotesWindow) {
    NotesWindow& w = startWindow();
    SetWindowPos(w.handle(), nullptr, 100, 100, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT box = openAbout().rect();
    EXPECT_NEAR(box.left, 100 + 400 / 2.0, 1);
    // 200 twips below the bottom edge.
    EXPECT_NEAR(box.top, twipsToPixels((100 + 300) * twipsPerPixel() + 200), 1);
}

TEST_F(About, MovesOntoTheWorkAreaOnlyAsFarAsNeeded) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    NotesWindow& w = startWindow();
    // Off the bottom right, then off the top left: the box ends against those edges.
    const POINT corners[] = {{work.right - 300, work.bottom - 250}, {work.left - 1000, work.top - 2000}};
    for (const POINT& at : corners) {
        SCOPED_TRACE("notes window at " + std::to_string(at.x) + "," + std::to_string(at.y));
        SetWindowPos(w.handle(), nullptr, at.x, at.y, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        const DialogView about = openAbout();
        const RECT box = about.rect();
        if (at.x > work.left) {
            EXPECT_NEAR(box.right, work.right, 1);
            EXPECT_NEAR(box.bottom, work.bottom, 1);
        } else {
            EXPECT_NEAR(box.left, work.left, 1);
            EXPECT_NEAR(box.top, work.top, 1);
        }
        about.click(kOk);
        about.expectClosed();
        waitForIdle(w.handle());
    }
}

TEST_F(About, EscapeAndEnterClose) {
    NotesWindow& w = startWindow();
    for (WORD key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key == VK_ESCAPE ? "Esc" : "Enter");
        const DialogView about = openAbout();
        pressKeys(about.handle(), {key});
        about.expectClosed();
        EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(w.handle()) != 0; }, kShortWait));
        waitForIdle(w.handle());
    }
}

TEST_F(About, SystemInfoWithoutTheToolSaysSo) {
    NotesWindow& w = startWindow();
    const DialogView about = openAbout();
    expectSystemInfoUnavailable(w, about);
    // A folder entry whose folder lacks the tool, and empty entries, are no better.
    TestFolder empty = TestFolder::createTemporary();
    m_toolsFolder.set(empty.path());
    expectSystemInfoUnavailable(w, about);
    m_toolPath.set(L"");
    m_toolsFolder.set(L"");
    expectSystemInfoUnavailable(w, about);
}

TEST_F(About, SystemInfoStartsThePathEntryFirst) {
    NotesWindow& w = startWindow();
    const std::wstring tool = m_folder.file(L"info tool.exe");
    m_folder.copyIn(standInPath(), L"info tool.exe");
    TestFolder tools = TestFolder::createTemporary();
    tools.copyIn(standInPath(), L"MSINFO32.EXE");
    m_toolPath.set(tool);
    m_toolsFolder.set(tools.path());
    const DialogView about = openAbout();
    expectSystemInfoStarts(about, tool);
    EXPECT_FALSE(tools.exists(L"MSINFO32.EXE.ran")) << "the folder entry was used although the path entry is set";
    about.click(kOk);
    about.expectClosed();
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(w.handle()) != 0; }, kShortWait));
}

TEST_F(About, SystemInfoFallsBackToTheToolsFolder) {
    startWindow();
    TestFolder tools = TestFolder::createTemporary();
    tools.copyIn(standInPath(), L"MSINFO32.EXE");
    m_toolPath.set(L"");  // empty counts as absent
    m_toolsFolder.set(tools.path());
    const DialogView about = openAbout();
    expectSystemInfoStarts(about, tools.file(L"MSINFO32.EXE"));
}

TEST_F(About, CloseRequestWhileOpenSavesAndEnds) {
    NotesWindow& w = startWindow();
    w.type(1, L"typed before About");
    openAbout();
    HWND app = m_app->appWindow();
    ASSERT_NE(app, nullptr);
    PostMessageW(app, WM_CLOSE, 0, 0);
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "typed before About\r\n");
}

}  // namespace
}  // namespace e2e

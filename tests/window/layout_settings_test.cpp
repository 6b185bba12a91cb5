// Layout and stored settings: editors follow the window's size; every close stores
// the rectangle in the exact text formats, in one write, except a close while
// minimized.
#include "notes/window/menu_ids.h"
#include "notes/window/window_settings.h"
#include "test_support.h"

namespace notes::test {
namespace {

class LayoutSettingsTest : public NotesTest {
protected:
    // Starts, puts the window into `state` and closes it without saving.
    void closeWhile(plat::WindowState state) {
        start();
        window().setWindowState(state);
        window().clickMenu(mnuFileExitNoSave);
    }
};

TEST_F(LayoutSettingsTest, ResizingSizesEveryEditorHiddenOnesToo) {
    start();
    window().userSetBounds({600, 700, 5000, 4000});
    for (int i = 0; i < kPageCount; ++i) {
        EXPECT_FLOAT_EQ(page(i).geometry().width, 4880) << i;
        EXPECT_FLOAT_EQ(page(i).geometry().height, 3310) << i;
    }
    window().clickMenu(mnuNext);
    EXPECT_FLOAT_EQ(page(1).geometry().width, 4880);
}

// The offsets leave less room for frame and bars than this desktop draws: the editor
// is cut to the client area, in a normal window and a maximized one.
TEST_F(LayoutSettingsTest, TheEditorNeverRunsPastTheClientArea) {
    start();
    for (const plat::Rect bounds : {plat::Rect{0, 0, 3852, 3852}, plat::Rect{0, 0, 9000, 700}}) {
        window().userSetBounds(bounds);
        const plat::Rect client = window().clientArea();
        EXPECT_FLOAT_EQ(client.width, bounds.width - 120);
        EXPECT_FLOAT_EQ(page(0).geometry().width, client.width);
        EXPECT_FLOAT_EQ(page(0).geometry().height, client.height);
    }
    window().setWindowState(plat::WindowState::Maximized);
    EXPECT_FLOAT_EQ(page(0).geometry().width, window().clientArea().width);
    EXPECT_FLOAT_EQ(page(0).geometry().height, window().clientArea().height);
    EXPECT_LT(window().clientArea().height, window().bounds().height - 550);
}

TEST_F(LayoutSettingsTest, TooSmallAWindowLeavesTheEditorsTheirLastSize) {
    start();
    window().userSetBounds({600, 700, 100, 400});
    EXPECT_FLOAT_EQ(page(0).geometry().width, 3735);
    EXPECT_FLOAT_EQ(page(0).geometry().height, 3165);
    window().userSetBounds({600, 700, 3000, 3000});
    EXPECT_FLOAT_EQ(page(0).geometry().width, 2880);
    EXPECT_FLOAT_EQ(page(0).geometry().height, 2310);
}

TEST_F(LayoutSettingsTest, MinimizeAndRestoreKeepTheEditorSize) {
    start();
    const plat::Rect before = page(0).geometry();
    window().setWindowState(plat::WindowState::Minimized);
    window().setWindowState(plat::WindowState::Normal);
    EXPECT_FLOAT_EQ(page(0).geometry().width, before.width);
    EXPECT_FLOAT_EQ(page(0).geometry().height, before.height);
}

TEST_F(LayoutSettingsTest, ClosingStoresTheRectangleAndColourAsText) {
    start();
    window().userSetBounds({-120, 1200, 6000, 4500});
    window().clickMenu(mnuFileExitNoSave);
    EXPECT_EQ(setting(L"MainLeft"), "-120");
    EXPECT_EQ(setting(L"MainTop"), "1200");
    EXPECT_EQ(setting(L"MainWidth"), "6000");
    EXPECT_EQ(setting(L"MainHeight"), "4500");
    EXPECT_EQ(setting(L"BackColor"), "-2147483633");
    EXPECT_EQ(m_platform.settingWrites(), 1);  // all five values in one write
    EXPECT_EQ(m_platform.openFormCount(), 0);
}

TEST_F(LayoutSettingsTest, TheNextStartOpensWhereTheLastOneClosed) {
    start();
    window().userSetBounds({1500, 1200, 6000, 4500});
    window().requestClose();
    stop();
    start();
    EXPECT_FLOAT_EQ(window().bounds().left, 1500);
    EXPECT_FLOAT_EQ(window().bounds().width, 6000);
}

TEST_F(LayoutSettingsTest, ClosingWhileMinimizedKeepsTheEarlierValues) {
    setSetting(L"MainLeft", L"1234");
    closeWhile(plat::WindowState::Minimized);
    EXPECT_EQ(setting(L"MainLeft"), "1234");
    EXPECT_EQ(setting(L"MainWidth"), "<absent>");
}

TEST_F(LayoutSettingsTest, ClosingWhileMaximizedStoresTheMaximizedBounds) {
    closeWhile(plat::WindowState::Maximized);
    EXPECT_EQ(setting(L"MainLeft"), "-60");
    EXPECT_EQ(setting(L"MainWidth"), "19320");
}

// The window closes all the same, and says so in one box; at the session's end no
// one would answer that box, so the failure goes unsaid.
TEST_F(LayoutSettingsTest, AFailingSettingsWriteIsSaidOnceExceptAtTheSessionsEnd) {
    m_platform.failSettingWrites(true);
    start();
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().requestClose();
    expectOnlyBox(
        m_platform,
        {.text = L"The window's place and size could not be stored:\r\n\r\nThe settings store is not writable.",
         .caption = L"Quibbets",
         .icon = plat::MsgIcon::Exclamation});
    EXPECT_EQ(m_platform.openFormCount(), 0);
    stop();

    start();
    ASSERT_TRUE(m_platform.queryEndSession());
    m_platform.endSession();
    EXPECT_EQ(m_platform.settingWrites(), 2);
    EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.openFormCount(), 0);
}

TEST(WindowSettingsFormat, ShortestDecimalWithoutBlanksOrExponent) {
    EXPECT_EQ(formatTwips(500), L"500");
    EXPECT_EQ(formatTwips(-120), L"-120");
    EXPECT_EQ(formatTwips(12.5f), L"12.5");
    EXPECT_EQ(formatTwips(100000000), L"100000000");
    EXPECT_EQ(parseTwips(L" 42 "), 42.0f);
    EXPECT_EQ(parseTwips(L"-1.5"), -1.5f);
    EXPECT_FALSE(parseTwips(L"1,5"));
    EXPECT_FALSE(parseTwips(L"nan"));
    EXPECT_FALSE(parseTwips(L"\u0661"));  // an Arabic-Indic digit is not ours
}

}  // namespace
}  // namespace notes::test

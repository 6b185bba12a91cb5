// Start-up: where the window opens, how the editors are laid out, which Go entries
// are available, the topmost band, and settings that cannot be trusted.
#include "notes/window/menu_ids.h"
#include "platform/headless/headless_form.h"
#include "test_support.h"

namespace notes::test {
namespace {

using StartupTest = NotesTest;

void expectRect(const plat::Rect& r, float left, float top, float width, float height) {
    EXPECT_FLOAT_EQ(r.left, left);
    EXPECT_FLOAT_EQ(r.top, top);
    EXPECT_FLOAT_EQ(r.width, width);
    EXPECT_FLOAT_EQ(r.height, height);
}

TEST_F(StartupTest, FirstRunUsesDefaultsAndShowsPageOne) {
    start();
    expectRect(window().bounds(), 495, 495, 3855, 3855);  // 500 twips is 33.3 pixels
    for (int i = 0; i < kPageCount; ++i) {
        expectRect(page(i).geometry(), 0, 0, 3735, 3165);  // the client area
        EXPECT_EQ(page(i).visible(), i == 0);
        EXPECT_EQ(dynamic_cast<plat::headless::HeadlessTextBox&>(window().textBox(i)).backColor(), 65535u);
        EXPECT_FALSE(window().menuEnabled(mnuGoOne + i)) << i;
    }
    EXPECT_EQ(window().caption(), L"Quibbet - Page 1");
    EXPECT_EQ(m_program->window->currentPage(), 0);
    EXPECT_TRUE(window().visible());
    EXPECT_EQ(m_platform.appWindowTitle(), L"Quibbets");
}

TEST_F(StartupTest, TheWindowIsPlacedOnTopAtItsStoredRectangleInPixels) {
    start();
    ASSERT_TRUE(m_platform.lastWindowPos());
    const plat::headless::WindowPosCall call = *m_platform.lastWindowPos();
    EXPECT_EQ(call.z, plat::ZOrder::TopMost);
    EXPECT_EQ(call.x, 33);
    EXPECT_EQ(call.y, 33);
    EXPECT_EQ(call.cx, 257);  // 3852 / 15 = 256.8
    EXPECT_EQ(call.cy, 257);
    EXPECT_TRUE(m_platform.isTopMost(window()));
}

TEST_F(StartupTest, PixelRoundingTakesHalvesToTheEvenNeighbour) {
    setGeometry(L"562.5", L"547.5");  // 37.5 and 36.5 pixels
    start();
    EXPECT_EQ(m_platform.lastWindowPos()->x, 38);
    EXPECT_EQ(m_platform.lastWindowPos()->y, 36);
}

TEST_F(StartupTest, StoredGeometrySizesTheEditors) {
    setGeometry(L"1500", L"1200", L"6000", L"4500");
    start();
    expectRect(window().bounds(), 1500, 1200, 6000, 4500);
    expectRect(page(0).geometry(), 0, 0, 5880, 3810);
}

// The rule gives no size that fits: every editor keeps its design size.
TEST_F(StartupTest, AWindowTooSmallForItsEditorsStartsWithTheirDesignSize) {
    setSetting(L"MainWidth", L"100");
    setSetting(L"MainHeight", L"450");
    start();
    EXPECT_TRUE(page(0).visible());
    for (int i = 0; i < kPageCount; ++i) {
        expectRect(page(i).geometry(), 0, 0, 3732, 2412);
    }
    window().userSetBounds({500, 500, 3852, 3000});
    expectRect(page(0).geometry(), 0, 0, 3732, 2310);
}

TEST_F(StartupTest, GoEntriesFollowWhichPagesHoldText) {
    writePage(4, "four\r\n");
    writePage(7, " \r\n");  // a single blank is text
    start();
    for (int i = 0; i < kPageCount; ++i) {
        EXPECT_EQ(window().menuEnabled(mnuGoOne + i), i == 3 || i == 6) << i;
    }
    EXPECT_TRUE(page(0).visible());
    EXPECT_EQ(page(3).text(), L"four");
}

TEST_F(StartupTest, AllPagesWithTextKeepAllGoEntries) {
    for (int n = 1; n <= kPageCount; ++n) {
        writePage(n, "page " + std::to_string(n) + "\r\n");
    }
    start();
    for (int i = 0; i < kPageCount; ++i) {
        EXPECT_TRUE(window().menuEnabled(mnuGoOne + i)) << i;
    }
    EXPECT_EQ(page(9).text(), L"page 10");
}

TEST_F(StartupTest, MenuBarAsDesigned) {
    start();
    const std::vector<plat::MenuItem> bar = window().menuBar();
    ASSERT_EQ(bar.size(), 6u);
    EXPECT_EQ(bar[0].caption, L"&File");
    EXPECT_EQ(bar[4].caption, L"&<");
    EXPECT_EQ(bar[5].caption, L"&>");
    EXPECT_TRUE(bar[4].items.empty());
    EXPECT_EQ(bar[4].accessibleName, L"Previous page");  // a screen reader's name for "<"
    EXPECT_EQ(bar[5].accessibleName, L"Next page");
    EXPECT_FALSE(window().menuEnabled(mnuEditUndo));
    EXPECT_FALSE(window().menuEnabled(mnuEditCut));
    EXPECT_FALSE(window().menuEnabled(mnuEditCopy));
    EXPECT_TRUE(window().menuEnabled(mnuEditPaste));
    EXPECT_EQ(window().menuCaption(mnuGoTen), L"Page 1&0");
    EXPECT_EQ(bar[2].items[9].shortcut, plat::Shortcut::ctrlF(11));
    EXPECT_EQ(bar[0].items[0].shortcut, plat::Shortcut::ctrl(L'S'));
}

TEST_F(StartupTest, SettingsThatAreNotNumbersFallBackToTheirDefaults) {
    setGeometry(L"abc", L"12x", L"", L"-40");
    start();
    EXPECT_FLOAT_EQ(m_platform.lastWindowPos()->x, 33);
    EXPECT_FLOAT_EQ(m_platform.lastWindowPos()->y, 33);
    EXPECT_FLOAT_EQ(m_platform.lastWindowPos()->cx, 257);
    EXPECT_FLOAT_EQ(m_platform.lastWindowPos()->cy, 257);
}

TEST_F(StartupTest, AWindowOffEveryScreenComesBackIntoTheWorkArea) {
    setGeometry(L"900000", L"-50000");
    start();
    const plat::Rect r = window().bounds();
    EXPECT_LE(r.left + r.width, 19200);
    EXPECT_GE(r.top, 0);
    EXPECT_FLOAT_EQ(r.width, 3855);
}

TEST_F(StartupTest, AWindowWhoseCaptionIsBelowTheTaskbarIsLiftedAndShrunk) {
    setSetting(L"MainTop", L"14700");
    setSetting(L"MainHeight", L"30000");
    start();
    const plat::Rect r = window().bounds();
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.top + r.height, 14760 + 15);
}

TEST_F(StartupTest, MaximizedBoundsJustOutsideTheWorkAreaAreKept) {
    setGeometry(L"-120", L"-120", L"19440", L"15000");
    start();
    expectRect(window().bounds(), -120, -120, 19440, 15000);
}

TEST_F(StartupTest, ReachableRuleOnASecondScreen) {
    m_platform.setWorkAreas({{0, 0, 19200, 14760}, {19200, 0, 19200, 14760}});
    setSetting(L"MainLeft", L"25000");
    start();
    EXPECT_FLOAT_EQ(window().bounds().left, 25005);  // 1666.7 pixels, rounded  // kept: it is on the second screen
}

}  // namespace
}  // namespace notes::test

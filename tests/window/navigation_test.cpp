// Page navigation: Go entries, "<" and ">" with wrap-around, and the invariants
// every switch keeps (one visible editor, caption, current page index).
#include "notes/window/menu_ids.h"
#include "platform/headless/headless_form.h"
#include "test_support.h"

namespace notes::test {
namespace {

class NavigationTest : public NotesTest {
protected:
    void SetUp() override {
        for (int n = 1; n <= kPageCount; ++n) {
            writePage(n, "text of page " + std::to_string(n) + "\r\n");
        }
        start();
    }

    void expectShown(int index) {
        int visible = 0;
        for (int i = 0; i < kPageCount; ++i) {
            visible += page(i).visible() ? 1 : 0;
        }
        EXPECT_EQ(visible, 1);
        EXPECT_TRUE(page(index).visible());
        EXPECT_EQ(window().caption(), L"Quibbet - Page " + std::to_wstring(index + 1));
        EXPECT_EQ(m_program->window->currentPage(), index);
        // A screen reader names the shown editor after its page.
        const auto& box = dynamic_cast<const plat::headless::HeadlessTextBox&>(window().textBox(index));
        EXPECT_EQ(box.accessibleName(), L"Page " + std::to_wstring(index + 1));
    }
};

TEST_F(NavigationTest, NextWalksAllPagesAndWrapsToPageOne) {
    for (int step = 1; step <= kPageCount; ++step) {
        ASSERT_TRUE(window().clickMenu(mnuNext));
        expectShown(step % kPageCount);
    }
}

TEST_F(NavigationTest, PreviousFromPageOneGoesToPageTen) {
    window().clickMenu(mnuPrev);
    expectShown(9);
    EXPECT_EQ(window().caption(), L"Quibbet - Page 10");
    window().clickMenu(mnuPrev);
    expectShown(8);
}

TEST_F(NavigationTest, GoEntriesJumpStraightToTheirPage) {
    window().clickMenu(mnuGoSeven);
    expectShown(6);
    window().clickMenu(mnuGoOne);
    expectShown(0);
    window().clickMenu(mnuGoOne);  // the page already shown stays shown
    expectShown(0);
}

TEST_F(NavigationTest, ShortcutsReachPagesAndCtrlF11IsPageTen) {
    EXPECT_TRUE(window().pressShortcut(plat::Shortcut::ctrlF(11)));
    expectShown(9);
    EXPECT_FALSE(window().pressShortcut(plat::Shortcut::ctrlF(10)));
    expectShown(9);
    window().pressShortcut(plat::Shortcut::ctrlF(3));
    expectShown(2);
}

TEST_F(NavigationTest, SwitchingKeepsEveryPagesText) {
    window().clickMenu(mnuGoThree);
    window().type(2, L"typed ");
    window().clickMenu(mnuNext);
    window().clickMenu(mnuPrev);
    EXPECT_EQ(page(2).text(), L"typed text of page 3");
    for (int i = 0; i < kPageCount; ++i) {
        if (i != 2) {
            EXPECT_EQ(narrow(page(i).text()), "text of page " + std::to_string(i + 1));
        }
    }
}

class EmptyPagesNavigationTest : public NotesTest {};

TEST_F(EmptyPagesNavigationTest, StepsStopOnEmptyPagesWhoseGoEntriesAreDisabled) {
    writePage(5, "five\r\n");
    start();
    EXPECT_FALSE(window().clickMenu(mnuGoTwo));  // disabled: nothing happens
    EXPECT_EQ(m_program->window->currentPage(), 0);
    EXPECT_FALSE(window().pressShortcut(plat::Shortcut::ctrlF(2)));
    window().clickMenu(mnuNext);
    EXPECT_EQ(m_program->window->currentPage(), 1);
    EXPECT_TRUE(page(1).visible());
    EXPECT_TRUE(window().clickMenu(mnuGoFive));
    EXPECT_EQ(window().caption(), L"Quibbet - Page 5");
}

}  // namespace
}  // namespace notes::test

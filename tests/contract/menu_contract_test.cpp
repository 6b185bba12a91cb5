// The menu rules on every backend: an entry acts only while it is enabled and
// visible, whichever way its command arrives (a click, its shortcut, a command from
// another program); a drop-down's onMenuOpen runs before any of its entries acts,
// and what it enables or disables there counts at once.
#include <algorithm>

#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

constexpr int kFile = 1, kSave = 11, kSeparator = 19, kExit = 12;
constexpr int kEdit = 2, kCut = 21, kCopy = 22, kSecret = 23;
constexpr int kHelp = 3;

plat::MenuItem entry(int id, std::wstring caption, wchar_t key = 0, bool enabled = true, bool visible = true) {
    return {id, std::move(caption), key ? plat::Shortcut::ctrl(key) : plat::Shortcut{}, enabled, visible, {}, {}};
}

plat::MenuItem dropDown(int id, std::wstring caption, std::vector<plat::MenuItem> items) {
    plat::MenuItem menu = entry(id, std::move(caption));
    menu.items = std::move(items);
    return menu;
}

class Menus : public ContractTest {
protected:
    Menus() {
        plat::FormDesign design = formDesign(L"Menus", 4500, 3000);
        design.menuBar = {
            dropDown(kFile, L"&File", {entry(kSave, L"&Save", L'S'), entry(kSeparator, L"-"), entry(kExit, L"E&xit")}),
            dropDown(kEdit, L"&Edit",
                     {entry(kCut, L"Cu&t", L'X', false), entry(kCopy, L"&Copy", L'C'),
                      entry(kSecret, L"Se&cret", L'H', true, false)}),
            entry(kHelp, L"&Help"),
        };
        m_form = platform().createForm(design, m_events);
        m_form->show();
        backend().settle();
        m_events.log.clear();
    }
    ~Menus() override { m_form->unload(); }

    bool acted(int id) const {
        return std::count(m_events.log.begin(), m_events.log.end(), "click " + std::to_string(id)) > 0;
    }

    Recorder m_events;
    std::unique_ptr<plat::Form> m_form;
};

TEST_F(Menus, AClickOpensTheDropDownFirst) {
    EXPECT_TRUE(backend().clickMenu(*m_form, kSave));
    EXPECT_TRUE(backend().clickMenu(*m_form, kHelp));
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'S'));
    EXPECT_EQ(m_events.log, (Log{"open 1", "click 11", "click 3", "open 1", "click 11"}));
    EXPECT_EQ(m_form->menuCaption(kExit), L"E&xit");
    EXPECT_TRUE(m_form->menuVisible(kExit));
}

TEST_F(Menus, ADisabledEntryNeverActs) {
    EXPECT_FALSE(m_form->menuEnabled(kCut));
    EXPECT_FALSE(backend().clickMenu(*m_form, kCut));
    EXPECT_EQ(m_events.log, Log{"open 2"});
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'X'));
    EXPECT_EQ(m_events.log, (Log{"open 2", "open 2"}));

    m_form->setMenuEnabled(kSave, false);
    EXPECT_FALSE(m_form->menuEnabled(kSave));
    EXPECT_FALSE(backend().clickMenu(*m_form, kSave));
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'S'));
    EXPECT_FALSE(acted(kSave));
    m_form->setMenuEnabled(kSave, true);
    EXPECT_TRUE(backend().clickMenu(*m_form, kSave));
    EXPECT_TRUE(acted(kSave));
}

TEST_F(Menus, AHiddenEntryNeverActs) {
    EXPECT_FALSE(m_form->menuVisible(kSecret));
    EXPECT_FALSE(backend().clickMenu(*m_form, kSecret));
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'H'));
    backend().sendCommand(*m_form, kSecret);
    EXPECT_FALSE(acted(kSecret));
}

// Another program may send any command; it must not get round the entry's state.
TEST_F(Menus, ACommandFromAnotherProgramActsOnlyForAnEnabledEntry) {
    backend().sendCommand(*m_form, kCut);
    EXPECT_FALSE(acted(kCut));
    backend().sendCommand(*m_form, kCopy);
    EXPECT_TRUE(acted(kCopy));
}

TEST_F(Menus, TheDropDownsHandlerMayEnableAnEntryBeforeItsShortcutActs) {
    m_events.whileOpening = [&](int id) { m_form->setMenuEnabled(kCut, id == kEdit); };
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'X'));
    EXPECT_EQ(m_events.log, (Log{"open 2", "click 21"}));
    m_form->setMenuEnabled(kCut, false);
    EXPECT_TRUE(backend().clickMenu(*m_form, kCut));
    EXPECT_EQ(m_events.log, (Log{"open 2", "click 21", "open 2", "click 21"}));
}

TEST_F(Menus, TheDropDownsHandlerMayDisableAnEntrySoThatItDoesNotAct) {
    m_events.whileOpening = [&](int id) { m_form->setMenuEnabled(kCopy, id != kEdit); };
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'C'));
    EXPECT_FALSE(backend().clickMenu(*m_form, kCopy));
    EXPECT_EQ(m_events.log, (Log{"open 2", "open 2"}));
}

// The system's accelerators look at the entry's own state only.
TEST_F(Menus, NothingUnderADisabledDropDownActs) {
    m_form->setMenuEnabled(kFile, false);
    EXPECT_FALSE(backend().clickMenu(*m_form, kSave));
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'S'));
    EXPECT_FALSE(acted(kSave));
}

}  // namespace
}  // namespace contract

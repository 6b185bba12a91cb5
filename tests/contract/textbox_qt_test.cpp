// The Qt backend's page editors: the program sees CR LF text and positions in it
// while the editor holds lines as blocks; the menu's shortcuts win over the editor's.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <string>
#include <vector>

#include "platform/qt/qt_form.h"
#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

constexpr int kEdit = 2, kUndo = 21, kCopy = 22;

class QtTextBoxes : public ContractTest {
protected:
    QtTextBoxes() {
        plat::FormDesign design = formDesign(L"Editors", 4500, 3000);
        design.textBoxCount = 1;
        design.textBoxRect = {0, 0, 4500, 3000};
        design.menuBar = {{kEdit,
                           L"&Edit",
                           {},
                           true,
                           true,
                           {{kUndo, L"&Undo", plat::Shortcut::ctrl(L'Z'), true, true, {}, {}},
                            {kCopy, L"&Copy", plat::Shortcut::ctrl(L'C'), true, true, {}, {}}},
                           {}}};
        m_form = platform().createForm(design, m_events);
        m_form->show();
        box().setVisible(true);
        box().setFocus();
        backend().settle();
        m_events.log.clear();
    }
    ~QtTextBoxes() override { m_form->unload(); }

    plat::TextBox& box() { return m_form->textBox(0); }
    QPlainTextEdit* editor() { return dynamic_cast<plat::qt::QtForm&>(*m_form).window()->findChild<QPlainTextEdit*>(); }

    Recorder m_events;
    std::unique_ptr<plat::Form> m_form;
};

TEST_F(QtTextBoxes, TextKeepsItsLineEndsAndEveryCharacter) {
    const std::wstring text = L"one\r\ntwo\u00a0\U0001F600\u2028x\r\n\r\nend";
    box().setText(text);
    EXPECT_EQ(box().text(), text);
    EXPECT_EQ(box().textLength(), text.size() + (sizeof(wchar_t) == 4 ? 1 : 0)) << "UTF-16 units";
    std::wstring read;
    box().readText([&](std::wstring_view piece) { read += piece; });
    EXPECT_EQ(read, text);
    EXPECT_FALSE(box().modified());
    EXPECT_EQ(box().selStart(), static_cast<int>(box().textLength())) << "the caret follows the new text";

    // A long text comes out in pieces, none of them the whole, which add up to it.
    std::wstring lines;
    for (int i = 0; i < 8000; ++i) {
        lines += L"line " + std::to_wstring(i) + L" \u00e9\U0001F600\r\n";
    }
    box().setText(lines);
    std::vector<std::size_t> pieces;
    read.clear();
    box().readText([&](std::wstring_view piece) {
        pieces.push_back(piece.size());
        read += piece;
    });
    EXPECT_EQ(read, lines);
    EXPECT_GT(pieces.size(), 1u);

    box().setText(L"lone\nfeed\rreturn");
    EXPECT_EQ(box().text(), L"lone\r\nfeed\r\nreturn") << "the editor breaks lines at either";
    box().setText(L"");
    EXPECT_EQ(box().textLength(), 0u);
}

TEST_F(QtTextBoxes, SelectionsCountInTheCrLfText) {
    box().setText(L"one\r\ntwo\r\nthree");
    box().select(5, 3);
    EXPECT_EQ(box().selText(), L"two");
    box().select(2, 4);
    EXPECT_EQ(box().selText(), L"e\r\nt");
    EXPECT_EQ(box().selStart(), 2);
    EXPECT_EQ(box().selLength(), 4);
    box().select(4, 0);  // between CR and LF: the end of the line
    EXPECT_EQ(box().selStart(), 3);
    box().select(10, 1000);
    EXPECT_EQ(box().selText(), L"three");
    EXPECT_EQ(box().selStart() + box().selLength(), static_cast<int>(box().textLength()));
}

TEST_F(QtTextBoxes, ReplacingTheSelectionAndTypingMarkTheTextChanged) {
    box().setText(L"one\r\ntwo");
    box().select(3, 2);
    box().setSelText(L" and\r\n");
    EXPECT_EQ(box().text(), L"one and\r\ntwo");
    EXPECT_EQ(box().selStart(), 9);
    EXPECT_TRUE(box().modified());
    box().setModified(false);
    EXPECT_FALSE(box().modified());

    QTest::keyClicks(editor(), QStringLiteral("x"));
    EXPECT_TRUE(box().modified());
    EXPECT_EQ(box().text(), L"one and\r\nxtwo");
    QTest::keyClick(editor(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(box().text(), L"one and\r\nx\r\ntwo") << "Shift+Enter breaks the line as Enter does";
}

// The program's Undo and Copy are menu commands; the editor must not take their keys.
TEST_F(QtTextBoxes, TheMenusShortcutsWinOverTheEditorsOwn) {
    box().setText(L"text");
    box().select(0, 4);
    ASSERT_EQ(QApplication::focusWidget(), editor());
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'Z'));
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'C'));
    EXPECT_EQ(m_events.log, (Log{"open 2", "click 21", "open 2", "click 22"}));
    EXPECT_EQ(box().text(), L"text");
}

// Breaking lines at word boundaries takes time in the square of a word's length (a
// page of one 1 MiB run of text took minutes): a long run is broken anywhere.
// What a screen reader hears: the editor by the name the program gives it, and a
// menu entry by its caption, its key apart as the entry's key binding.
TEST_F(QtTextBoxes, ScreenReadersHearTheEditorsNameAndEachEntrysKeyApart) {
    box().setAccessibleName(L"Page 3");
    QAccessibleInterface* editorFace = QAccessible::queryAccessibleInterface(editor());
    ASSERT_NE(editorFace, nullptr);
    EXPECT_EQ(editorFace->text(QAccessible::Name), "Page 3");

    QWidget* window = dynamic_cast<plat::qt::QtForm&>(*m_form).window();
    QAction* undo = nullptr;
    for (QAction* action : window->findChildren<QAction*>()) {
        undo = action->text() == "&Undo" ? action : undo;
    }
    ASSERT_NE(undo, nullptr) << "the entry's name is its caption alone";
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    backend().pressShortcut(*m_form, plat::Shortcut::ctrl(L'Z'));
    EXPECT_EQ(m_events.log, (Log{"open 2", "click 21"})) << "the key acts once, through the form";
}

TEST_F(QtTextBoxes, ALongRunOfTextIsWrappedAnywhere) {
    box().setText(L"short words\r\nonly");
    EXPECT_EQ(editor()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    box().setText(std::wstring(20000, L'x'));
    EXPECT_EQ(editor()->wordWrapMode(), QTextOption::WrapAnywhere);
    box().setText(L"short again");
    EXPECT_EQ(editor()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    box().setSelText(L"pasted " + std::wstring(20000, L'y'));
    EXPECT_EQ(editor()->wordWrapMode(), QTextOption::WrapAnywhere);
}

}  // namespace
}  // namespace contract

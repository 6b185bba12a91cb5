// Printing the current page: what reaches the printer, wrapping and page breaks,
// and a clear message when there is no printer or the job fails.
#include "notes/window/print_page.h"
#include "notes/window/menu_ids.h"
#include "test_support.h"

namespace notes::test {
namespace {

using PrintTest = NotesTest;

std::vector<std::wstring> textsOf(const plat::headless::PrintedDocument& doc) {
    std::vector<std::wstring> texts;
    for (const auto& line : doc.lines) {
        texts.push_back(line.text);
    }
    return texts;
}

TEST_F(PrintTest, PrintsThePageShownLineByLine) {
    writePage(7, "first line\r\nsecond line\r\n");
    start();
    window().clickMenu(mnuGoSeven);
    window().pressShortcut(plat::Shortcut::ctrl(L'P'));
    ASSERT_EQ(m_platform.printed().size(), 1u);
    const auto& doc = m_platform.printed()[0];
    EXPECT_TRUE(doc.ended);
    EXPECT_FLOAT_EQ(doc.fontPoints, 10);  // not the device's stock size
    EXPECT_EQ(textsOf(doc), (std::vector<std::wstring>{L"first line", L"second line"}));
    EXPECT_FLOAT_EQ(doc.lines[0].x, 720);
    EXPECT_FLOAT_EQ(doc.lines[1].y - doc.lines[0].y, 240);
}

TEST_F(PrintTest, AnEmptyPagePrintsOneEmptyLine) {
    start();
    window().clickMenu(mnuFilePrint);
    ASSERT_EQ(m_platform.printed().size(), 1u);
    EXPECT_EQ(textsOf(m_platform.printed()[0]), std::vector<std::wstring>{L""});
    EXPECT_TRUE(m_platform.printed()[0].ended);
}

TEST_F(PrintTest, LongLinesWrapAtBlanksAndLongWordsAreCut) {
    m_platform.setPaper({0, 0, 1560, 15840}, 120, 240);  // 10 characters between the margins
    start();
    page(0).setText(L"aaaa bbbb cccc\r\nxxxxxxxxxxxxxxxxxxxxxxxx");
    window().clickMenu(mnuFilePrint);
    EXPECT_EQ(textsOf(m_platform.printed()[0]),
              (std::vector<std::wstring>{L"aaaa bbbb ", L"cccc", L"xxxxxxxxxx", L"xxxxxxxxxx", L"xxxx"}));
}

TEST_F(PrintTest, LongTextContinuesOnFurtherSheets) {
    m_platform.setPaper({0, 0, 11520, 3840}, 120, 240);  // 12 lines between the margins
    start();
    std::wstring text;
    for (int i = 0; i < 25; ++i) {
        text += L"line " + std::to_wstring(i) + L"\r\n";
    }
    page(0).setText(text);
    window().clickMenu(mnuFilePrint);
    const auto& doc = m_platform.printed()[0];
    EXPECT_EQ(doc.sheets, 3);
    EXPECT_EQ(doc.lines.size(), 26u);
    EXPECT_EQ(doc.lines[11].sheet, 0);
    EXPECT_EQ(doc.lines[12].sheet, 1);
    EXPECT_FLOAT_EQ(doc.lines[12].y, 384);
}

TEST_F(PrintTest, NoPrinterGivesAClearMessage) {
    m_platform.setPrinterAvailable(false);
    start();
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().clickMenu(mnuFilePrint);
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(narrow(m_platform.messageBoxes()[0].text),
              "The page could not be printed.\r\n\r\nNo printer is installed.");
    EXPECT_TRUE(m_platform.printed().empty());
}

TEST_F(PrintTest, AFailingJobIsAbortedAndReported) {
    start();
    page(0).setText(L"a\r\nb\r\nc");
    m_platform.failPrintingAfter(1, L"The printer is out of paper");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().clickMenu(mnuFilePrint);
    EXPECT_TRUE(m_platform.printed()[0].aborted);
    EXPECT_FALSE(m_platform.printed()[0].ended);
    EXPECT_NE(narrow(m_platform.messageBoxes()[0].text).find("out of paper"), std::string::npos);
}

}  // namespace
}  // namespace notes::test

// Printing a page on a real print queue: print_queue.sh prepares a folder holding
// notes.exe and page1.txt, makes a PDF queue the default printer, runs this case,
// and checks the PDF that comes out. Without the folder the case skips.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using PrintQueue = NotesTest;

TEST_F(PrintQueue, ThePageShownGoesToTheDefaultPrinter) {
    const std::wstring path = environment(L"QUIBBETS_E2E_PRINT_DIR");
    if (path.empty()) {
        GTEST_SKIP() << "no print folder (QUIBBETS_E2E_PRINT_DIR); run print_queue.sh as root";
    }
    TestFolder folder = TestFolder::existing(path);
    m_app = NotesApp::launch(folder);
    NotesWindow& window = m_app->window();
    ASSERT_FALSE(window.text(1).empty());
    // The command returns once the document has gone to the spooler.
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Print..."}));
    EXPECT_TRUE(dialogWindows(m_app->process()).empty()) << "printing reported a problem";
    window.choose({L"&File", L"Exit &Without Save"});
    m_app->expectExit();
}

}  // namespace
}  // namespace e2e

// Big pages: a 16 MiB page loads whole, takes a change and is saved byte for byte;
// a 1 MiB page takes a paste of its whole size, is saved and loads back intact. The
// editor's default limit (about 30,000 characters) would cut either. Wine's EDIT
// lays text out at seconds per MiB, so only the load is done at 16 MiB.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using BigPage = NotesTest;

TEST_F(BigPage, SixteenMebibytesLoadChangeAndSave) {
    const std::string loaded = pageText(16u << 20, "loaded");
    NotesWindow& window = startWindow({{1, loaded + "\r\n"}}, kHugeWait);
    ASSERT_EQ(static_cast<size_t>(window.textLength(1)), loaded.size()) << "the page was cut";

    // The saved file is the editor's whole text: it shows the load was exact too.
    window.replaceStart(1, 6, "edited");
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}, kHugeWait));
    const auto saved = m_folder.read(L"page1.txt");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->size(), loaded.size() + 2);
    EXPECT_TRUE(*saved == "edited" + loaded.substr(6) + "\r\n") << "page1.txt differs from the changed text";
}

TEST_F(BigPage, MebibytePasteSavesAndLoadsBack) {
    NotesWindow& window = startWindow({{1, pageText(1u << 20, "loaded") + "\r\n"}}, kHugeWait);
    // Replace everything, as a paste over a full selection does.
    const std::string pasted = pageText(1u << 20, "pasted");
    window.replaceAll(1, widen(pasted));
    ASSERT_EQ(static_cast<size_t>(window.textLength(1)), pasted.size()) << "the paste was cut";

    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}, kHugeWait));
    EXPECT_TRUE(m_folder.read(L"page1.txt") == pasted + "\r\n") << "page1.txt differs from the pasted text";

    kill();
    NotesWindow& again = startWindow({}, kHugeWait);
    EXPECT_TRUE(again.text(1) == widen(pasted)) << "the page read back differs";
}

}  // namespace
}  // namespace e2e

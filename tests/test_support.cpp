// Test fixture: one temporary program folder and one headless desktop per test.
#include "test_support.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "notes/pagestore/text_codec.h"
#include "platform/services/utf8.h"

namespace notes::test {
namespace {

std::string makeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quibbets-test-XXXXXX").string();
    return mkdtemp(pattern.data());
}

std::wstring widen(const std::string& text) {
    return plat::fromUtf8(text);
}

}  // namespace

std::string narrow(const std::wstring& text) {
    return plat::toUtf8(text);
}

NotesTest::NotesTest() : m_folder(makeFolder()), m_platform(widen(m_folder)) {
    m_platform.onUnexpectedBox(
        [](const plat::MessageBoxRequest& box) { ADD_FAILURE() << "unexpected message box: " << narrow(box.text); });
    m_platform.onUnexpectedModal([](plat::headless::HeadlessForm& form) {
        ADD_FAILURE() << "modal form left open: " << narrow(form.caption());
    });
    m_platform.onUnusedScript([](const std::string& what) { ADD_FAILURE() << what; });
}

NotesTest::~NotesTest() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

FrmMain& NotesTest::start() {
    m_program = Main(m_platform);
    return *m_program->window;
}

void NotesTest::stop() {
    m_program.reset();
}

plat::headless::HeadlessForm& NotesTest::window() {
    return m_platform.form(0);
}

PageEditor& NotesTest::page(int index) {
    return m_program->window->rtbNote(index);
}

std::string NotesTest::pagePath(int number) const {
    return m_folder + "/page" + std::to_string(number) + ".txt";
}

void NotesTest::writePage(int number, const std::string& bytes) const {
    std::ofstream(pagePath(number), std::ios::binary) << bytes;
}

std::string NotesTest::readPage(int number) const {
    std::ifstream in(pagePath(number), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string NotesTest::readFile(const std::string& name) const {
    std::ifstream in(m_folder + "/" + name, std::ios::binary);
    if (!in) {
        return "<absent>";
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool NotesTest::pageExists(int number) const {
    return std::filesystem::exists(pagePath(number));
}

std::string NotesTest::setting(const std::wstring& key) {
    const auto found = m_platform.storedSettings().find(L"Quibbets\\Settings\\" + key);
    return found == m_platform.storedSettings().end() ? "<absent>" : narrow(found->second);
}

void NotesTest::setSetting(const std::wstring& key, const std::wstring& value) {
    m_platform.storedSettings()[L"Quibbets\\Settings\\" + key] = value;
}

void expectOnlyBox(const plat::headless::HeadlessPlatform& platform, const plat::MessageBoxRequest& expected) {
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    const plat::MessageBoxRequest& box = platform.messageBoxes()[0];
    EXPECT_EQ(narrow(box.text), narrow(expected.text));
    EXPECT_EQ(narrow(box.caption), narrow(expected.caption));
    EXPECT_EQ(box.buttons, expected.buttons);
    EXPECT_EQ(box.icon, expected.icon);
    EXPECT_EQ(box.defaultButton, expected.defaultButton);
}

void NotesTest::expectPageTexts(const std::vector<std::pair<int, std::wstring>>& texts) {
    for (const auto& [index, text] : texts) {
        EXPECT_EQ(narrow(page(index).text()), narrow(text)) << "page index " << index;
    }
}

void NotesTest::setGeometry(std::optional<std::wstring> left, std::optional<std::wstring> top,
                            std::optional<std::wstring> width, std::optional<std::wstring> height) {
    const std::pair<const wchar_t*, std::optional<std::wstring>*> values[] = {
        {L"MainLeft", &left}, {L"MainTop", &top}, {L"MainWidth", &width}, {L"MainHeight", &height}};
    for (const auto& [key, value] : values) {
        if (*value) {
            setSetting(key, **value);
        }
    }
}

}  // namespace notes::test

// Shared set-up for the unit tests: a fresh folder for the program, a headless
// desktop that fails the test on any message box it was not told to expect, and
// helpers for page files.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "notes/window/frm_main.h"
#include "platform/headless/headless_platform.h"

namespace notes::test {

// Narrow (UTF-8) <-> wide for paths and messages in assertions.
std::string narrow(const std::wstring& text);

// Expects exactly one message box so far, with the text, caption, buttons, icon and
// default button of `expected`.
void expectOnlyBox(const plat::headless::HeadlessPlatform& platform, const plat::MessageBoxRequest& expected);

class NotesTest : public ::testing::Test {
protected:
    NotesTest();
    ~NotesTest() override;

    // Runs the program's start-up on the headless desktop.
    FrmMain& start();
    // Ends the program object (as the process would) without any close event.
    void stop();
    plat::headless::HeadlessForm& window();
    PageEditor& page(int index);

    std::string pagePath(int number) const;
    void writePage(int number, const std::string& bytes) const;
    std::string readPage(int number) const;
    bool pageExists(int number) const;
    // Bytes of a file in the program's folder, "<absent>" when there is none.
    std::string readFile(const std::string& name) const;
    std::string setting(const std::wstring& key);
    void setSetting(const std::wstring& key, const std::wstring& value);
    // Expects each page index's text.
    void expectPageTexts(const std::vector<std::pair<int, std::wstring>>& texts);
    // The stored window place ("MainLeft", "MainTop", "MainWidth", "MainHeight"); a
    // value not given is not stored.
    void setGeometry(std::optional<std::wstring> left, std::optional<std::wstring> top,
                     std::optional<std::wstring> width = {}, std::optional<std::wstring> height = {});

    std::string m_folder;
    plat::headless::HeadlessPlatform m_platform;
    std::unique_ptr<NotesProgram> m_program;
};

}  // namespace notes::test

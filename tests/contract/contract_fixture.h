// Shared set-up of the contract cases: a scratch folder of their own, the backend
// under test, and a form-event recorder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/contract/contract_backend.h"

namespace contract {

using Log = std::vector<std::string>;

class ContractTest : public ::testing::Test {
protected:
    ContractTest();
    ~ContractTest() override;

    plat::Platform& platform() { return m_backend->platform(); }
    ContractBackend& backend() { return *m_backend; }
    // The path of `name` in the scratch folder.
    std::wstring path(std::wstring_view name) const;
    // Names in the scratch folder (files and folders), sorted.
    std::vector<std::wstring> folderContents() const;
    // The file's bytes, "<unreadable>" when it cannot be read.
    std::string read(std::wstring_view name);

    std::wstring m_folder;
    std::unique_ptr<ContractBackend> m_backend;
    std::wstring m_separator;
};

// A form's design with only its caption and client size, in twips.
plat::FormDesign formDesign(std::wstring caption, float width, float height);

// Records each event of a form as a line of text ("load", "click 11"); hooks let
// a case act inside a handler, as a program does.
struct Recorder : plat::FormEvents {
    Log log;
    std::function<void()> whileLoading;
    std::function<void(int)> whileOpening;
    bool unloadOnClose = false;
    plat::Form* form = nullptr;  // for unloadOnClose

    void onLoad() override;
    void onResize() override { log.push_back("resize"); }
    void onUnload(std::int16_t& cancel) override;
    void onMenuClick(int id) override { log.push_back("click " + std::to_string(id)); }
    void onMenuOpen(int id) override;
    void onCloseRequest(plat::CloseReason reason) override;
    void onButtonClick(int id) override { log.push_back("button " + std::to_string(id)); }
};

}  // namespace contract

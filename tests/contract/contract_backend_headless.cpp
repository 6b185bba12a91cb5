// The contract suite's driver on the headless backend: the user's actions through
// HeadlessForm's test side, other programs through HeadlessPlatform's.
#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "tests/contract/contract_backend.h"

namespace contract {
namespace {

using plat::headless::HeadlessForm;
using plat::headless::HeadlessPlatform;

HeadlessForm& user(plat::Form& form) {
    return dynamic_cast<HeadlessForm&>(form);
}

std::wstring fileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

class HeadlessBackend final : public ContractBackend {
public:
    explicit HeadlessBackend(const std::wstring& folder) : m_platform(folder) {
        m_platform.onUnexpectedBox([](const plat::MessageBoxRequest& box) {
            ADD_FAILURE() << "unexpected message box: " << std::string(box.text.begin(), box.text.end());
        });
        m_platform.onUnusedScript([](const std::string& what) { ADD_FAILURE() << what; });
    }

    plat::Platform& platform() override { return m_platform; }
    bool isHeadless() const override { return true; }
    void settle() override {}

    bool clickMenu(plat::Form& form, int id) override { return user(form).clickMenu(id); }
    void pressShortcut(plat::Form& form, plat::Shortcut key) override { user(form).pressShortcut(key); }
    void requestClose(plat::Form& form) override { user(form).requestClose(); }
    void resize(plat::Form& form, float width, float height) override {
        const plat::Rect now = form.bounds();
        user(form).userSetBounds({now.left, now.top, width, height});
    }
    void pressEnter(plat::Form& form) override { user(form).pressEnter(); }
    void pressEscape(plat::Form& form) override { user(form).pressEscape(); }
    bool visible(const plat::Form& form) const override { return dynamic_cast<const HeadlessForm&>(form).visible(); }

    void sendCommand(plat::Form& form, int id) override { user(form).receiveCommand(id); }
    void putClipboardText(std::wstring_view text) override { m_platform.clipboardContent() = std::wstring(text); }
    void emptyClipboard() override { m_platform.clipboardContent().reset(); }
    void hideFile(const std::wstring& path) override { m_platform.markHidden(path); }
    void holdOpen(const std::wstring& path) override {
        m_platform.failWrites(fileName(path), L"The file is in use by another program");
    }
    void reportFolderChange(const std::wstring& folder) override { m_platform.changeFolder(folder); }

private:
    HeadlessPlatform m_platform;
};

}  // namespace

std::unique_ptr<ContractBackend> makeContractBackend(const std::wstring& folder) {
    return std::make_unique<HeadlessBackend>(folder);
}

}  // namespace contract

// The contract cases' scratch folder and event recorder.
#include "tests/contract/contract_fixture.h"

#include "platform/services/files.h"
#include "platform/services/program_info.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

namespace contract {
namespace {

namespace fs = std::filesystem;

// A new folder under the system's temporary folder; the clock and a count keep
// runs side by side (one per Wine lane, say) apart.
fs::path makeScratchFolder() {
    static int made = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        const fs::path folder =
            fs::temp_directory_path() / ("quibbets-contract-" + std::to_string(stamp) + "-" + std::to_string(++made));
        if (fs::create_directories(folder)) {
            return folder;
        }
    }
}

}  // namespace

ContractTest::ContractTest()
    : m_folder(makeScratchFolder().wstring()),
      m_backend(makeContractBackend(m_folder)),
      m_separator(m_backend->platform().program().pathSeparator()) {}

ContractTest::~ContractTest() {
    m_backend.reset();  // which lets go of the files it holds open
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

std::wstring ContractTest::path(std::wstring_view name) const {
    return m_folder + m_separator + std::wstring(name);
}

std::vector<std::wstring> ContractTest::folderContents() const {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(m_folder)) {
        names.push_back(entry.path().filename().wstring());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ContractTest::read(std::wstring_view name) {
    std::string bytes;
    return platform().files().readFile(path(name), bytes).ok ? bytes : "<unreadable>";
}

void Recorder::onLoad() {
    log.push_back("load");
    if (whileLoading) {
        whileLoading();
    }
}

void Recorder::onUnload(std::int16_t& cancel) {
    (void)cancel;
    log.push_back("unload");
}

void Recorder::onMenuOpen(int id) {
    log.push_back("open " + std::to_string(id));
    if (whileOpening) {
        whileOpening(id);
    }
}

void Recorder::onCloseRequest(plat::CloseReason reason) {
    log.push_back(reason == plat::CloseReason::User ? "close" : "close app");
    if (unloadOnClose && form) {
        form->unload();
    }
}

plat::FormDesign formDesign(std::wstring caption, float width, float height) {
    plat::FormDesign design;
    design.caption = std::move(caption);
    design.clientWidth = width;
    design.clientHeight = height;
    return design;
}

}  // namespace contract

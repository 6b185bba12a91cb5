// The reader of the crash tests: loads each data folder named on standard input (one
// a line) with the program's own page loader, as a start after a crash would, and
// prints what it found:
//   state <folder>
//   page <n> <hex>             the text page n starts with (UTF-8 in hexadecimal)
//   recovery <n> <hex>         the text of a whole recovery copy of page n
//   problem <file> <hex>       a page file that is there but could not be read, and why
// The loader removes the temporary files a dead writer left, as at every start.
#include <array>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include "notes/pagestore/page_files.h"
#include "notes/pagestore/recovery.h"
#include "notes/pagestore/text_codec.h"
#include "platform/headless/headless_platform.h"
#include "platform/services/files.h"
#include "platform/services/utf8.h"

namespace {

std::string hex(std::wstring_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char byte : plat::toUtf8(text)) {
        out += kDigits[static_cast<unsigned char>(byte) >> 4];
        out += kDigits[static_cast<unsigned char>(byte) & 15];
    }
    return out;
}

// A page as the loader fills it, without an editor: the text is made when asked for.
class LoadedPage final : public notes::PageText {
public:
    bool changed() const override { return false; }
    std::size_t textLength() const override { return m_length; }
    void readText(const std::function<void(std::wstring_view)>& reader) const override { reader(text()); }
    void setModified(bool) override {}
    void loadText(std::function<std::wstring()> source, std::size_t length) override {
        m_source = std::move(source);
        m_length = length;
    }
    void loadLater(std::function<void()> load) override { load(); }
    bool unread() const override { return false; }
    void read() override {}
    std::wstring text() const { return m_source ? m_source() : std::wstring(); }

private:
    std::function<std::wstring()> m_source;
    std::size_t m_length = 0;
};

class LoadedPages final : public notes::PageSet {
public:
    explicit LoadedPages(plat::Platform& platform) : m_platform(platform) {}
    plat::Platform& platform() override { return m_platform; }
    LoadedPage& page(int index) override { return m_pages[static_cast<std::size_t>(index)]; }
    notes::PageBaseline& baseline(int index) override { return m_baselines[static_cast<std::size_t>(index)]; }

private:
    plat::Platform& m_platform;
    std::array<LoadedPage, notes::kPageCount> m_pages;
    notes::PageBaselines m_baselines;
};

void report(const std::string& folder) {
    plat::headless::HeadlessPlatform platform(plat::fromUtf8(folder));
    LoadedPages pages(platform);
    const notes::PageProblems problems = notes::LoadPages(pages);
    std::printf("state %s\n", folder.c_str());
    for (int i = 0; i < notes::kPageCount; ++i) {
        std::printf("page %d %s\n", i + 1, hex(pages.page(i).text()).c_str());
    }
    // Every copy that the start would read as whole, whoever its owner was.
    const std::wstring recovery = notes::appFilePath(platform, notes::kRecoveryFolder);
    for (const plat::FileEntry& entry : platform.files().listFiles(recovery)) {
        std::string bytes;
        if (!platform.files().readFile(recovery + L"/" + entry.name, bytes).ok) {
            continue;
        }
        if (const std::optional<notes::RecoveryRecord> record = notes::parseRecovery(bytes)) {
            std::printf("recovery %d %s\n", record->page + 1,
                        hex(notes::decodePageFile(platform, record->pageBytes)).c_str());
        }
    }
    for (const notes::PageProblem& problem : problems) {
        std::printf("problem %s %s\n", plat::toUtf8(problem.fileName).c_str(), hex(problem.reason).c_str());
    }
}

}  // namespace

int main() {
    std::string folder;
    while (std::getline(std::cin, folder)) {
        if (!folder.empty()) {
            report(folder);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The headless printer: every job records what it was given into printed().
#include "platform/headless/headless_services.h"

namespace plat::headless {

namespace {

class HeadlessPrintJob final : public PrintJob {
public:
    HeadlessPrintJob(std::shared_ptr<StateLink> link, std::size_t document,
                     std::optional<std::pair<int, std::wstring>> fault)
        : m_link(std::move(link)), m_document(document), m_fault(std::move(fault)) {}

    ~HeadlessPrintJob() override {
        // A job dropped without end() never reaches the printer.
        if (PrintedDocument* doc = document(); doc != nullptr && !doc->ended) {
            doc->aborted = true;
        }
    }

    HeadlessPrintJob(const HeadlessPrintJob&) = delete;
    HeadlessPrintJob& operator=(const HeadlessPrintJob&) = delete;

    Rect printableArea() const override { return state() != nullptr ? state()->paper : Rect{}; }
    float lineHeight() const override { return state() != nullptr ? state()->lineHeight : 0; }

    float textWidth(std::wstring_view text) const override {
        return state() != nullptr ? static_cast<float>(text.size()) * state()->charWidth : 0;
    }

    // The type size is recorded; the paper's character metrics stay as set.
    void setFontSize(float points) override {
        if (PrintedDocument* doc = document(); doc != nullptr) {
            doc->fontPoints = points;
        }
    }

    FileStatus drawText(float x, float y, std::wstring_view text) override {
        PrintedDocument* doc = document();
        if (doc == nullptr || doc->ended || doc->aborted) {
            return {false, L"The print job is closed."};
        }
        if (m_fault && m_drawn >= m_fault->first) {
            return {false, m_fault->second};
        }
        doc->lines.push_back(PrintedLine{doc->sheets - 1, x, y, std::wstring(text)});  // sheets count from 0
        ++m_drawn;
        return {};
    }

    FileStatus newSheet() override {
        PrintedDocument* doc = document();
        if (doc == nullptr || doc->ended || doc->aborted) {
            return {false, L"The print job is closed."};
        }
        ++doc->sheets;
        return {};
    }

    FileStatus end() override {
        PrintedDocument* doc = document();
        if (doc == nullptr || doc->ended || doc->aborted) {
            return {false, L"The print job is closed."};
        }
        doc->ended = true;
        return {};
    }

    void abort() override {
        if (PrintedDocument* doc = document(); doc != nullptr && !doc->ended) {
            doc->aborted = true;
        }
    }

private:
    HeadlessPlatform::State* state() const { return m_link->state; }
    PrintedDocument* document() const {
        return state() != nullptr && m_document < state()->printed.size() ? &state()->printed[m_document] : nullptr;
    }

    std::shared_ptr<StateLink> m_link;
    std::size_t m_document;
    std::optional<std::pair<int, std::wstring>> m_fault;
    int m_drawn = 0;
};

}  // namespace

std::unique_ptr<PrintJob> HeadlessPrinter::startJob(std::wstring_view documentName, std::wstring& error) {
    if (!m_state->printerAvailable) {
        error = L"No printer is installed.";
        return nullptr;
    }
    error.clear();
    m_state->printed.push_back(PrintedDocument{std::wstring(documentName), {}, 1, false, false, 0});
    auto fault = std::move(m_state->printFault);
    m_state->printFault.reset();
    return std::make_unique<HeadlessPrintJob>(m_state->link, m_state->printed.size() - 1, std::move(fault));
}

void HeadlessPlatform::setPrinterAvailable(bool available) {
    m_state->printerAvailable = available;
}

void HeadlessPlatform::failPrintingAfter(int lines, std::wstring error) {
    m_state->printFault.emplace(lines, std::move(error));
}

const std::vector<PrintedDocument>& HeadlessPlatform::printed() const {
    return m_state->printed;
}

void HeadlessPlatform::setPaper(Rect printable, float charWidth, float lineHeight) {
    m_state->paper = printable;
    m_state->charWidth = charWidth;
    m_state->lineHeight = lineHeight;
}

}  // namespace plat::headless

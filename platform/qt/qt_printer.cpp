// Print jobs on the default printer (CUPS). No print dialog is ever shown: the
// document goes straight to the printer the system names as its default.
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_services.h"

namespace plat::qt {
namespace {

constexpr float kTwipsPerInch = 1440;

FileStatus stepFailure(const wchar_t* step) {
    return {false, L"Printing failed (" + std::wstring(step) + L")."};
}

class QtPrintJob final : public PrintJob {
public:
    explicit QtPrintJob(std::unique_ptr<QPrinter> printer)
        : m_printer(std::move(printer)),
          m_font(QFontDatabase::systemFont(QFontDatabase::FixedFont)),
          m_metrics(m_font, m_printer.get()) {
        const int dpiX = m_printer->logicalDpiX();
        const int dpiY = m_printer->logicalDpiY();
        m_scaleX = kTwipsPerInch / static_cast<float>(dpiX > 0 ? dpiX : 96);
        m_scaleY = kTwipsPerInch / static_cast<float>(dpiY > 0 ? dpiY : 96);
    }
    ~QtPrintJob() override { abort(); }
    QtPrintJob(const QtPrintJob&) = delete;
    QtPrintJob& operator=(const QtPrintJob&) = delete;

    // The first sheet starts here; false when the printer cannot be opened.
    bool begin() {
        if (!m_painter.begin(m_printer.get())) {
            return false;
        }
        m_painter.setFont(m_font);
        return true;
    }

    // The painter's origin is the printable area's top left corner.
    Rect printableArea() const override {
        return {0, 0, static_cast<float>(m_printer->width()) * m_scaleX,
                static_cast<float>(m_printer->height()) * m_scaleY};
    }

    float lineHeight() const override { return static_cast<float>(m_metrics.lineSpacing()) * m_scaleY; }

    float textWidth(std::wstring_view text) const override {
        return static_cast<float>(m_metrics.horizontalAdvance(toQString(text))) * m_scaleX;
    }

    // Measured at the printer's resolution: the screen's hinting would not match.
    void setFontSize(float points) override {
        if (points <= 0) {
            return;
        }
        m_font.setPointSizeF(points);
        m_metrics = QFontMetricsF(m_font, m_printer.get());
        if (m_painter.isActive()) {
            m_painter.setFont(m_font);
        }
    }

    FileStatus drawText(float x, float y, std::wstring_view text) override {
        if (!m_painter.isActive()) {
            return stepFailure(L"drawText");
        }
        m_painter.drawText(QPointF(x / m_scaleX, y / m_scaleY + m_metrics.ascent()), toQString(text));
        return {};
    }

    FileStatus newSheet() override {
        if (!m_painter.isActive() || !m_printer->newPage()) {
            return stepFailure(L"newPage");
        }
        return {};
    }

    // Ending the painter hands the document to the print system.
    FileStatus end() override {
        if (!m_painter.isActive()) {
            return stepFailure(L"end");
        }
        if (!m_painter.end() || m_printer->printerState() == QPrinter::Error) {
            return stepFailure(L"end");
        }
        return {};
    }

    void abort() override {
        if (m_painter.isActive()) {
            m_printer->abort();
            m_painter.end();
        }
    }

private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QFont m_font;
    QFontMetricsF m_metrics;
    float m_scaleX = 15;
    float m_scaleY = 15;
};

}  // namespace

std::unique_ptr<PrintJob> startPrintJob(std::unique_ptr<QPrinter> printer, std::wstring& error) {
    error.clear();
    auto job = std::make_unique<QtPrintJob>(std::move(printer));
    if (!job->begin()) {
        error = stepFailure(L"begin").error;
        return nullptr;
    }
    return job;
}

std::unique_ptr<PrintJob> QtPrinter::startJob(std::wstring_view documentName, std::wstring& error) {
    error.clear();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        error = kNoPrinterMessage;
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(toQString(documentName));
    std::unique_ptr<PrintJob> job = startPrintJob(std::move(printer), error);
    if (!job) {
        error = L"The printer \"" + fromQString(info.printerName()) + L"\" cannot be opened. " + error;
    }
    return job;
}

}  // namespace plat::qt

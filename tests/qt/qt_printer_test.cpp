// Print jobs, through a printer that writes a PDF file: measures in twips, text where
// it was drawn, one sheet after another.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <array>
#include <cstdio>
#include <string>

#include "platform/qt/qt_services.h"

namespace plat::qt {
namespace {

std::string pdfText(const QString& path) {
    std::string text;
    FILE* pipe = ::popen(("pdftotext -layout '" + path.toStdString() + "' -").c_str(), "r");
    if (pipe == nullptr) {
        return text;
    }
    std::array<char, 4096> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
        text.append(buffer.data(), n);
    }
    ::pclose(pipe);
    return text;
}

TEST(QtPrinter, SheetsCarryTheTextInTwipsMeasures) {
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("job.pdf"));
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    std::wstring error;
    const std::unique_ptr<PrintJob> job = startPrintJob(std::move(printer), error);
    ASSERT_TRUE(job) << error.size();

    job->setFontSize(10);
    const Rect area = job->printableArea();
    EXPECT_GT(area.width, 6 * 1440);  // a sheet of paper less its margins
    EXPECT_GT(area.height, 8 * 1440);
    EXPECT_NEAR(job->lineHeight(), 10 * 20 * 1.2, 80);  // 10 points, about 1.2 lines
    const float width = job->textWidth(L"0123456789");
    EXPECT_NEAR(job->textWidth(L"01234567890123456789"), 2 * width, 2);  // fixed pitch

    ASSERT_TRUE(job->drawText(0, 0, L"First sheet \u00e9").ok);
    ASSERT_TRUE(job->drawText(0, job->lineHeight(), L"second line").ok);
    ASSERT_TRUE(job->newSheet().ok);
    ASSERT_TRUE(job->drawText(0, 0, L"Second sheet").ok);
    ASSERT_TRUE(job->end().ok);
    EXPECT_FALSE(job->end().ok);  // nothing left to end

    const std::string text = pdfText(file);
    const std::size_t first = text.find("First sheet \xc3\xa9");
    const std::size_t sheetBreak = text.find('\f');
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_LT(first, text.find("second line"));
    EXPECT_LT(text.find("second line"), sheetBreak);
    EXPECT_GT(text.find("Second sheet"), sheetBreak);
}

TEST(QtPrinter, NoPrinterSaysSoAsOnWindows) {
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        GTEST_SKIP() << "this machine has a printer";
    }
    QtPrinter printer;
    std::wstring error;
    EXPECT_FALSE(printer.startJob(L"Quibbets", error));
    EXPECT_EQ(error, kNoPrinterMessage);
}

}  // namespace
}  // namespace plat::qt

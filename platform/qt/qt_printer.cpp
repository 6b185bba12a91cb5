// Print jobs on the default printer.
#include "platform/qt/qt_services.h"

namespace plat::qt {

std::unique_ptr<PrintJob> QtPrinter::startJob(std::wstring_view, std::wstring& error) {
    error = L"No printer.";
    return nullptr;
}

}  // namespace plat::qt

// Printing: a document on the default printer, sheet by sheet.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/services/geometry.h"
#include "platform/services/status.h"

namespace plat {

// What the user reads when there is no printer to print on.
inline constexpr wchar_t kNoPrinterMessage[] =
    L"No printer is installed. Add a printer in the system settings, then print again.";

// A sheet-by-sheet print target; all measures in twips.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    // The area that takes ink, relative to the sheet's printable origin.
    virtual Rect printableArea() const = 0;
    // Distance from one line of the current type to the next.
    virtual float lineHeight() const = 0;
    // Width of `text` in the current type.
    virtual float textWidth(std::wstring_view text) const = 0;
    // Text from here on: the device's default typeface (a plain fixed-pitch one where
    // it has none) at `points`. Measures above follow the new type.
    virtual void setFontSize(float points) = 0;
    // Draws one line of text with its top left corner at x, y of the current sheet.
    virtual FileStatus drawText(float x, float y, std::wstring_view text) = 0;
    // Ends the current sheet and starts the next.
    virtual FileStatus newSheet() = 0;
    // Ends the document so that the job goes to the printer at once.
    virtual FileStatus end() = 0;
    // Drops the document after a failure.
    virtual void abort() = 0;
};

class Printer {
public:
    virtual ~Printer() = default;
    // Starts a document on the default printer; null with `error` set when there is
    // no default printer or it cannot be opened. Never shows a system dialog.
    virtual std::unique_ptr<PrintJob> startJob(std::wstring_view documentName, std::wstring& error) = 0;
};

}  // namespace plat

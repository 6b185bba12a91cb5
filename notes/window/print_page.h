// Lays a page's text out on printer sheets: margins, word wrap, page breaks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/services/printer.h"

namespace notes {

// Splits one line of text into pieces no wider than `width` twips, breaking after
// blanks where possible and inside a word only when it is wider than the line.
std::vector<std::wstring> wrapLine(const plat::PrintJob& job, std::wstring_view line, float width);

// Prints `text` (CR LF between lines) and ends the document. Returns an empty
// string, or the reason the job failed (the job is then aborted).
std::wstring printPage(plat::PrintJob& job, std::wstring_view text);

}  // namespace notes

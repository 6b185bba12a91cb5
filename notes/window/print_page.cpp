// Printing one page: 10-point type, half-inch margins (less on tiny sheets), lines
// wrapped at the printable width, further sheets as long as the text goes on.
#include "notes/window/print_page.h"

#include <algorithm>

namespace notes {
namespace {

constexpr float kMargin = 720;  // half an inch
// A printer's stock font is often far larger than body text (20 points and more).
constexpr float kPrintPoints = 10;

std::vector<std::wstring_view> splitLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' || text[i] == L'\r') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    lines.push_back(text.substr(start));
    return lines;
}

// Tabs have no width of their own on a printer: four blanks stand for one.
std::wstring expandTabs(std::wstring_view line) {
    std::wstring out;
    for (wchar_t c : line) {
        if (c == L'\t') {
            out += L"    ";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Longest prefix of `line` that fits `width`, at least one character.
std::size_t fittingLength(const plat::PrintJob& job, std::wstring_view line, float width) {
    std::size_t low = 1;
    std::size_t high = line.size();
    while (low < high) {
        const std::size_t mid = (low + high + 1) / 2;
        if (job.textWidth(line.substr(0, mid)) <= width) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return low;
}

}  // namespace

std::vector<std::wstring> wrapLine(const plat::PrintJob& job, std::wstring_view line, float width) {
    std::vector<std::wstring> pieces;
    while (job.textWidth(line) > width && line.size() > 1) {
        std::size_t cut = fittingLength(job, line, width);
        const std::size_t blank = line.substr(0, cut + 1).find_last_of(L' ');
        if (blank != std::wstring_view::npos && blank > 0) {
            cut = blank + 1;  // the blank stays at the end of the piece
        }
        pieces.emplace_back(line.substr(0, cut));
        line.remove_prefix(cut);
    }
    pieces.emplace_back(line);
    return pieces;
}

std::wstring printPage(plat::PrintJob& job, std::wstring_view text) {
    job.setFontSize(kPrintPoints);
    const plat::Rect area = job.printableArea();
    const float margin = std::min({kMargin, area.width / 10, area.height / 10});
    const float left = area.left + margin;
    const float width = area.width - 2 * margin;
    const float bottom = area.top + area.height - margin;
    float y = area.top + margin;
    for (std::wstring_view line : splitLines(text)) {
        for (const std::wstring& piece : wrapLine(job, expandTabs(line), width)) {
            if (y + job.lineHeight() > bottom && y > area.top + margin) {
                if (const plat::FileStatus s = job.newSheet(); !s.ok) {
                    job.abort();
                    return s.error;
                }
                y = area.top + margin;
            }
            if (const plat::FileStatus s = job.drawText(left, y, piece); !s.ok) {
                job.abort();
                return s.error;
            }
            y += job.lineHeight();
        }
    }
    const plat::FileStatus s = job.end();
    return s.ok ? std::wstring() : s.error;
}

}  // namespace notes

// What every benchmark shares: medians, and the page texts they load.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

inline double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// A page file of about `bytes`: text lines of ~70 characters, each ending in CR LF
// (so the last line end is the file's final one).
inline std::string pageFile(size_t bytes, int page) {
    std::string text;
    text.reserve(bytes + 80);
    for (size_t line = 1; text.size() < bytes; ++line) {
        std::string row = "page " + std::to_string(page) + " line " + std::to_string(line) + " ";
        while (row.size() < 70) {
            row += static_cast<char>('a' + (row.size() * 7 + line) % 26);
        }
        text += row;
        text += "\r\n";
    }
    return text;
}

}  // namespace bench

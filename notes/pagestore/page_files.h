// The page files page1.txt to page10.txt beside the program: one page of text each,
// written by Save and Exit, read once at start-up.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace plat {
class Platform;
}

namespace notes {

inline constexpr int kPageCount = 10;

// What each page file held at the page's last load or save.
using PageBaselines = std::array<std::wstring, kPageCount>;

// A page file that could not be read or written, and why.
struct PageProblem {
    std::wstring fileName;
    std::wstring reason;
};
using PageProblems = std::vector<PageProblem>;

// "page" n ".txt" for page number n = 1..10.
std::wstring pageFileName(int number);
// The program's folder, the separator and the file name, joined as they are.
std::wstring appFilePath(const plat::Platform& platform, const std::wstring& fileName);

// Writes each page whose text differs from its baseline (or whose file is missing)
// to its file, through the program-wide window; returns the files that failed.
PageProblems SavePages();
// Fills the pages from their files, through the program-wide window; returns the
// files that exist but could not be read (their pages start empty).
PageProblems LoadPages();

// One line per problem: "page3.txt: reason".
std::wstring describeProblems(const PageProblems& problems);

}  // namespace notes

// The page files page1.txt to page10.txt beside the program: one page of text each,
// written by Save and Exit, read once at start-up.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "notes/pagestore/page_digest.h"

namespace plat {
class Platform;
}

namespace notes {

inline constexpr int kPageCount = 10;

// What a page held at its last load or save: the fingerprint of its file's bytes
// (as this program writes them) and the length of its text.
struct PageBaseline {
    PageDigest file;
    std::size_t textLength = 0;
    bool empty() const { return textLength == 0; }
};
using PageBaselines = std::array<PageBaseline, kPageCount>;

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
// to its file, through the program-wide window; returns the files that failed. A
// page not changed since its last load or save is passed by without being read.
PageProblems SavePages();
// Fills the pages from their files, through the program-wide window; returns the
// files that exist but could not be read (their pages start empty). A hidden page
// keeps its file's bytes and takes its text into its editor when first shown.
PageProblems LoadPages();

// One line per problem: "page3.txt: reason".
std::wstring describeProblems(const PageProblems& problems);

}  // namespace notes

// The archive that Clear All writes before it empties the pages: every page in one
// text file, "pages.txt" beside the program, with the archive before it kept as
// "pages.bak". Nothing in the program reads them back; they are for the user.
#pragma once

#include <array>
#include <string>

#include "notes/pagestore/page_files.h"

namespace notes {

inline constexpr wchar_t kArchiveFileName[] = L"pages.txt";
inline constexpr wchar_t kArchiveBackupName[] = L"pages.bak";

using PageTexts = std::array<std::wstring, kPageCount>;

// The archive's text: for each page a header line "**Page  n", an empty line, the
// page's text, an empty line, "**END**" and two empty lines.
std::wstring archiveText(const PageTexts& pages);

// Writes the archive of `pages`, each file in one atomic step. The archive already
// there becomes "pages.bak" first; with none there, "pages.bak" is a copy of the new
// one. Returns the files that could not be read or written; on any problem the new
// archive may be missing, but no earlier archive is lost.
PageProblems WriteArchive(plat::Platform& platform, const PageTexts& pages);

}  // namespace notes

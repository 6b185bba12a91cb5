// The page files page1.txt to page10.txt beside the program: one page of text each,
// written by Save and Exit, read once at start-up.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "notes/pagestore/page_digest.h"
#include "platform/services/files.h"
#include "platform/services/status.h"

namespace plat {
class Platform;
}

namespace notes {

inline constexpr int kPageCount = 10;
// Beside the page files: the copies of unsaved text kept for recovery.
inline constexpr wchar_t kRecoveryFolder[] = L"recovery";

// The version of a page file that a page's text came from: its identity on disk
// (none when there was no file) and the fingerprint of its bytes as they were.
struct PageOrigin {
    std::optional<plat::FileIdentity> identity;
    PageDigest digest;
    bool operator==(const PageOrigin&) const = default;
};

// What a page held at its last load or save: the fingerprint of its file's bytes
// (as this program writes them), the length of its text, and the file it came from.
struct PageBaseline {
    PageDigest file;
    std::size_t textLength = 0;
    PageOrigin origin;
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
// The user's data folder (the program's own on Windows), the separator and the file
// name, joined as they are.
std::wstring appFilePath(const plat::Platform& platform, const std::wstring& fileName);
// The time of day in milliseconds since 1970, as the names and records of the files
// beside the pages give it.
std::int64_t wallClockMs();
// A file beside the pages that keeps a text of page `number` and is never loaded as
// a page, named for what it holds and when (milliseconds since 1970, local time):
// "page3 (changed elsewhere 2026-12-10 0942).txt".
std::wstring besidePageName(int number, std::wstring_view what, std::int64_t when);
// `name`, or with a number added before its ending where a file has that name.
std::wstring freeBesideName(const plat::Platform& platform, const std::wstring& name);
// Replaces a file of the data folder atomically, making the folder first where it is
// missing (the first save of a new user).
plat::FileStatus writeAppFile(plat::Platform& platform, const std::wstring& fileName, std::string_view bytes,
                              plat::FileIdentity* written = nullptr);

// One page as the page store reads and fills it.
class PageText {
public:
    virtual ~PageText() = default;
    // Whether the text changed since it was loaded or last marked saved.
    virtual bool changed() const = 0;
    // Number of UTF-16 units of the text, without reading it.
    virtual std::size_t textLength() const = 0;
    // Hands the text to `reader` in order, in one piece or several, each valid only
    // during its call.
    virtual void readText(const std::function<void(std::wstring_view)>& reader) const = 0;
    // Marks the text saved (false) or changed (true).
    virtual void setModified(bool modified) = 0;
    // Gives the page the text it was loaded with, `length` units long; `source` makes
    // the text when it is first needed.
    virtual void loadText(std::function<std::wstring()> source, std::size_t length) = 0;
    // Leaves the page's file unread for now: `load` fills the page and its baseline,
    // once, when the page's text or length is first needed. A new text given before
    // then takes the file's place.
    virtual void loadLater(std::function<void()> load) = 0;
    // Whether the page waits for such a load: its text is then its file's, whatever
    // the file holds when it is read.
    virtual bool unread() const = 0;
    // Runs the waiting load now (nothing when there is none).
    virtual void read() = 0;
};

// The ten pages, and what each held at its last load or save.
class PageSet {
public:
    virtual ~PageSet() = default;
    virtual plat::Platform& platform() = 0;
    // Page `index`, 0 to 9.
    virtual PageText& page(int index) = 0;
    virtual PageBaseline& baseline(int index) = 0;
};

// A page whose file changed on disk since the page was last loaded or saved, while
// the page was edited too, and where each text goes: the page file keeps one, and a
// file beside the pages the other.
struct PageConflict {
    int number = 0;
    std::wstring elsewhereCopy;  // the file's text, when the page's own goes into the file
    std::wstring windowCopy;     // the page's own text, when the file keeps its text
};
// Asked once by a save that meets such pages: true puts the pages' own texts into
// their files (the default), false leaves the files as they are.
using ConflictChoice = std::function<bool(const std::vector<PageConflict>&)>;

// Writes each page whose text differs from its baseline (or whose file is missing)
// to its file; returns the files that failed. A page not changed since its last load
// or save is passed by without being read. A page file changed on disk since is never
// written over unseen: `choose` decides (no `choose`: the default), and both texts
// are kept; a page whose file keeps its text shows that text afterwards.
// `warnings`, when given, receives the pages written whose folder could not be
// flushed after: their text is in place, but a power cut may still undo the save.
// `room`, when given, holds the bytes of each page written and keeps its memory for
// the next save: a buffer the size of a big page, made anew, costs more than encoding
// the page into it.
PageProblems SavePages(PageSet& pages, PageProblems* warnings = nullptr, const ConflictChoice& choose = {},
                       std::string* room = nullptr);
// Gives page `number` what its file holds now (an empty text when there is none).
// None, or why the file could not be read (the page is then left as it was).
std::optional<PageProblem> ReloadPage(PageSet& pages, int number);
// Fills the pages from their files; returns the files that exist but could not be
// read (their pages start empty). A page takes its file's bytes now and makes its
// text from them when the text is first needed. A big file of a page other than the
// first is read only when its page is first needed; `lateProblem` then hears of a
// file that could not be read.
PageProblems LoadPages(PageSet& pages, const std::function<void(const PageProblem&)>& lateProblem = {});
// Files up to this size are read at start whichever page they belong to: reading
// them costs less than keeping them for later, and their emptiness is then known.
inline constexpr std::uint64_t kReadAtStartBytes = 64 * 1024;

// Whether page `number`'s file is still the version `origin` describes: the same
// identity, or failing that the same bytes.
bool pageFileIs(const plat::Platform& platform, int number, const PageOrigin& origin);
// The same, given the file's identity now.
bool pageFileIs(const plat::Platform& platform, int number, const PageOrigin& origin,
                const std::optional<plat::FileIdentity>& now);

// "page 2", "pages 2 and 5", "pages 2, 3 and 5".
std::wstring pageList(const std::vector<int>& numbers);

// One line per problem: "page3.txt: reason".
std::wstring describeProblems(const PageProblems& problems);

}  // namespace notes

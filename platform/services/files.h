// Files: whole-file reads, atomic writes, removal and folder listings, and the one
// rule that names the temporary files of an atomic write.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services/status.h"

namespace plat {

struct FileEntry {
    std::wstring name;
    double ageSeconds = 0;  // since the last write
};

// One version of a file on disk: a change of content, a replacement by rename or a
// new file in its place gives another identity.
struct FileIdentity {
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // last write, nanoseconds since 1970 (UTC)
    std::uint64_t id = 0;       // the file system's number for the file (inode, file index)
    bool operator==(const FileIdentity&) const = default;
};

// A lock held on a file for as long as the object lives, or until the process ends
// in any way: a crash releases it too.
class FileLock {
public:
    virtual ~FileLock() = default;
};

class Files {
public:
    virtual ~Files() = default;
    // True for an existing ordinary file: not a folder, not hidden, not a system file.
    virtual bool isOrdinaryFile(std::wstring_view path) const = 0;
    // True when anything (file or folder) has this path.
    virtual bool exists(std::wstring_view path) const = 0;
    // The whole content of a file; `bytes` is empty when the read fails.
    virtual FileStatus readFile(std::wstring_view path, std::string& bytes) const = 0;
    // Writes `bytes` as the whole new content of `path`: a temporary file in the same
    // folder (named by tempFilePath), flushed to disk, then renamed over the old file in
    // one step. After a crash the file holds either its old or its new content. On
    // success `written`, when given, receives the identity of the file now at `path`.
    virtual FileStatus writeFileAtomic(std::wstring_view path, std::string_view bytes, FileIdentity* written) = 0;
    FileStatus writeFileAtomic(std::wstring_view path, std::string_view bytes) {
        return writeFileAtomic(path, bytes, nullptr);
    }
    // Deletes a file.
    virtual FileStatus removeFile(std::wstring_view path) = 0;
    // The identity of the file at `path` now; none when there is no file.
    virtual std::optional<FileIdentity> identify(std::wstring_view path) const = 0;
    // Takes the exclusive lock of `path`, making the file (open to the user alone)
    // where it is missing, without waiting: null when another holder has it or the file
    // cannot be opened. Two locks of one file conflict within one process too.
    virtual std::unique_ptr<FileLock> tryLock(std::wstring_view path) = 0;
    // Makes `folder` (and the folders above it) where it is missing, open to the user
    // alone; ok when it is already there. Where data lives beside the program it is.
    virtual FileStatus makeFolder(std::wstring_view folder) {
        (void)folder;
        return {};
    }
    // Names (not paths) of the ordinary files in a folder, with their age.
    virtual std::vector<FileEntry> listFiles(std::wstring_view folder) const = 0;
};

// Suffix of the temporary files of writeFileAtomic.
inline constexpr std::wstring_view kTempSuffix = L".quibtmp";

// Path of a temporary file of writeFileAtomic: the target, the writing process's id
// and a count ("page1.txt.4242-7.quibtmp"), so that a leftover can be traced to its
// writer.
inline std::wstring tempFilePath(std::wstring_view target, std::uint32_t processId, std::uint64_t count) {
    return std::wstring(target) + L"." + std::to_wstring(processId) + L"-" + std::to_wstring(count) +
           std::wstring(kTempSuffix);
}

// The id of the process that wrote a temporary file named by tempFilePath; none for
// a name that tempFilePath does not make.
std::optional<std::uint32_t> tempFileWriter(std::wstring_view name);

}  // namespace plat

// Desktop services that any POSIX desktop provides the same way, shared by the
// backends that run on one (headless, Qt): real files, the Windows-1252 character
// set of the page files, and processes.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/services/ansi_text.h"
#include "platform/services/background.h"
#include "platform/services/files.h"

namespace plat::posix {

// Windows-1252 <-> wchar_t, exactly as Windows converts it.
class Cp1252Text final : public AnsiText {  // cp1252_text.cpp
public:
    bool toAnsi(std::wstring_view text, std::string& out) const override;
    std::wstring fromAnsi(std::string_view bytes) const override;
};

// Real files on disk. Paths are wide strings, converted to UTF-8.
class PosixFiles : public Files {  // posix_files.cpp
public:
    bool isOrdinaryFile(std::wstring_view path) const override;
    bool exists(std::wstring_view path) const override;
    FileStatus readFile(std::wstring_view path, std::string& bytes) const override;
    using Files::writeFileAtomic;
    FileStatus writeFileAtomic(std::wstring_view path, std::string_view bytes, FileIdentity* written) override;
    FileStatus removeFile(std::wstring_view path) override;
    std::optional<FileIdentity> identify(std::wstring_view path) const override;
    std::unique_ptr<FileLock> tryLock(std::wstring_view path) override;
    // Made with mode 0700; a folder already there is left as it is.
    FileStatus makeFolder(std::wstring_view folder) override;
    std::vector<FileEntry> listFiles(std::wstring_view folder) const override;

protected:
    // Flushes a folder's entries to disk (`folder` in the native encoding): 0, or the
    // errno of a failure. A folder that cannot be opened or flushed at all is passed by.
    virtual int flushFolder(const std::string& folder) const;
    // Whether the file at `path` counts as hidden; none does unless a subclass says so.
    virtual bool hidden(std::wstring_view path) const {
        (void)path;
        return false;
    }

private:
    std::atomic<std::uint64_t> m_tempCounter = 0;  // background writes count too
};

// Each task on a thread of its own (posix_background.cpp).
class ThreadBackground final : public Background {
public:
    std::unique_ptr<BackgroundTask> start(std::function<void()> work) override;
};

// The last path component: what follows the last '/'.
std::wstring_view fileNamePart(std::wstring_view path);

// Whether a process with this id is running now (one of another user's included).
bool processRunning(std::uint32_t processId);

}  // namespace plat::posix

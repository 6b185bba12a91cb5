// The outcome of a desktop operation that can fail for a reason the user may need
// to read.
#pragma once

#include <string>
#include <utility>

namespace plat {

// Result of an operation; `error` is a readable reason when `ok` is false. A
// `warning` says what went wrong after the operation had done its work (a folder not
// flushed after the file was in place), so the work stands.
struct FileStatus {
    FileStatus(bool succeeded = true, std::wstring reason = {}, std::wstring note = {})
        : ok(succeeded), error(std::move(reason)), warning(std::move(note)) {}
    bool ok;
    std::wstring error;
    std::wstring warning;
};

}  // namespace plat

// The outcome of a desktop operation that can fail for a reason the user may need
// to read.
#pragma once

#include <string>

namespace plat {

// Result of an operation; `error` is a readable reason when `ok` is false.
struct FileStatus {
    bool ok = true;
    std::wstring error;
};

}  // namespace plat

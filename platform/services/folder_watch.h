// Watching a folder for changes that other programs make to its files: another copy
// of the program saving a page, a sync tool or an editor replacing one by rename.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace plat {

// A watch under way: watching ends with the object, which goes before the platform.
// No call comes once it is gone, also for a change made before.
class FolderWatch {
public:
    virtual ~FolderWatch() = default;
};

class FolderWatcher {
public:
    virtual ~FolderWatcher() = default;
    // Calls `changed` on the window's thread, when the program handles its events (as
    // a timer), soon after a file in `folder` is created, removed, renamed or written,
    // a file replaced by a rename included; nothing runs while nothing changes. Several
    // changes close together may come as one call, and a call may come for nothing:
    // the caller looks at its files again. `changed` may end the watch. An exception
    // out of it is reported as a failed event. Null when the folder cannot be watched
    // (it is missing, or its file system cannot tell of changes).
    virtual std::unique_ptr<FolderWatch> watch(std::wstring_view folder, std::function<void()> changed) = 0;
};

}  // namespace plat

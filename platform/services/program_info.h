// The running program's own facts: where its file is and which version it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

class ProgramInfo {
public:
    virtual ~ProgramInfo() = default;
    // Folder of the running program file, without a trailing separator.
    virtual std::wstring folder() const = 0;
    // Folder of the user's page files: the program's own folder unless the desktop
    // keeps each user's data elsewhere. It may not exist before the first save.
    virtual std::wstring dataFolder() const { return folder(); }
    // Separator that joins a folder and a file name ("\" on Windows).
    virtual std::wstring_view pathSeparator() const = 0;
    // The running process's id.
    virtual std::uint32_t processId() const = 0;
    // Major, minor and revision of the program's version resource; zeros when it has none.
    virtual void version(int& major, int& minor, int& revision) const = 0;
};

}  // namespace plat

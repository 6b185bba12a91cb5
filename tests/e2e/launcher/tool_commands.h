// The commands of launcher_e2e_tool.exe, by name.
#pragma once

#include <string>
#include <vector>

namespace launcher_e2e {

// Exit codes: the command did its work / its condition did not come true in time /
// it was called wrongly.
inline constexpr int kDone = 0;
inline constexpr int kNotMet = 1;
inline constexpr int kUsage = 2;

// Runs the command `name` with `args`; a driver failure throws e2e::DriverError.
int runCommand(const std::wstring& name, const std::vector<std::wstring>& args);

}  // namespace launcher_e2e

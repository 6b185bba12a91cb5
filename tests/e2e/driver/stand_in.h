// A stand-in for a program that the notes program starts (System Information):
// started, it leaves a marker file beside itself and ends.
#pragma once

#include <string>

namespace e2e {

// Path of the stand-in program of the build (QUIBBETS_E2E_STAND_IN overrides it).
std::wstring standInPath();
// The file that a copy of the stand-in at `exePath` writes when it runs.
std::wstring standInMarker(const std::wstring& exePath);

}  // namespace e2e

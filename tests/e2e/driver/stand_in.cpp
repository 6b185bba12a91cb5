// Where the stand-in program is, and where it leaves its mark.
#include "tests/e2e/driver/stand_in.h"

#include "tests/e2e/driver/win_util.h"

namespace e2e {

std::wstring standInPath() {
    const std::wstring fromEnvironment = environment(L"QUIBBETS_E2E_STAND_IN");
    return windowsPath(fromEnvironment.empty() ? fromUtf8(QUIBBETS_E2E_STAND_IN_EXE) : fromEnvironment);
}

std::wstring standInMarker(const std::wstring& exePath) {
    return exePath + L".ran";
}

}  // namespace e2e

// The window's stored position and size: read at start-up, written at unload.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/geometry.h"
#include "platform/services/settings.h"
#include "platform/services/status.h"

namespace notes {

inline constexpr wchar_t kSettingsSection[] = L"Settings";

// Shortest decimal form of a twips value: "500", "-120", "12.5".
std::wstring formatTwips(float value);
// A stored number, or nothing when the text is not one.
std::optional<float> parseTwips(std::wstring_view text);
// Moves (and if need be shrinks) `r` into `workArea` when its caption bar would be
// out of reach; a reachable rectangle is returned unchanged.
plat::Rect keepReachable(const plat::Rect& r, const plat::Rect& workArea);

// The stored window rectangle, with defaults for absent or unusable values.
plat::Rect readWindowBounds(const plat::Platform& platform);
// Stores the window's rectangle and background colour; a failure says why.
plat::FileStatus writeWindowSettings(plat::Platform& platform, const plat::Form& form);

}  // namespace notes

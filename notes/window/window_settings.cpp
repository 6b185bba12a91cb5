// Window settings under "Quibbets" / "Settings": MainLeft, MainTop, MainWidth,
// MainHeight (twips, decimal text) and BackColor (signed decimal colour number).
#include "notes/window/window_settings.h"

#include <charconv>
#include <string>

#include "notes/window/frm_main.h"
#include "platform/services/screen.h"

namespace notes {
namespace {

constexpr float kDefaultPosition = 500;
constexpr float kDefaultSize = 3852;
// How much of the window must stay on the work area for its caption bar to be
// reachable: a maximized window's frame lies a little outside it.
constexpr float kFrameAllowance = 240;
constexpr float kCaptionReach = 480;
constexpr float kVisibleWidth = 720;

float readSetting(const plat::Platform& platform, const wchar_t* key, float fallback, bool isSize) {
    const std::wstring text = platform.settings().get(kAppTitle, kSettingsSection, key, L"");
    const std::optional<float> value = parseTwips(text);
    if (!value || (isSize && *value <= 0)) {
        return fallback;
    }
    return *value;
}

}  // namespace

std::wstring formatTwips(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::wstring(buffer, result.ptr);
}

std::optional<float> parseTwips(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == L' ') {
        text.remove_suffix(1);
    }
    std::string narrow;
    for (wchar_t c : text) {
        if (c > 0x7F) {
            return std::nullopt;
        }
        narrow.push_back(static_cast<char>(c));
    }
    float value = 0;
    const char* end = narrow.data() + narrow.size();
    const auto result = std::from_chars(narrow.data(), end, value);
    if (narrow.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

plat::Rect keepReachable(const plat::Rect& r, const plat::Rect& work) {
    const float workRight = work.left + work.width;
    const float workBottom = work.top + work.height;
    const bool reachable = r.top >= work.top - kFrameAllowance && r.top <= workBottom - kCaptionReach &&
                           r.left + r.width >= work.left + kVisibleWidth && r.left <= workRight - kVisibleWidth;
    if (reachable) {
        return r;
    }
    plat::Rect moved = r;
    moved.width = std::min(r.width, work.width);
    moved.height = std::min(r.height, work.height);
    moved.left = std::clamp(r.left, work.left, workRight - moved.width);
    moved.top = std::clamp(r.top, work.top, workBottom - moved.height);
    return moved;
}

plat::Rect readWindowBounds(const plat::Platform& platform) {
    plat::Rect r;
    r.left = readSetting(platform, L"MainLeft", kDefaultPosition, false);
    r.top = readSetting(platform, L"MainTop", kDefaultPosition, false);
    r.width = readSetting(platform, L"MainWidth", kDefaultSize, true);
    r.height = readSetting(platform, L"MainHeight", kDefaultSize, true);
    return keepReachable(r, platform.screen().workAreaNearest(r));
}

// One write for all five values: the store touches its file (or the registry) once
// per close.
plat::FileStatus writeWindowSettings(plat::Platform& platform, const plat::Form& form) {
    const plat::Rect r = form.bounds();
    const auto colour = static_cast<std::int32_t>(form.backColor());
    return platform.settings().saveAll(kAppTitle, kSettingsSection,
                                       {{L"MainLeft", formatTwips(r.left)},
                                        {L"MainTop", formatTwips(r.top)},
                                        {L"MainWidth", formatTwips(r.width)},
                                        {L"MainHeight", formatTwips(r.height)},
                                        {L"BackColor", std::to_wstring(colour)}});
}

}  // namespace notes

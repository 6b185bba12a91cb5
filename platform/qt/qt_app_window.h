// The notes program's application channel: how the launcher's Close, the end of the
// session and termination signals reach the program.
#pragma once

#include <string_view>

#include "platform/qt/qt_platform.h"

namespace plat::qt {

class AppChannel {
public:
    AppChannel(PlatformState& state, std::wstring_view title, AppWindowEvents& events);
    ~AppChannel();
    AppChannel(const AppChannel&) = delete;
    AppChannel& operator=(const AppChannel&) = delete;

private:
    PlatformState& m_state;
    AppWindowEvents& m_events;
};

}  // namespace plat::qt

// The application channel.
#include "platform/qt/qt_app_window.h"

namespace plat::qt {

AppChannel::AppChannel(PlatformState& state, std::wstring_view title, AppWindowEvents& events)
    : m_state(state), m_events(events) {
    (void)title;
}

AppChannel::~AppChannel() = default;

}  // namespace plat::qt

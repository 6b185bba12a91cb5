// The launcher's notification-icon tip: the name, one NUL and blanks.
#include <gtest/gtest.h>

#include "launcher/notify_record.h"
#include "platform/headless/headless_platform.h"

namespace launcher {
namespace {

TEST(NotifyRecord, TipIsTheNameOneNulAndBlanksToSixtyFourBytes) {
    plat::headless::HeadlessPlatform platform(L"/tmp");
    const std::string tip = tipField(platform, L"Quibbets");
    ASSERT_EQ(tip.size(), 64u);
    EXPECT_EQ(tip.substr(0, 9), std::string("Quibbets\0", 9));
    EXPECT_EQ(tip.find_first_not_of(' ', 9), std::string::npos);
}

}  // namespace
}  // namespace launcher

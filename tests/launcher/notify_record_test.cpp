// The notification-icon record: its size for each pointer width, where each field
// lies, and the tip's padding.
#include <gtest/gtest.h>

#include <cstring>

#include "launcher/notify_record.h"
#include "platform/headless/headless_platform.h"

namespace launcher {
namespace {

std::uint64_t read(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint64_t>(bytes[offset + i]) << (8 * i);
    }
    return value;
}

TEST(NotifyRecord, FirstVersionSizesForBothPointerWidths) {
    EXPECT_EQ(notifyLayout(4).size, 88u);
    EXPECT_EQ(notifyLayout(8).size, 104u);
    EXPECT_EQ(notifyLayout(4).tip, 24u);
    EXPECT_EQ(notifyLayout(8).icon, 32u);  // pointers sit on 8-byte boundaries
}

TEST(NotifyRecord, FieldsLandWhereTheShellReadsThem) {
    plat::headless::HeadlessPlatform platform(L"/tmp");
    const NotifyRecord record{0x1234, kIconId, kNotifyFlags, kCallbackMessage, 0xABCD, tipField(platform, L"Quibbets")};
    for (std::size_t width : {4u, 8u}) {
        const NotifyLayout l = notifyLayout(width);
        const std::vector<std::uint8_t> bytes = encodeNotifyRecord(record, width);
        ASSERT_EQ(bytes.size(), l.size);
        EXPECT_EQ(read(bytes, 0, 4), l.size);
        EXPECT_EQ(read(bytes, l.window, width), 0x1234u);
        EXPECT_EQ(read(bytes, l.id, 4), 1u);
        EXPECT_EQ(read(bytes, l.flags, 4), 7u);
        EXPECT_EQ(read(bytes, l.callbackMessage, 4), 512u);
        EXPECT_EQ(read(bytes, l.icon, width), 0xABCDu);
        EXPECT_EQ(std::memcmp(bytes.data() + l.tip, "Quibbets\0 ", 10), 0);
        EXPECT_EQ(bytes.back(), ' ');
    }
}

TEST(NotifyRecord, TipIsTheNameOneNulAndBlanksToSixtyFourBytes) {
    plat::headless::HeadlessPlatform platform(L"/tmp");
    const std::string tip = tipField(platform, L"Quibbets");
    ASSERT_EQ(tip.size(), 64u);
    EXPECT_EQ(tip.substr(0, 9), std::string("Quibbets\0", 9));
    EXPECT_EQ(tip.find_first_not_of(' ', 9), std::string::npos);
}

TEST(NotifyRecord, DeleteRecordNamesOnlyTheIcon) {
    const NotifyRecord record{0x42, kIconId, 0, 0, 0, {}};
    const std::vector<std::uint8_t> bytes = encodeNotifyRecord(record, 4);
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(read(bytes, 0, 4), 88u);
    EXPECT_EQ(read(bytes, 4, 4), 0x42u);
    EXPECT_EQ(read(bytes, 8, 4), 1u);
    for (std::size_t i = 12; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
}

}  // namespace
}  // namespace launcher

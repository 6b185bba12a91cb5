// The notification-icon record: its size for each pointer width, where each field
// lies, and a tip too long for its field.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/services/notify_record.h"

namespace plat {
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
    const std::string tip = std::string("Quibbets\0", 9) + std::string(55, ' ');
    const NotifyRecord record{0x1234, 1, kNotifyMessage | kNotifyIcon | kNotifyTip, 512, 0xABCD, tip};
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
        EXPECT_EQ(std::memcmp(bytes.data() + l.tip, tip.data(), tip.size()), 0);
    }
}

TEST(NotifyRecord, DeleteRecordNamesOnlyTheIconAndALongTipIsCut) {
    const std::vector<std::uint8_t> bytes = encodeNotifyRecord({0x42, 1, 0, 0, 0, {}}, 4);
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(read(bytes, 0, 4), 88u);
    EXPECT_EQ(read(bytes, 4, 4), 0x42u);
    EXPECT_EQ(read(bytes, 8, 4), 1u);
    for (std::size_t i = 12; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    const std::vector<std::uint8_t> cut = encodeNotifyRecord({0x42, 1, kNotifyTip, 0, 0, std::string(100, 'x')}, 8);
    ASSERT_EQ(cut.size(), 104u);
    EXPECT_EQ(cut.back(), 'x');
}

}  // namespace
}  // namespace plat

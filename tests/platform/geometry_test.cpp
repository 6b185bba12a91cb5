// The one twips-to-pixels rule: halves to the even neighbour, and no number out of
// range, whatever the stored settings or a caller's arithmetic hand it.
#include <limits>

#include "platform/services/geometry.h"

namespace plat {
namespace {

TEST(TwipsToPixels, RoundsHalvesToTheEvenNeighbourAndStaysInRange) {
    EXPECT_EQ(twipsToPixels(7.5F, 15), 0);     // 0.5
    EXPECT_EQ(twipsToPixels(22.5F, 15), 2);    // 1.5
    EXPECT_EQ(twipsToPixels(37.5F, 15), 2);    // 2.5
    EXPECT_EQ(twipsToPixels(-22.5F, 15), -2);  // -1.5
    EXPECT_EQ(twipsToPixels(1440, 7.5F), 192);
    EXPECT_EQ(twipsToPixels(1e30F, 15), std::numeric_limits<int>::max());
    EXPECT_EQ(twipsToPixels(-1e30F, 15), std::numeric_limits<int>::min());
    EXPECT_EQ(twipsToPixels(std::numeric_limits<float>::infinity(), 15), std::numeric_limits<int>::max());
    EXPECT_EQ(twipsToPixels(std::numeric_limits<float>::quiet_NaN(), 15), 0);
    EXPECT_EQ(twipsToPixels(15, 0), std::numeric_limits<int>::max());  // no scale: as far as it goes
}

}  // namespace
}  // namespace plat

// The temporary-file name rule: a name that tempFilePath makes is read back to its
// writer, and nothing else is taken for one.
#include <gtest/gtest.h>

#include "platform/services/files.h"

namespace plat {
namespace {

TEST(TempFileNames, TheWriterIsReadBackFromTheNameOnly) {
    EXPECT_EQ(tempFileWriter(tempFilePath(L"C:\\Apps\\page1.txt", 4242, 7)), 4242u);
    EXPECT_EQ(tempFileWriter(tempFilePath(L"page10.txt", 0xFFFFFFFFu, 1)), 0xFFFFFFFFu);
    EXPECT_EQ(tempFileWriter(L"page1.txt.4242-7"), std::nullopt);  // not a temporary file
    EXPECT_EQ(tempFileWriter(L"page1.txt.quibtmp"), std::nullopt);
    EXPECT_EQ(tempFileWriter(L"page1.txt.42x-7.quibtmp"), std::nullopt);
    EXPECT_EQ(tempFileWriter(L"page1.txt.4294967296-7.quibtmp"), std::nullopt);  // beyond 32 bits
    EXPECT_EQ(tempFileWriter(L"page1.txt.4242-.quibtmp"), std::nullopt);
}

}  // namespace
}  // namespace plat

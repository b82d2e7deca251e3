// Movable global memory blocks: allocation, locking, contents and release.
#include "tests/support/portable_support.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(GlobalMemory, MovableBlockRoundTrip) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 6);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 6u);
    char *p = static_cast<char *>(GlobalLock(block));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "hello", 6);
    // The last unlock gives FALSE with no error.
    SetLastError(1234);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), 0u);
    const char *again = static_cast<const char *>(GlobalLock(block));
    ASSERT_NE(again, nullptr);
    EXPECT_STREQ(again, "hello");
    // Locks nest: the first unlock of two keeps the block locked.
    ASSERT_NE(GlobalLock(block), nullptr);
    EXPECT_TRUE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, ZeroBytesAndZeroInit) {
    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalLock(empty), nullptr);
    EXPECT_EQ(GlobalFree(empty), nullptr);

    HGLOBAL zeroed = GlobalAlloc(GHND, 64);
    ASSERT_NE(zeroed, nullptr);
    const unsigned char *p = static_cast<const unsigned char *>(GlobalLock(zeroed));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; i++) {
        EXPECT_EQ(p[i], 0) << i;
    }
    GlobalUnlock(zeroed);
    EXPECT_EQ(GlobalFree(zeroed), nullptr);
}

TEST(GlobalMemory, ManyBlocksKeepTheirOwnContents) {
    HGLOBAL blocks[25];
    for (int i = 0; i < 25; i++) {
        blocks[i] = GlobalAlloc(GMEM_MOVEABLE, 16);
        ASSERT_NE(blocks[i], nullptr);
        char *p = static_cast<char *>(GlobalLock(blocks[i]));
        std::memset(p, 'a' + i, 16);
        GlobalUnlock(blocks[i]);
    }
    for (int i = 0; i < 25; i++) {
        const char *p = static_cast<const char *>(GlobalLock(blocks[i]));
        EXPECT_EQ(p[0], 'a' + i);
        EXPECT_EQ(p[15], 'a' + i);
        GlobalUnlock(blocks[i]);
        EXPECT_EQ(GlobalFree(blocks[i]), nullptr);
    }
}

} // namespace

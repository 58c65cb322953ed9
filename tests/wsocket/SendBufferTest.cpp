// The send block: capacity, writes that never wrap, peeks that change nothing, removals.
#include "wsocket/SendBuffer.h"

#include <gtest/gtest.h>
#include <string>

namespace {
std::string unread(const TBuffer& block)
{
    std::int32_t length = 0;
    const char* bytes = block.Peek(length);
    return bytes ? std::string(bytes, static_cast<std::size_t>(length)) : std::string();
}
} // namespace

TEST(SendBuffer, WriteFillsUpToCapacityAndAFullBlockTakesNothing)
{
    TBuffer block(kSendBlockSize);
    const std::string data(3000, 'x');
    EXPECT_EQ(block.Write(data.data(), 3000), 1514);
    EXPECT_EQ(block.Write(data.data(), 1), 0);
    EXPECT_EQ(block.Unread(), 1514);
}

TEST(SendBuffer, PeekOnAnEmptyBlockGivesNoPointerAndChangesNothing)
{
    TBuffer block(16);
    std::int32_t length = 99;
    EXPECT_EQ(block.Peek(length), nullptr);
    EXPECT_EQ(length, 0);
    block.Write("abc", 3);
    EXPECT_EQ(unread(block), "abc");
    EXPECT_EQ(length, 0) << "peek changed nothing";
    EXPECT_EQ(unread(block), "abc");
}

TEST(SendBuffer, PartialRemovalLeavesTheRestAndSpaceIsNotReusedUntilEmpty)
{
    TBuffer block(8);
    block.Write("abcdefgh", 8);
    EXPECT_EQ(block.Remove(3), 3);
    EXPECT_EQ(unread(block), "defgh");
    EXPECT_EQ(block.Write("z", 1), 0) << "freed space at the front is not reused";
    EXPECT_EQ(block.Remove(100), 5) << "only the unread bytes";
    EXPECT_EQ(block.Remove(1), 0);
    EXPECT_EQ(block.Write("12345678", 8), 8) << "an emptied block starts at the front again";
    EXPECT_EQ(unread(block), "12345678");
}

TEST(SendBuffer, CapacityZeroOrNegativeMeansTheBlockSize)
{
    EXPECT_EQ(TBuffer(0).Capacity(), 1514);
    EXPECT_EQ(TBuffer(-5).Capacity(), 1514);
    TBuffer block(10);
    block.SetCapacity(-1);
    EXPECT_EQ(block.Capacity(), 1514);
}

TEST(SendBuffer, GrowingKeepsWrittenBytesAndShrinkingNeverCutsThem)
{
    TBuffer block(4);
    block.Write("abcd", 4);
    block.Remove(1);
    block.SetCapacity(8);
    EXPECT_EQ(block.Write("ef", 2), 2);
    EXPECT_EQ(unread(block), "bcdef");
    block.SetCapacity(2);
    EXPECT_EQ(block.Capacity(), 6) << "never below the write position";
    EXPECT_EQ(unread(block), "bcdef");
}

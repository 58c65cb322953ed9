#include "httpprot/DocumentMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using httpprot::DocumentMemory;

namespace {

// Bytes received in place must make the same stream as bytes written: every operation is
// done on a DocumentMemory and on a plain MemoryStream (a receive there is a write).
TEST(DocumentMemory, BehavesLikeAMemoryStreamWhateverTheMixOfReceivesWritesAndSeeks)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        DocumentMemory memory;
        base::MemoryStream plain;
        if (round % 2 == 0)
            memory.reserve(random() % 5000);
        for (int step = 0; step < 40; ++step) {
            std::string bytes(random() % 3000, '\0');
            for (char& c : bytes)
                c = static_cast<char>(random());
            switch (random() % 4) {
            case 0: {
                const std::span<char> room = memory.receiveRoom(bytes.size() + random() % 100);
                if (room.empty()) {
                    ASSERT_NE(memory.position(), memory.size()) << "room is offered at the end";
                    break;
                }
                std::memcpy(room.data(), bytes.data(), bytes.size());
                memory.commitReceived(bytes.size());
                plain.write(bytes);
                break;
            }
            case 1:
                memory.write(bytes);
                plain.write(bytes);
                break;
            case 2: {
                const auto origin = static_cast<base::SeekOrigin>(random() % 3);
                const auto offset = static_cast<std::int64_t>(random() % 4000) - 2000;
                ASSERT_EQ(memory.seek(offset, origin), plain.seek(offset, origin));
                break;
            }
            default: {
                std::string a(bytes.size(), '\0'), b(bytes.size(), '\0');
                ASSERT_EQ(memory.read(a.data(), a.size()), plain.read(b.data(), b.size()));
                ASSERT_EQ(a, b);
            }
            }
            ASSERT_EQ(memory.size(), plain.size());
            ASSERT_EQ(memory.position(), plain.position());
        }
        ASSERT_EQ(memory.data(), plain.data()) << "round " << round;
        ASSERT_EQ(memory.take(), plain.data());
        EXPECT_EQ(memory.size(), 0);
    }
}

TEST(DocumentMemory, ReservedRoomIsFilledWhereItLiesAndHandedOverWithItsCapacity)
{
    DocumentMemory memory;
    memory.reserve(1 << 22);
    const char* const start = memory.receiveRoom(1).data();
    std::string expected;
    while (expected.size() < (std::size_t{1} << 22)) {
        const std::size_t n = std::min<std::size_t>(100003, (std::size_t{1} << 22) - expected.size());
        const std::span<char> room = memory.receiveRoom(n);
        ASSERT_EQ(room.data(), start + expected.size()) << "receiving within the reserve never moves the bytes";
        std::memset(room.data(), 'a' + static_cast<int>(expected.size() % 26), n);
        memory.commitReceived(n);
        expected.append(n, static_cast<char>('a' + expected.size() % 26));
    }
    const std::string taken = memory.take();
    EXPECT_EQ(taken.data(), start) << "handed over without a copy";
    EXPECT_TRUE(taken == expected);
    EXPECT_GE(taken.capacity(), std::size_t{1} << 22);
}

TEST(DocumentMemory, BytesLeftInTheRoomWithoutACommitNeverShow)
{
    DocumentMemory memory;
    memory.write(std::string_view("ab"));
    const std::span<char> room = memory.receiveRoom(4);
    std::memcpy(room.data(), "xxxx", 4);
    memory.commitReceived(0);
    EXPECT_EQ(memory.size(), 2);
    memory.seek(2, base::SeekOrigin::End);
    memory.write(std::string_view("z"));
    EXPECT_EQ(memory.data(), std::string_view("ab\0\0z", 5)) << "a gap is zero bytes";
}

} // namespace

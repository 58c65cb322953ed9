// The session's transfer stream: the memory-stream rules (a write past the end fills with zero
// bytes, setSize keeps the position inside) while it grows by remapping, across the size where
// it asks for huge pages, and the file round trip.
#include "base/Exception.h"
#include "tcpip/TransferStream.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>

using namespace tcpip;

TEST(TransferStream, WritesSeeksAndSizesAsAMemoryStream)
{
    TransferStream s;
    s.write("hello");
    s.seek(1, base::SeekOrigin::Beginning);
    s.write("EL");
    EXPECT_EQ(s.data(), "hELlo");
    s.seek(7, base::SeekOrigin::Beginning);
    s.write("!");
    EXPECT_EQ(s.data(), std::string_view("hELlo\0\0!", 8));
    s.setSize(2);
    EXPECT_EQ(s.data(), "hE");
    EXPECT_EQ(s.position(), 2);
    s.setSize(4);
    EXPECT_EQ(s.data(), std::string_view("hE\0\0", 4)) << "bytes cut off come back as zeros";
    char buffer[8] = {};
    s.setPosition(1);
    EXPECT_EQ(s.read(buffer, sizeof buffer), 3u);
    s.clear();
    EXPECT_EQ(s.size(), 0);
    EXPECT_EQ(s.read(buffer, sizeof buffer), 0u);
}

TEST(TransferStream, AppendedRoomGrowsPastHugePagesAndKeepsEveryByte)
{
    TransferStream s;
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        const std::string block(100000 + i, static_cast<char>('a' + i % 26));
        char* room = s.appendRoom(block.size() + 5000);
        std::memcpy(room, block.data(), block.size());
        s.commitAppend(block.size());
        expected += block;
    }
    EXPECT_TRUE(s.data() == expected) << s.size();
    EXPECT_EQ(s.position(), s.size());

    QTemporaryDir dir;
    const std::string path = dir.filePath("stream.bin").toStdString();
    s.saveToFile(path);
    TransferStream loaded;
    loaded.loadFromFile(path);
    EXPECT_TRUE(loaded.data() == expected);
    EXPECT_EQ(loaded.position(), 0);
    EXPECT_THROW(loaded.loadFromFile(dir.filePath("missing").toStdString()), base::EFileError);
}

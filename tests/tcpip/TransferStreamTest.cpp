// The session's transfer stream: the memory-stream rules (a write past the end fills with zero
// bytes, setSize keeps the position inside) while it grows by remapping, across the size where
// it asks for huge pages, and the file round trip.
#include "base/Exception.h"
#include "tcpip/TransferStream.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
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
    EXPECT_NE(loaded.sourceFile(), -1) << "unchanged, the file itself can be sent";
    loaded.seek(10, base::SeekOrigin::Beginning);
    loaded.reserve(1 << 20);
    EXPECT_NE(loaded.sourceFile(), -1) << "moving and making room change no byte";
    loaded.setPosition(0);
    loaded.write("head");
    EXPECT_EQ(loaded.sourceFile(), -1) << "a changed stream is no longer the file";
    loaded.seek(0, base::SeekOrigin::End);
    loaded.write("tail");
    EXPECT_TRUE(loaded.data() == "head" + expected.substr(4) + "tail") << "a loaded file grows like any stream";
    EXPECT_TRUE(base::ReadWholeFile(path) == expected) << "the file itself is untouched";
    TransferStream empty;
    std::fclose(std::fopen(dir.filePath("empty").toLocal8Bit().constData(), "w"));
    empty.loadFromFile(dir.filePath("empty").toStdString());
    EXPECT_EQ(empty.size(), 0);
    EXPECT_THROW(loaded.loadFromFile(dir.filePath("missing").toStdString()), base::EFileError);
}

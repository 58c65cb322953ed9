#include "base/Exception.h"
#include "base/Streams.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace base;

TEST(MemoryStream, ReadWriteSeekAndSize)
{
    MemoryStream m;
    m.write("hello");
    EXPECT_EQ(m.size(), 5);
    m.setPosition(1);
    m.write("EL");
    EXPECT_EQ(m.data(), "hELlo");
    m.seek(-1, SeekOrigin::End);
    char c = 0;
    EXPECT_EQ(m.read(&c, 1), 1u);
    EXPECT_EQ(c, 'o');
    EXPECT_EQ(m.read(&c, 1), 0u);
    m.seek(10, SeekOrigin::Beginning);
    m.write("!");
    EXPECT_EQ(m.size(), 11);
    EXPECT_EQ(m.data()[7], '\0');
    m.setSize(2);
    EXPECT_EQ(m.position(), 2);
    EXPECT_EQ(m.data(), "hE");
}

TEST(MemoryStream, TakeHandsTheBytesOverAndStartsAfresh)
{
    base::MemoryStream m;
    m.reserve(1 << 20);
    const std::string bytes("a\0b\xff", 4);
    m.write(bytes);
    const char* kept = m.data().data();
    const std::string taken = m.take();
    EXPECT_EQ(taken, bytes);
    EXPECT_EQ(taken.data(), kept) << "no copy";
    EXPECT_EQ(m.size(), 0);
    m.write("x");
    EXPECT_EQ(m.data(), "x");
}

TEST(FileStream, RoundTripsBinaryBytes)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("bin").toStdString();
    std::string bytes;
    for (int i = 0; i < 256 * 300; ++i)
        bytes.push_back(static_cast<char>(i & 0xff));
    WriteWholeFile(path, bytes);
    EXPECT_EQ(ReadWholeFile(path), bytes);

    FileStream f(path, FileStream::OpenRead);
    EXPECT_EQ(f.size(), static_cast<std::int64_t>(bytes.size()));
    MemoryStream copy;
    f.seek(256, SeekOrigin::Beginning);
    copy.copyFrom(f);
    EXPECT_EQ(copy.data(), bytes.substr(256));
}

TEST(FileStream, OpenErrorsNameTheFile)
{
    QTemporaryDir dir;
    EXPECT_THROW(FileStream(dir.filePath("missing").toStdString(), FileStream::OpenRead), EFileError);
    EXPECT_THROW(FileStream(dir.path().toStdString(), FileStream::OpenRead), EFileError);
    EXPECT_THROW(WriteWholeFile(dir.filePath("no/such/dir/x").toStdString(), "x"), EFileError);
}

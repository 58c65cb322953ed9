#include "httpprot/DocumentFile.h"

#include "base/Exception.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using httpprot::DocumentFile;

namespace {

TEST(DocumentFile, EveryByteArrivesInOrderWhateverTheChunkSizes)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("doc.bin").toStdString();
    base::WriteWholeFile(path, std::string(1000000, 'o')); // an older, longer document
    std::string expected;
    {
        DocumentFile file(path);
        std::size_t n = 0;
        for (std::size_t chunk : {8191u, 1u, 300000u, 0u, 262144u, 8191u, 5u}) {
            std::string bytes(chunk, '\0');
            for (char& c : bytes)
                c = static_cast<char>(n++ * 31);
            file.write(bytes.data(), bytes.size());
            expected += bytes;
        }
        EXPECT_EQ(file.size(), static_cast<std::int64_t>(expected.size()));
        file.close();
        EXPECT_EQ(base::ReadWholeFile(path), expected) << "on disk after close, the old file truncated";
    }
    EXPECT_EQ(base::ReadWholeFile(path), expected);
}

TEST(DocumentFile, TheDestructorWritesWhatIsLeft)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("doc.html").toStdString();
    {
        DocumentFile file(path);
        file.write("<html>");
    }
    EXPECT_EQ(base::ReadWholeFile(path), "<html>");
}

TEST(DocumentFile, FailuresAreFileErrors)
{
    EXPECT_THROW(DocumentFile("/nonexistent-folder/doc.html"), base::EFileError);
    DocumentFile full("/dev/full");
    full.write(std::string(1000, 'x'));
    EXPECT_THROW(full.close(), base::EFileError) << "a disk that is full is reported at close";
    EXPECT_NO_THROW(full.close()) << "and not a second time";
}

} // namespace

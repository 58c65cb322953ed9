// Loading local files into the pane text, on real files in a temporary folder.
#include "tarnby/PageFiles.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "base/StringList.h"
#include "base/Text.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

class PageFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string path = folder_.filePath(QString::fromStdString(name)).toStdString();
        base::WriteWholeFile(path, bytes);
        return path;
    }
    std::string folder() const { return folder_.path().toStdString(); }

private:
    QTemporaryDir folder_;
};

TEST_F(PageFiles, AppendsEveryFilesLinesInOrderLowerCasedWithCrLfAfterEachLine)
{
    const auto a = write("a.html", "<A HREF=\"X.HTML\">One</A>\nTwo\rThree\r\n");
    const auto b = write("b.txt", "No Final Break");
    const auto c = write("c.txt", "\r\n\r\nAfter two empty lines\n\n");
    EXPECT_EQ(tarnby::LoadFiles({a, b, c}),
              "<a href=\"x.html\">one</a>\r\ntwo\r\nthree\r\nno final break\r\n\r\n\r\nafter two empty lines\r\n\r\n");
}

TEST_F(PageFiles, KeepsEveryByteButTheLineBreaksAndLowerCasesOnlyAscii)
{
    const std::string bytes = "A\0B\xC3\x89\xFF\x80 <\x01>\tZ"s;
    const auto file = write("binary.bin", bytes);
    EXPECT_EQ(tarnby::LoadFiles({file}), "a\0b\xC3\x89\xFF\x80 <\x01>\tz\r\n"s);
}

// The loader splits lines its own fast way; on any bytes it must split as the string list does.
TEST_F(PageFiles, SplitsAnyBytesAsTheStringListDoes)
{
    std::mt19937 random(11);
    const char alphabet[] = {'\r', '\n', '\r', '\n', 'A', 'z', '\0', '\xff', '<', ' '};
    for (int round = 0; round < 300; ++round) {
        std::string bytes(std::uniform_int_distribution<std::size_t>(0, 200)(random), ' ');
        for (char& c : bytes)
            c = alphabet[std::uniform_int_distribution<std::size_t>(0, sizeof alphabet - 1)(random)];
        const auto file = write("random.bin", bytes);
        base::StringList list;
        list.setText(bytes);
        ASSERT_EQ(tarnby::LoadFiles({file}), base::LowerCase(list.text())) << ::testing::PrintToString(bytes);
    }
}

TEST_F(PageFiles, AnEmptyFileAddsNoLine)
{
    const auto empty = write("empty.html", "");
    const auto one = write("one.html", "x");
    EXPECT_EQ(tarnby::LoadFiles({empty, one, empty}), "x\r\n");
    EXPECT_EQ(tarnby::LoadFiles({empty}), "");
}

TEST_F(PageFiles, LoadsAMegabyteLineWhole)
{
    const std::string line(1 << 20, 'Q');
    const auto file = write("long.txt", line + "\nend");
    EXPECT_EQ(tarnby::LoadFiles({file}), std::string(1 << 20, 'q') + "\r\nend\r\n");
}

TEST_F(PageFiles, ReportsEachFileBeforeLoadingIt)
{
    const auto a = write("a", "1");
    const auto b = write("b", "2");
    std::vector<int> numbers;
    tarnby::LoadFiles({a, b, a}, [&](int number) { numbers.push_back(number); });
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));
}

TEST_F(PageFiles, AFileThatCannotBeReadThrowsTheFileErrorNamingIt)
{
    const auto good = write("good.html", "<a href=\"x\">x</a>");
    const std::string missing = folder() + "/Missing Page.html";
    for (const auto& paths : {std::vector<std::string>{good, missing}, std::vector<std::string>{folder()}}) {
        try {
            tarnby::LoadFiles(paths);
            ADD_FAILURE() << "no error for " << paths.back();
        } catch (const base::EFileError& error) {
            EXPECT_NE(error.message().find(paths.back()), std::string::npos) << error.message();
        }
    }
    EXPECT_THROW(tarnby::LoadFilesWithNames({good, missing}), base::EFileError);
}

TEST_F(PageFiles, OpenFilesPutsEachFilesFullNameBeforeItsLinesAllLowerCased)
{
    const auto a = write("First.HTML", "<P>A</P>");
    write("Second.txt", "B\r\n");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(folder())));
    const std::string loaded = tarnby::LoadFilesWithNames({a, "./Second.txt"});
    QDir::setCurrent(previous);
    std::string folderName = folder();
    for (char& ch : folderName)
        ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    EXPECT_EQ(loaded, folderName + "/first.html\r\n<p>a</p>\r\n" + folderName + "/second.txt\r\nb\r\n");
}

} // namespace

#include "base/Exception.h"
#include "base/StringList.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace base;

TEST(StringList, SplitsEveryLineEndKindAndIgnoresFinalBreak)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitLines("\n"), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitLines("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(StringList, EditsKeepOrder)
{
    StringList list;
    list.add("one");
    list.add("three");
    list.insert(1, "two");
    list.insert(3, "four");
    EXPECT_EQ(list.count(), 4u);
    list.put(0, "ONE");
    list.remove(3);
    EXPECT_EQ(list.text(), "ONE\r\ntwo\r\nthree\r\n");
    EXPECT_THROW(list.get(3), std::out_of_range);
    EXPECT_THROW(list.insert(5, "x"), std::out_of_range);
    list.clear();
    EXPECT_EQ(list.text(), "");
}

TEST(StringList, SavesCrLfAndLoadsAnyLineEnd)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("list.txt").toStdString();
    StringList list;
    list.setText("x\ny\rz");
    list.saveToFile(path);
    StringList again;
    again.loadFromFile(path);
    EXPECT_EQ(again.text(), "x\r\ny\r\nz\r\n");
    EXPECT_EQ(again.count(), 3u);
}

TEST(StringList, KeepsNulAndHighBytes)
{
    StringList list;
    list.setText(std::string("a\0b\r\n\xff\xfe", 7));
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.get(0), std::string("a\0b", 3));
    EXPECT_EQ(list.get(1), "\xff\xfe");
}

TEST(StringList, MissingFileIsAFileErrorNamingIt)
{
    StringList list;
    try {
        list.loadFromFile("/nonexistent/folder/page.html");
        FAIL() << "no exception";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/folder/page.html"), std::string::npos);
    }
}

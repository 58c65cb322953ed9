#include "base/Text.h"

#include <gtest/gtest.h>

using namespace base;

TEST(Text, FindGivesOneBasedPositionOrZero)
{
    EXPECT_EQ(Pos("b", "abc"), 2u);
    EXPECT_EQ(Pos("abc", "abc"), 1u);
    EXPECT_EQ(Pos("x", "abc"), 0u);
    EXPECT_EQ(Pos("", "abc"), 0u);
    EXPECT_EQ(Pos("abcd", "abc"), 0u);
    EXPECT_EQ(Pos(std::string_view("\0b", 2), std::string_view("a\0b", 3)), 2u);
}

TEST(Text, FindLastLooksForAnyDelimiter)
{
    EXPECT_EQ(LastDelimiter("<", "a<b<c"), 4u);
    EXPECT_EQ(LastDelimiter("<>", "a>b<c"), 4u);
    EXPECT_EQ(LastDelimiter("|", "abc"), 0u);
    EXPECT_EQ(LastDelimiter("|", ""), 0u);
}

TEST(Text, DeleteIgnoresOutOfRangeAndCutsCountAtEnd)
{
    std::string s = "abcdef";
    Delete(s, 0, 2);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 7, 1);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 2, 0);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 2, -3);
    EXPECT_EQ(s, "abcdef");
    Delete(s, 5, 100);
    EXPECT_EQ(s, "abcd");
    Delete(s, 1, 1);
    EXPECT_EQ(s, "bcd");
    Delete(s, 3, 1);
    EXPECT_EQ(s, "bc");
}

TEST(Text, InsertOnePastTheEndAppends)
{
    std::string s = "abc";
    Insert("X", s, 4);
    EXPECT_EQ(s, "abcX");
    Insert("Y", s, 1);
    EXPECT_EQ(s, "YabcX");
    Insert("Z", s, 3);
    EXPECT_EQ(s, "YaZbcX");
    Insert("!", s, 100);
    EXPECT_EQ(s, "YaZbcX!");
    Insert("0", s, 0);
    EXPECT_EQ(s, "0YaZbcX!");
    std::string empty;
    Insert("e", empty, 1);
    EXPECT_EQ(empty, "e");
}

TEST(Text, CopyClampsToTheString)
{
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 5, 10), "ef");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 1, 0), "");
}

TEST(Text, TrimLeftDropsBlanksAndControlCharacters)
{
    EXPECT_EQ(TrimLeft(" \t\r\n\x01x y "), "x y ");
    EXPECT_EQ(TrimLeft(std::string_view("\0\0a", 3)), "a");
    EXPECT_EQ(TrimLeft("   "), "");
    EXPECT_EQ(TrimLeft("\xa0x"), "\xa0x"); // code above 127 is not a blank
}

TEST(Text, CaseMappingTouchesAsciiLettersOnly)
{
    EXPECT_EQ(LowerCase("AbC <A HREF> \xC4\xD6"), "abc <a href> \xC4\xD6");
    EXPECT_EQ(UpperCase("abc \xe4 z"), "ABC \xe4 Z");
}

TEST(Text, RemoveAllDoesNotRescanJoinedText)
{
    std::string s = "a|b||c|";
    RemoveAll(s, "|");
    EXPECT_EQ(s, "abc");
    std::string t = "&nb&nbsp;sp;x";
    RemoveAll(t, "&nbsp;");
    EXPECT_EQ(t, "&nbsp;x");
}

#include "httpprot/ResponseHeader.h"

#include <gtest/gtest.h>

#include <vector>

using namespace httpprot;

namespace {

std::vector<std::string> TakeLines(ReceiveBuffer& buffer)
{
    std::vector<std::string> lines;
    std::string line;
    while (buffer.takeLine(line))
        lines.push_back(line);
    return lines;
}

TEST(ReceiveBuffer, SplitsLinesAtLfAndDropsOneCrBeforeIt)
{
    ReceiveBuffer buffer;
    buffer.append("a\r\nb\nc\r\r\n\r\n\nrest");
    EXPECT_EQ(TakeLines(buffer), (std::vector<std::string>{"a", "b", "c\r", "", ""}));
    EXPECT_EQ(buffer.contents(), "rest");
}

TEST(ReceiveBuffer, KeepsAPartialLineUntilItsEndArrives)
{
    ReceiveBuffer buffer;
    buffer.append("HTTP/1.0 2");
    EXPECT_TRUE(TakeLines(buffer).empty());
    buffer.append("00 OK\r");
    EXPECT_TRUE(TakeLines(buffer).empty());
    buffer.append("\nX");
    EXPECT_EQ(TakeLines(buffer), std::vector<std::string>{"HTTP/1.0 200 OK"});
    EXPECT_EQ(buffer.contents(), "X");
}

TEST(ReceiveBuffer, HoldsAtMost8191BytesAndKeepsNulBytes)
{
    ReceiveBuffer buffer;
    EXPECT_EQ(buffer.freeCount(), 8191u);
    EXPECT_EQ(buffer.append(std::string(9000, 'x')), 8191u);
    EXPECT_TRUE(buffer.full());
    std::string line;
    EXPECT_FALSE(buffer.takeLine(line));
    buffer.clear();
    buffer.append(std::string("a\0b\nc", 5));
    EXPECT_TRUE(buffer.takeLine(line));
    EXPECT_EQ(line, std::string("a\0b", 3));
}

TEST(ReceiveBuffer, ReusesTheRoomOfLinesTaken)
{
    ReceiveBuffer buffer;
    const std::string line8000 = std::string(8000, 'h') + "\n";
    EXPECT_EQ(buffer.append(line8000), line8000.size());
    std::string line;
    ASSERT_TRUE(buffer.takeLine(line));
    EXPECT_EQ(buffer.freeCount(), 8191u);
    EXPECT_EQ(buffer.append(line8000 + "tail"), line8000.size() + 4);
    ASSERT_TRUE(buffer.takeLine(line));
    EXPECT_EQ(line.size(), 8000u);
    EXPECT_EQ(buffer.contents(), "tail");
}

TEST(HeaderLine, StatusLineGivesCodeAndReasonPhrase)
{
    const HeaderLine l = ReadHeaderLine("HTTP/1.1 404 Not Found");
    EXPECT_EQ(l.kind, HeaderLine::Kind::Status);
    EXPECT_EQ(l.statusCode, 404);
    EXPECT_EQ(l.reasonPhrase, "Not Found");
    EXPECT_EQ(ReadHeaderLine("HTTP/1.0 200").reasonPhrase, "");
    EXPECT_EQ(ReadHeaderLine("HTTP/1.0 200").statusCode, 200);
    EXPECT_EQ(ReadHeaderLine("HTTP/1.0 200 ").reasonPhrase, "");
}

TEST(HeaderLine, OnlyHttp10And11StartAStatusLine)
{
    EXPECT_EQ(ReadHeaderLine("HTTP/2 200 OK").kind, HeaderLine::Kind::Other);
    EXPECT_EQ(ReadHeaderLine("http/1.0 200 OK").kind, HeaderLine::Kind::Other);
    EXPECT_EQ(ReadHeaderLine("HTTP/1.2 200 OK").kind, HeaderLine::Kind::Other);
    EXPECT_EQ(ReadHeaderLine(" HTTP/1.0 200 OK").kind, HeaderLine::Kind::Other);
}

TEST(HeaderLine, NonNumericStatusIsMalformedWithAReason)
{
    for (const char* line : {"HTTP/1.0 abc OK", "HTTP/1.0", "HTTP/1.0 ", "HTTP/1.1 2x0 OK", "HTTP/1.0 -20 OK"}) {
        const HeaderLine l = ReadHeaderLine(line);
        EXPECT_EQ(l.kind, HeaderLine::Kind::Malformed) << line;
        EXPECT_NE(l.error.find("status code"), std::string::npos) << line;
    }
}

TEST(HeaderLine, FieldNameIsLowerCasedAndValueSkipsOneBlank)
{
    HeaderLine l = ReadHeaderLine("Content-Type: text/html");
    EXPECT_EQ(l.kind, HeaderLine::Kind::Field);
    EXPECT_EQ(l.name, "content-type");
    EXPECT_EQ(l.value, "text/html");
    l = ReadHeaderLine("Content-Type:text/html");
    EXPECT_EQ(l.value, "ext/html");
    l = ReadHeaderLine("Location: http://h:1/x");
    EXPECT_EQ(l.name, "location");
    EXPECT_EQ(l.value, "http://h:1/x");
    l = ReadHeaderLine("X-Empty:");
    EXPECT_EQ(l.name, "x-empty");
    EXPECT_EQ(l.value, "");
    EXPECT_EQ(ReadHeaderLine("no colon here").kind, HeaderLine::Kind::Other);
}

TEST(ContentLength, AcceptsDigitsWithBlanksOnly)
{
    EXPECT_EQ(ParseContentLength("0"), 0);
    EXPECT_EQ(ParseContentLength("1234"), 1234);
    EXPECT_EQ(ParseContentLength(" 12 "), 12);
    EXPECT_EQ(ParseContentLength("104857600"), 104857600);
    EXPECT_EQ(ParseContentLength("9223372036854775807"), INT64_MAX);
    EXPECT_FALSE(ParseContentLength("9223372036854775808"));
    EXPECT_FALSE(ParseContentLength(""));
    EXPECT_FALSE(ParseContentLength("abc"));
    EXPECT_FALSE(ParseContentLength("-1"));
    EXPECT_FALSE(ParseContentLength("+1"));
    EXPECT_FALSE(ParseContentLength("12, 12"));
    EXPECT_FALSE(ParseContentLength("0x10"));
}

} // namespace

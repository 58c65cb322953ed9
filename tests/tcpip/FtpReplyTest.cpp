// The control connection's wire format: lines from bytes, replies from lines, PASV and PORT texts.
#include "tcpip/FtpReply.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

using namespace tcpip;

namespace {

// The lines of bytes received in pieces of block bytes (a byte at a time, and all at once, must
// give the same).
std::vector<std::string> lines(std::string_view bytes, std::size_t block)
{
    LineAssembler a;
    std::vector<std::string> out;
    for (std::size_t at = 0; at < bytes.size(); at += block) {
        a.append(bytes.substr(at, block));
        std::string line;
        while (a.next(line) == LineAssembler::Next::Line)
            out.push_back(line);
    }
    return out;
}

std::vector<std::string> lines(std::string_view bytes)
{
    const auto whole = lines(bytes, std::max<std::size_t>(bytes.size(), 1));
    EXPECT_EQ(lines(bytes, 1), whole) << "a byte at a time";
    EXPECT_EQ(lines(bytes, 3), whole) << "three at a time";
    return whole;
}

ReplyReader read(std::initializer_list<std::string> input, std::size_t* used = nullptr)
{
    ReplyReader r;
    std::size_t n = 0;
    for (const auto& line : input) {
        ++n;
        if (r.addLine(line))
            break;
    }
    if (used)
        *used = n;
    return r;
}

std::uint32_t ip(const char* text)
{
    return ::inet_addr(text);
}

} // namespace

TEST(ControlLines, CrDroppedAnywhereLfEnds)
{
    EXPECT_EQ(lines("220 ready\r\n"), std::vector<std::string>{ "220 ready" });
    EXPECT_EQ(lines("a\nb\r\n"), (std::vector<std::string>{ "a", "b" }));
    EXPECT_EQ(lines("2\r2\r0 x\r\r\n"), std::vector<std::string>{ "220 x" });
    EXPECT_EQ(lines("\n\n"), (std::vector<std::string>{ "", "" }));
    EXPECT_TRUE(lines("no end").empty());
}

TEST(ControlLines, AnOverLongLineIsReportedAsSoonAsItIsTooLongEvenWithoutItsEnd)
{
    const std::size_t max = LineAssembler::kMaxLineLength;
    const struct {
        const char* name;
        std::string bytes;
        LineAssembler::Next result;
    } cases[] = {
        { "longest line", std::string(max, 'x') + "\r\n", LineAssembler::Next::Line },
        { "longest line waiting for its LF", std::string(max, 'x') + "\r", LineAssembler::Next::None },
        { "one byte more", std::string(max + 1, 'x') + "\n", LineAssembler::Next::TooLong },
        { "one byte more, no end yet", std::string(max + 1, 'x'), LineAssembler::Next::TooLong },
        { "a good line, then an endless one", "220 ok\r\n" + std::string(max + 1, 'y'), LineAssembler::Next::Line },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LineAssembler a;
        a.append(c.bytes);
        std::string line;
        EXPECT_EQ(a.next(line), c.result);
    }
    LineAssembler a;
    a.append("220 ok\r\n" + std::string(max + 1, 'y'));
    std::string line;
    a.next(line);
    EXPECT_EQ(a.next(line), LineAssembler::Next::TooLong) << "the endless line after the good one";
}

TEST(ControlLines, ManyShortLinesInOneBlockAreAllTaken)
{
    const std::string block(200000, '\n');
    EXPECT_EQ(lines(block, block.size()).size(), block.size());
}

TEST(ReplyCodes, CodeAndText)
{
    EXPECT_EQ(ReplyCode("550 No such file"), 550);
    EXPECT_EQ(ReplyText("550 No such file"), "No such file");
    EXPECT_EQ(ReplyCode("55"), 999);
    EXPECT_EQ(ReplyCode(""), 999);
    EXPECT_EQ(ReplyCode("2x0 ok"), 999);
    EXPECT_EQ(ReplyCode("-20 ok"), 999);
    EXPECT_EQ(ReplyText("220"), "");
    EXPECT_EQ(ReplyText("220 "), "");
    EXPECT_EQ(ReplyCode("220"), 220);
}

TEST(Replies, MultiLineWelcome)
{
    std::size_t used = 0;
    const auto r = read({ "230-Welcome", " to the server", "230 Done", "200 next" }, &used);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(used, 3u);
    EXPECT_EQ(r.code(), 230);
    EXPECT_EQ(r.text(), "Welcome");
    EXPECT_EQ(r.lines().size(), 3u);
}

TEST(Replies, MultiLineEndsOnlyAtItsOwnCode)
{
    std::size_t used = 0;
    const auto r = read({ "220-Hello", "plain text line", "221 not the end", "220-still", "220", "x" }, &used);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(used, 5u);
    EXPECT_EQ(r.code(), 220);
}

TEST(Replies, ErrorRepliesAreReadToTheirEndToo)
{
    std::size_t used = 0;
    const auto r = read({ "450-Busy", " try later", "450 Really", "200 next" }, &used);
    EXPECT_EQ(used, 3u);
    EXPECT_EQ(r.code(), 450);
    EXPECT_EQ(r.text(), "Busy");
}

TEST(Replies, NonNumericFirstLineIsOneLineOf999)
{
    for (const char* line : { "", "ab", "xyz-abc", " 230 x", "23a ok" }) {
        const auto r = read({ line, "230 more" });
        EXPECT_TRUE(r.complete()) << line;
        EXPECT_EQ(r.code(), 999) << line;
        EXPECT_EQ(r.lines().size(), 1u) << line;
    }
}

TEST(Replies, UnendedMultiLineReplyIsIncompleteAndBounded)
{
    ReplyReader r;
    r.addLine("211-Features");
    EXPECT_TRUE(r.started());
    EXPECT_FALSE(r.complete());
    const std::string line(1000, 'f');
    for (int i = 0; i < 1100 && !r.tooLong(); ++i)
        r.addLine(line);
    EXPECT_TRUE(r.tooLong());
    EXPECT_FALSE(r.complete());
}

TEST(PassiveReply, AddressAndPort)
{
    const auto p = ParsePassiveReply("Entering Passive Mode (192,168,1,2,19,137)");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->address, ip("192.168.1.2"));
    EXPECT_EQ(p->port, 5001);
    const auto bare = ParsePassiveReply("Entering Passive Mode 127,0,0,1,4,1.");
    ASSERT_TRUE(bare) << "no parentheses: the numbers from the first digit";
    EXPECT_EQ(bare->port, 1025);
    const auto spaced = ParsePassiveReply("=(10,0,0,7, 200 , 1 )");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->port, 200 * 256 + 1);
}

TEST(PassiveReply, JunkGivesNoAddressAndNeverThrows)
{
    for (const char* text : { "", "()", "(1,2,3,4)", "(1,2,3,4,5)", "(1,2,3,4,x,5)", "(1,2,3,4,5,256)",
                              "(1,2,3,4,-1,5)", "(1,2,3,4,99999999999,1)", "Entering Passive Mode",
                              "(,,,,,)", "(1,2,3,4,5,6" }) {
        const auto p = ParsePassiveReply(text);
        if (std::string(text) == "(1,2,3,4,5,6") {
            ASSERT_TRUE(p) << "an unclosed parenthesis still holds the numbers";
            EXPECT_EQ(p->port, 5 * 256 + 6);
            continue;
        }
        EXPECT_FALSE(p) << text;
    }
    const auto badHost = ParsePassiveReply("(a,b,c,d,1,2)");
    ASSERT_TRUE(badHost) << "the port is usable; the host is replaced by the server's anyway";
    EXPECT_EQ(badHost->address, 0xFFFFFFFFu);
}

TEST(PortCommandText, AddressBytesThenPortBytes)
{
    EXPECT_EQ(PortCommand(ip("10.0.0.5"), 21), "PORT 10,0,0,5,0,21");
    EXPECT_EQ(PortCommand(ip("127.0.0.1"), 5001), "PORT 127,0,0,1,19,137");
    EXPECT_EQ(PortCommand(ip("255.255.255.0"), 65535), "PORT 255,255,255,0,255,255");
}

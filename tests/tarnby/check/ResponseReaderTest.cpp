// The keep-alive client's response reader on exact bytes, each case fed whole and one byte at
// a time: framing, what keeps a connection, and hostile answers.
#include "tarnby/check/ResponseReader.h"

#include <gtest/gtest.h>

using tarnby::check::ResponseReader;
using Stage = ResponseReader::Stage;
using Fault = ResponseReader::Fault;

namespace {

struct ReaderCase {
    const char* name;
    std::string bytes;
    Stage stage;
    Fault fault = Fault::None;
    int status = 0;
    std::string body;
    bool keepAlive = false;
    std::size_t leftover = 0; // bytes after the answer, not consumed
    bool head = false;
    bool closeAtEnd = false;  // the connection ends after the bytes
};

void PrintTo(const ReaderCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string Repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// A case the reader must fail, with the fault it must name.
ReaderCase Failing(const char* name, std::string bytes, Fault fault, bool closeAtEnd = false)
{
    return {name, std::move(bytes), Stage::Failed, fault, 0, "", false, 0, false, closeAtEnd};
}

const std::string kOk = "HTTP/1.1 200 OK\r\n";
const std::string kChunked = kOk + "Transfer-Encoding: chunked\r\n\r\n";

class ResponseReaderCases : public testing::TestWithParam<ReaderCase> {};

TEST_P(ResponseReaderCases, ReadsTheAnswerWholeAndInSingleBytes)
{
    const ReaderCase& c = GetParam();
    for (const std::size_t piece : {c.bytes.size() + 1, std::size_t{1}}) {
        ResponseReader reader;
        reader.start(c.head);
        std::string body;
        std::size_t at = 0;
        while (at < c.bytes.size() && (reader.stage() == Stage::Header || reader.stage() == Stage::Body)) {
            const std::size_t used = reader.feed(std::string_view(c.bytes).substr(at, piece), [&](std::string_view p) { body += p; });
            if (used == 0 && (reader.stage() == Stage::Header || reader.stage() == Stage::Body))
                break; // must never happen: a feed that takes nothing would spin the caller
            at += used;
        }
        if (c.closeAtEnd)
            reader.endOfStream();
        SCOPED_TRACE(piece == 1 ? "byte by byte" : "whole");
        EXPECT_EQ(reader.stage(), c.stage) << reader.failure();
        EXPECT_EQ(reader.fault(), c.fault);
        if (c.stage == Stage::Failed)
            continue;
        EXPECT_EQ(reader.status(), c.status);
        EXPECT_EQ(body, c.body);
        EXPECT_EQ(reader.keepAlive(), c.keepAlive);
        EXPECT_EQ(c.bytes.size() - at, c.leftover);
    }
}

INSTANTIATE_TEST_SUITE_P(Framing, ResponseReaderCases, testing::Values(
    ReaderCase{"LengthThenTheNextAnswer", kOk + "Content-Length: 5\r\n\r\nhelloHTTP", Stage::Done, Fault::None, 200, "hello", true, 4},
    ReaderCase{"HeadHasNoBody", kOk + "Content-Length: 5\r\n\r\n", Stage::Done, Fault::None, 200, "", true, 0, true},
    ReaderCase{"Http10Closes", "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", Stage::Done, Fault::None, 200, "ok", false},
    ReaderCase{"Http10AskedToKeep", "HTTP/1.0 200 OK\r\nConnection: Keep-Alive\r\nContent-Length: 2\r\n\r\nok", Stage::Done,
               Fault::None, 200, "ok", true},
    ReaderCase{"ConnectionClose", "HTTP/1.1 204 No Content\r\nconnection: TE, close\r\n\r\n", Stage::Done, Fault::None, 204, "", false},
    ReaderCase{"NotModifiedHasNoBody", "HTTP/1.1 304 Not Modified\r\nContent-Length: 9\r\n\r\n", Stage::Done, Fault::None, 304, "", true},
    ReaderCase{"Chunked", kOk + "Transfer-Encoding: gzip, chunked\r\n\r\n4;ext=1\r\nWiki\r\nA\r\n0123456789\r\n0\r\nX-T: y\r\n\r\n",
               Stage::Done, Fault::None, 200, "Wiki0123456789", true},
    ReaderCase{"ChunkedBesideALengthIsNotKept", kOk + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n",
               Stage::Done, Fault::None, 200, "abc", false},
    ReaderCase{"UntilTheConnectionEnds", kOk + "\r\nall of it", Stage::Done, Fault::None, 200, "all of it", false, 0, false, true},
    ReaderCase{"InterimAnswersSkipped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Hints\r\nLink: x\r\n\r\nHTTP/1.1 404 No\r\nContent-Length: 0\r\n\r\n",
               Stage::Done, Fault::None, 404, "", true}),
    [](const testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Unusable, ResponseReaderCases, testing::Values(
    Failing("NotHttp", "SSH-2.0-x\r\n", Fault::NoStatus),
    Failing("StatusNotANumber", "HTTP/1.1 2x0 OK\r\n", Fault::NoStatus),
    Failing("ClosedInTheHeader", kOk + "Server: x\r\n", Fault::ClosedEarly, true),
    Failing("ClosedInTheBody", kOk + "Content-Length: 10\r\n\r\nabc", Fault::Truncated, true),
    Failing("ClosedInAChunk", kChunked + "5\r\nab", Fault::Truncated, true)),
    [](const testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Hostile, ResponseReaderCases, testing::Values(
    Failing("ControlCharacterInAField", kOk + "X: a\x01" "b\r\n\r\n", Fault::Hostile),
    Failing("BareCarriageReturnInAField", kOk + "X: a\rb\r\n\r\n", Fault::Hostile),
    Failing("EndlessHeaderLine", kOk + "X: " + std::string(70000, 'a'), Fault::Hostile),
    Failing("EndlessHeaderLines", kOk + Repeated("X-A: b\r\n", 10000), Fault::Hostile),
    Failing("EndlessInterimAnswers", Repeated("HTTP/1.1 100 Continue\r\n\r\n", 5000), Fault::Hostile),
    Failing("SwitchingProtocolsUnasked", "HTTP/1.1 101 Switching\r\n\r\n", Fault::Hostile),
    Failing("TwoLengths", kOk + "Content-Length: 5\r\nContent-Length: 6\r\n\r\n", Fault::Hostile),
    Failing("NegativeLength", kOk + "Content-Length: -1\r\n\r\n", Fault::Hostile),
    Failing("LengthPast64Bits", kOk + "Content-Length: 99999999999999999999\r\n\r\n", Fault::Hostile),
    Failing("ChunkSizePast60Bits", kChunked + "1000000000000000\r\n", Fault::Hostile),
    Failing("ChunkSizeNotHexadecimal", kChunked + "zz\r\n", Fault::Hostile),
    Failing("EndlessChunkSizeLine", kChunked + "1" + std::string(5000, '0'), Fault::Hostile),
    Failing("ChunkLongerThanItsSize", kChunked + "3\r\nabcX\r\n", Fault::Hostile),
    Failing("EndlessTrailer", kChunked + "0\r\n" + Repeated("T: x\r\n", 12000), Fault::Hostile)),
    [](const testing::TestParamInfo<ReaderCase>& info) { return std::string(info.param.name); });

} // namespace

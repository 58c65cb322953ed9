// THttpCli receiving a document straight into a stream that offers room for it (DocumentMemory):
// without OnDocData the bytes after the first chunk skip the receive buffer, in large reads;
// the document and the rules about its end must come out as through the buffer.
#include "ClientHarness.h"
#include "HttpServers.h"
#include "ScriptedServer.h"

#include "httpprot/DocumentMemory.h"

#include <gtest/gtest.h>

using namespace httpprot;
using namespace httptest;
using namespace testservers::script;
using std::chrono::milliseconds;

namespace {

const std::string kEnd = "\r\n\r\n";

std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    return bytes;
}

class HttpCliDocumentMemory : public testing::Test {
protected:
    HttpCliDocumentMemory() { client.OnDocData = nullptr; }

    Outcome Fetch(const std::string& url, base::Stream& stream)
    {
        client.SetURL(url);
        client.SetDocumentStream(&stream);
        const Outcome o = recorder.run([&] { client.GetASync(); });
        client.SetDocumentStream(nullptr);
        return o;
    }

    THttpCli client;
    Recorder recorder{client};
    DocumentMemory memory;
};

struct EndCase {
    const char* name;
    testservers::Script script;
    std::string document;
    const char* reason; // empty: the fetch succeeds
};

void PrintTo(const EndCase& c, std::ostream* out)
{
    *out << c.name;
}

class HttpCliDocumentMemoryEnd : public HttpCliDocumentMemory, public testing::WithParamInterface<EndCase> {};

TEST_P(HttpCliDocumentMemoryEnd, KeepsEveryByteAndJudgesTheEnd)
{
    testservers::ScriptedServer server(GetParam().script);
    const Outcome o = Fetch("http://127.0.0.1:" + std::to_string(server.port()) + "/doc.html", memory);
    ASSERT_TRUE(o.done);
    EXPECT_TRUE(memory.data() == GetParam().document) << memory.size();
    EXPECT_EQ(client.RcvdCount(), static_cast<std::int64_t>(GetParam().document.size()));
    EXPECT_EQ(o.reason, *GetParam().reason ? GetParam().reason : "OK");
    EXPECT_EQ(o.status, *GetParam().reason ? 404 : 200);
    EXPECT_EQ(client.State(), THttpState::Ready);
}

const std::string kPieces = Pattern(300000);

INSTANTIATE_TEST_SUITE_P(Cases, HttpCliDocumentMemoryEnd, testing::Values(
    EndCase{"PiecesAfterTheFirstChunk",
            {accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\nfirst"), sendSlowly(kPieces, 70000, milliseconds(20)),
             close()},
            "first" + kPieces, ""},
    EndCase{"CutShortOfTheContentLength",
            {accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\nContent-Length: 500000\r\n\r\nfirst"),
             sendSlowly(kPieces, 70000, milliseconds(20)), close()},
            "first" + kPieces, "document truncated: 300005 of 500000 bytes arrived"},
    EndCase{"ResetWithoutContentLength",
            {accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\nfirst"), sendSlowly(kPieces, 70000, milliseconds(20)),
             stall(milliseconds(100)), reset()},
            "first" + kPieces, "Connection reset by peer (Error #10054)"}),
    [](const testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

class HttpCliDocumentMemoryNginx : public HttpCliDocumentMemory {
protected:
    static void SetUpTestSuite()
    {
        web = new testservers::Nginx();
        web->write("data.bin", Pattern(20u << 20));
        tls = new testservers::NginxTls();
        tls->write("data.bin", Pattern(20u << 20));
    }
    static void TearDownTestSuite()
    {
        delete tls;
        delete web;
    }

    static testservers::Nginx* web;
    static testservers::NginxTls* tls;
};

testservers::Nginx* HttpCliDocumentMemoryNginx::web = nullptr;
testservers::NginxTls* HttpCliDocumentMemoryNginx::tls = nullptr;

TEST_F(HttpCliDocumentMemoryNginx, TwentyMegabytesLandInTheReservedRoomExactly)
{
    memory.reserve(21u << 20);
    const char* const room = memory.receiveRoom(1).data();
    const Outcome o = Fetch(web->url("/data.bin"), memory);
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_EQ(memory.data().data(), room) << "no copy: the bytes lie where the room was reserved";
    EXPECT_TRUE(memory.data() == Pattern(20u << 20));
}

TEST_F(HttpCliDocumentMemoryNginx, OverTlsTheDecryptedBytesLandInTheRoomExactly)
{
    client.SetCaCertFile(tls->caFile());
    const Outcome o = Fetch(tls->url("/data.bin"), memory);
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_TRUE(memory.data() == Pattern(20u << 20)) << memory.size();
}

TEST_F(HttpCliDocumentMemoryNginx, AStreamWithoutRoomAndAWatcherOfChunksGetEveryByteAsBefore)
{
    base::MemoryStream plain;
    Outcome o = Fetch(web->url("/data.bin"), plain);
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_TRUE(plain.data() == Pattern(20u << 20));

    std::size_t largest = 0;
    std::string watched;
    client.OnDocData = [&](THttpCli*, const char* data, int length) {
        largest = std::max(largest, static_cast<std::size_t>(length));
        watched.append(data, static_cast<std::size_t>(length));
    };
    o = Fetch(web->url("/data.bin"), memory);
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_LE(largest, ReceiveBuffer::MaxData) << "OnDocData sees the receive buffer's chunks";
    EXPECT_TRUE(watched == Pattern(20u << 20));
    EXPECT_TRUE(memory.data() == watched);
}

} // namespace

#include "ClientHarness.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace httptest {

using namespace httpprot;

Recorder::Recorder(THttpCli& client, bool keepBody) : client_(client), keepBody_(keepBody)
{
    client.OnStateChange = [this](THttpCli* c) { log("state:" + std::to_string(static_cast<int>(c->State()))); };
    client.OnHeaderBegin = [this](THttpCli*) { log("headerbegin"); };
    client.OnHeaderEnd = [this](THttpCli*) { log("headerend"); };
    client.OnCommand = [this](THttpCli*, std::string& line) { log("command:" + line); };
    client.OnHeaderData = [this](THttpCli*) { log("headerdata"); };
    client.OnDocBegin = [this](THttpCli*) { log("docbegin"); };
    client.OnDocData = [this](THttpCli*, const char* data, int length) {
        log("docdata");
        outcome_.bodySize += length;
        for (int i = 0; i < length; ++i)
            outcome_.bodyHash = (outcome_.bodyHash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
        if (keepBody_)
            outcome_.body.append(data, static_cast<std::size_t>(length));
    };
    client.OnDocEnd = [this](THttpCli*) { log("docend"); };
    client.OnSendBegin = [this](THttpCli*) { log("sendbegin"); };
    client.OnSendData = [this](THttpCli*, const char*, int length) { log("senddata:" + std::to_string(length)); };
    client.OnSendEnd = [this](THttpCli*) { log("sendend"); };
    client.OnLocationChange = [this](THttpCli*) { log("location"); };
    client.OnRequestDone = [this](THttpCli* c, THttpRequest request, int error) {
        log("done");
        outcome_.done = true;
        outcome_.request = request;
        outcome_.requestDoneError = error;
        outcome_.status = c->StatusCode();
        outcome_.reason = c->ReasonPhrase();
        outcome_.documentName = c->DocumentName();
        outcome_.contentType = c->ContentType();
        outcome_.contentLength = c->ContentLength();
        outcome_.header = c->ResponseHeader().lines();
    };
}

void Recorder::log(std::string event)
{
    if (!outcome_.events.empty() && outcome_.events.back() == event && (event == "docdata" || event.rfind("senddata", 0) == 0))
        return;
    outcome_.events.push_back(std::move(event));
}

Outcome Recorder::run(const std::function<void()>& start, std::chrono::milliseconds limit)
{
    outcome_ = Outcome{};
    start();
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(limit);
    const auto previous = client_.OnRequestDone;
    client_.OnRequestDone = [&](THttpCli* c, THttpRequest request, int error) {
        previous(c, request, error);
        loop.quit();
    };
    if (!outcome_.done)
        loop.exec();
    client_.OnRequestDone = previous;
    return outcome_;
}

void Recorder::turnEventLoop(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string Join(const std::vector<std::string>& lines, const char* separator)
{
    std::string out;
    for (const auto& line : lines) {
        if (!out.empty())
            out += separator;
        out += line;
    }
    return out;
}

} // namespace httptest

#include "tarnby/PageFetch.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "httpprot/DocumentFile.h"
#include "httpprot/HttpCli.h"

namespace tarnby {

using httpprot::THttpCli;

PageFetch::PageFetch(THttpCli& client) : client_(client)
{
    client.SetAgent("Tarnby v1.1c");
    client.SetProxyPort("80");
    client.SetNoCache(false);
    client.SetContentTypePost("application/x-www-form-urlencoded");
    client.SetMultiThreaded(false);
    client.OnDocBegin = [this](THttpCli*) { DocBegin(); };
    client.OnDocEnd = [this](THttpCli*) { ReleaseDocument(); };
    client.OnRequestDone = [this](THttpCli*, httpprot::THttpRequest, int error) { RequestDone(error); };
    client.OnLocationChange = [this](THttpCli*) { LocationChanged(); };
}

PageFetch::~PageFetch()
{
    client_.OnDocBegin = nullptr;
    client_.OnDocEnd = nullptr;
    client_.OnRequestDone = nullptr;
    client_.OnLocationChange = nullptr;
    client_.SetDocumentStream(nullptr);
}

bool PageFetch::Busy() const
{
    return client_.State() != httpprot::THttpState::Ready;
}

void PageFetch::Log(const std::string& line)
{
    base::raise(OnLog, line);
}

void PageFetch::DocBegin()
{
    const std::string& name = client_.DocumentName();
    Log(client_.ContentType() + " => " + name);
    Log("Document = " + name);
    // The name never holds a path separator and is never "." or "..": the file is in the
    // current folder.
    document_ = std::make_unique<httpprot::DocumentFile>(name);
    documentWritten_ = true;
    client_.SetDocumentStream(document_.get());
}

void PageFetch::ReleaseDocument()
{
    client_.SetDocumentStream(nullptr);
    const std::unique_ptr<httpprot::DocumentFile> document = std::move(document_);
    if (document)
        document->close();
}

void PageFetch::RequestDone(int error)
{
    base::raise(OnRequestDone);
    Log("Request Done Error = " + std::to_string(error));
}

// A server that keeps relocating (or one relocating to itself) must not keep the fetch going
// for ever.
void PageFetch::LocationChanged()
{
    if (++redirects_ <= maxRedirects_ || redirectLimitReached_)
        return;
    redirectLimitReached_ = true;
    Log("Too many relocations: more than " + std::to_string(maxRedirects_) + ", request ended");
    client_.Abort();
}

bool PageFetch::Fetch(const std::string& url)
{
    redirects_ = 0;
    redirectLimitReached_ = false;
    client_.SetURL(url);
    client_.SetDocumentStream(nullptr);
    documentWritten_ = false;
    try {
        client_.Get();
    } catch (const std::exception&) {
        Log("GET Failed !");
        Log("StatusCode   = " + std::to_string(client_.StatusCode()));
        Log("ReasonPhrase = " + client_.ReasonPhrase());
        try {
            ReleaseDocument();
        } catch (const base::EFileError&) {
            // The fetch has failed already; the partial file is what it is.
        }
        return false;
    }
    Log("StatusCode = " + std::to_string(client_.StatusCode()));
    for (const std::string& line : client_.ResponseHeader().lines())
        Log("hdr>" + line);
    return true;
}

std::string PageFetch::ReadDocument() const
{
    const std::string& name = client_.DocumentName();
    if (!documentWritten_)
        throw base::EFileError("Cannot open file \"" + name + "\". The server sent no document.");
    return base::ReadWholeFile(name);
}

} // namespace tarnby

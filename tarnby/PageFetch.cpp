#include "tarnby/PageFetch.h"

#include "base/Exception.h"
#include "base/Streams.h"
#include "base/Text.h"
#include "httpprot/HttpCli.h"
#include "tarnby/CachedDocument.h"
#include "tarnby/UrlReference.h"

#include <algorithm>
#include <cstdint>

namespace tarnby {

using httpprot::THttpCli;

namespace {

// The most memory an announced Content-Length reserves ahead of the bytes.
constexpr std::int64_t kReserveLimit = std::int64_t{1} << 30;

// The value of the last "location" header line received, trimmed.
std::string LastLocation(const base::StringList& header)
{
    constexpr std::string_view name = "location:";
    for (std::size_t i = header.count(); i-- > 0;) {
        const std::string& line = header.get(i);
        if (line.size() >= name.size() && base::LowerCase(line.substr(0, name.size())) == name)
            return CleanUrlText(std::string_view(line).substr(name.size()));
    }
    return {};
}

} // namespace

PageFetch::PageFetch(THttpCli& client, DocumentKeeping keeping) : client_(client), keeping_(keeping)
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
    // The name never holds a path separator and is never "." or "..".
    const std::string& name = client_.DocumentName();
    documentWritten_ = true;
    if (keeping_ == DocumentKeeping::Memory) {
        documentPath_ = name;
        memory_.clear();
        // One allocation for an announced length (a lying server costs address space only:
        // the bytes that never come are never touched), with room for the line breaks the
        // pane text adds where the page lies (AppendLines), which is touched only when used.
        if (const std::int64_t length = client_.ContentLength(); length > 0) {
            const auto room = static_cast<std::size_t>(std::min<std::int64_t>(length + length / 8 + 4096, kReserveLimit));
            memory_.reserve(room);
        }
        client_.SetDocumentStream(&memory_);
    } else {
        documentPath_ = DocumentFolder() + "/" + name;
        file_ = std::make_unique<CachedDocument>(documentPath_);
        client_.SetDocumentStream(&file_->stream());
    }
    Log(client_.ContentType() + " => " + name);
    Log("Document = " + documentPath_);
}

void PageFetch::ReleaseDocument()
{
    client_.SetDocumentStream(nullptr);
}

void PageFetch::RequestDone(int error)
{
    base::raise(OnRequestDone);
    Log("Request Done Error = " + std::to_string(error));
}

// The page's own URL follows each relocation; a server that keeps relocating (or one
// relocating to itself) must not keep the fetch going for ever.
void PageFetch::LocationChanged()
{
    pageUrl_ = ResolveReference(pageUrl_, LastLocation(client_.ResponseHeader()));
    base::raise(OnLocationChange);
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
    file_.reset();
    pageUrl_ = url;
    try {
        client_.Get();
    } catch (const std::exception&) {
        Log("GET Failed !");
        Log("StatusCode   = " + std::to_string(client_.StatusCode()));
        Log("ReasonPhrase = " + client_.ReasonPhrase());
        ReleaseDocument();
        file_.reset();
        return false;
    }
    Log("StatusCode = " + std::to_string(client_.StatusCode()));
    for (const std::string& line : client_.ResponseHeader().lines())
        Log("hdr>" + line);
    ReleaseDocument();
    if (file_)
        file_->commit();
    return true;
}

std::string PageFetch::TakeDocument()
{
    if (keeping_ == DocumentKeeping::Memory && documentWritten_)
        return memory_.take();
    return ReadDocument();
}

std::string PageFetch::ReadDocument() const
{
    if (!documentWritten_)
        throw base::EFileError("Cannot open file \"" + client_.DocumentName() + "\". The server sent no document.");
    if (keeping_ == DocumentKeeping::Memory)
        return std::string(memory_.data());
    return base::ReadWholeFile(documentPath_);
}

} // namespace tarnby

#pragma once
// The fetch of Tarnby's window and of its batch mode, without widgets: the client's settings,
// its three event handlers, the document and the log lines in their order. The window shows
// the log in its log pane; the batch mode on standard error.
//
// The window keeps each document in Tarnby's cache folder (CachedDocument.h), never in the
// current folder, and only once the fetch has succeeded; the batch mode keeps it in memory.
//
// Log of a successful fetch of ".../index.html" answered with text/html and a body:
//   "text/html => index.html", "Document = " + where it is kept (the full path of the file,
//   or the bare name in memory), "StatusCode = 200",
//   "hdr>" + each response header line, then (from the event loop, after Fetch has returned)
//   "Request Done Error = 0". A failed fetch logs "GET Failed !", "StatusCode   = " + code and
//   "ReasonPhrase = " + reason instead of the status and header lines.
//
// A fetch follows at most MaxRedirects relocations (20 unless set); the next one aborts it
// after the log line "Too many relocations: more than N, request ended".
#include "base/Event.h"
#include "httpprot/DocumentMemory.h"

#include <memory>
#include <string>

namespace httpprot {
class THttpCli;
}

namespace tarnby {

class CachedDocument;

enum class DocumentKeeping { CacheFolder, Memory };

class PageFetch {
public:
    // Gives client the window's settings (Agent "Tarnby v1.1c", ProxyPort "80", no NoCache,
    // form-encoded ContentTypePost, not MultiThreaded) and takes its OnDocBegin, OnDocEnd,
    // OnRequestDone and OnLocationChange events. The client must outlive this object.
    explicit PageFetch(httpprot::THttpCli& client, DocumentKeeping keeping = DocumentKeeping::CacheFolder);
    ~PageFetch();
    PageFetch(const PageFetch&) = delete;
    PageFetch& operator=(const PageFetch&) = delete;

    base::Event<const std::string&> OnLog;
    // The client's request-done event, raised before its log line.
    base::Event<> OnRequestDone;
    // The client's location-change event, raised after PageUrl() has followed it.
    base::Event<> OnLocationChange;

    int MaxRedirects() const { return maxRedirects_; }
    void SetMaxRedirects(int count) { maxRedirects_ = count; }
    // The last fetch was aborted for following too many relocations.
    bool RedirectLimitReached() const { return redirectLimitReached_; }

    // True while a fetch is under way (the client is not ready); Fetch must not start then.
    bool Busy() const;

    // Sets the URL, clears the document stream and runs the client's synchronous Get, which
    // turns the event loop meanwhile. Success: logs the status and header lines, keeps the
    // document and returns true; throws base::EFileError when it cannot be kept. Failure (any
    // exception, a status of 400 or more among them): logs the three failure lines, drops
    // what arrived of the document (an earlier one of the same name stays) and returns false.
    bool Fetch(const std::string& url);

    // The fetched document. Throws base::EFileError when the last fetch received no body (an
    // older document of the same name, from an earlier fetch, is not taken for this one).
    std::string ReadDocument() const;
    // The same, handed over without a copy when it is kept in memory (read it once).
    std::string TakeDocument();

    // The address of the last fetched page: its URL, moved by every relocation (a relative
    // "location" resolved against the address before it).
    const std::string& PageUrl() const { return pageUrl_; }

    httpprot::THttpCli& Client() const { return client_; }

private:
    void DocBegin();
    // The DocEnd handler: the client lets go of the document.
    void ReleaseDocument();
    void RequestDone(int error);
    void LocationChanged();
    void Log(const std::string& line);

    httpprot::THttpCli& client_;
    const DocumentKeeping keeping_;
    std::unique_ptr<CachedDocument> file_;
    httpprot::DocumentMemory memory_;
    std::string documentPath_;
    bool documentWritten_ = false;
    std::string pageUrl_;
    int maxRedirects_ = 20;
    int redirects_ = 0;
    bool redirectLimitReached_ = false;
};

} // namespace tarnby

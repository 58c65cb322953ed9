#pragma once
// The fetch of Tarnby's window and of its batch mode, without widgets: the client's settings,
// its three event handlers, the document file in the current folder and the log lines in
// their order. The window shows the log in its log pane; the batch mode on standard error.
//
// Log of a successful fetch of ".../index.html" answered with text/html and a body:
//   "text/html => index.html", "Document = index.html", "StatusCode = 200",
//   "hdr>" + each response header line, then (from the event loop, after Fetch has returned)
//   "Request Done Error = 0". A failed fetch logs "GET Failed !", "StatusCode   = " + code and
//   "ReasonPhrase = " + reason instead of the status and header lines.
//
// A fetch follows at most MaxRedirects relocations (20 unless set); the next one aborts it
// after the log line "Too many relocations: more than N, request ended".
#include "base/Event.h"

#include <memory>
#include <string>

namespace httpprot {
class DocumentFile;
class THttpCli;
}

namespace tarnby {

class PageFetch {
public:
    // Gives client the window's settings (Agent "Tarnby v1.1c", ProxyPort "80", no NoCache,
    // form-encoded ContentTypePost, not MultiThreaded) and takes its OnDocBegin, OnDocEnd
    // OnRequestDone and OnLocationChange events. The client must outlive this object.
    explicit PageFetch(httpprot::THttpCli& client);
    ~PageFetch();
    PageFetch(const PageFetch&) = delete;
    PageFetch& operator=(const PageFetch&) = delete;

    base::Event<const std::string&> OnLog;
    // The client's request-done event, raised before its log line.
    base::Event<> OnRequestDone;

    int MaxRedirects() const { return maxRedirects_; }
    void SetMaxRedirects(int count) { maxRedirects_ = count; }
    // The last fetch was aborted for following too many relocations.
    bool RedirectLimitReached() const { return redirectLimitReached_; }

    // True while a fetch is under way (the client is not ready); Fetch must not start then.
    bool Busy() const;

    // Sets the URL, clears the document stream and runs the client's synchronous Get, which
    // turns the event loop meanwhile. Success: logs the status and header lines, returns true.
    // Failure (any exception, a status of 400 or more among them): logs the three failure
    // lines, releases the document file and returns false.
    bool Fetch(const std::string& url);

    // The fetched document, read back from its file. Throws base::EFileError when the last
    // fetch received no body: no file was written (an older file of the same name, from an
    // earlier fetch, is not taken for this one).
    std::string ReadDocument() const;

    // Closes and releases the document file, if one is open (the DocEnd handler). Throws
    // base::EFileError when its last bytes cannot be written.
    void ReleaseDocument();

    httpprot::THttpCli& Client() const { return client_; }

private:
    void DocBegin();
    void RequestDone(int error);
    void LocationChanged();
    void Log(const std::string& line);

    httpprot::THttpCli& client_;
    std::unique_ptr<httpprot::DocumentFile> document_;
    bool documentWritten_ = false;
    int maxRedirects_ = 20;
    int redirects_ = 0;
    bool redirectLimitReached_ = false;
};

} // namespace tarnby

#pragma once
// A fetched document on its way into Tarnby's cache folder. The body is written to a file
// beside the final name and moved onto it by commit() only, so a fetch that fails or is
// aborted leaves an earlier document of the same name as it was and no partial file behind.
#include "httpprot/DocumentFile.h"

#include <memory>
#include <string>

namespace tarnby {

// Tarnby's cache folder (see platform::core::CacheFolder), as a local path.
std::string DocumentFolder();

class CachedDocument {
public:
    // finalPath: where commit() puts the document. Throws base::EFileError.
    explicit CachedDocument(std::string finalPath);
    // Removes the unfinished file unless committed.
    ~CachedDocument();
    CachedDocument(const CachedDocument&) = delete;
    CachedDocument& operator=(const CachedDocument&) = delete;

    base::Stream& stream() { return *file_; }
    const std::string& path() const { return finalPath_; }
    // Writes out the rest and moves the file onto path(). Throws base::EFileError.
    void commit();

private:
    std::string finalPath_;
    std::string partPath_;
    std::unique_ptr<httpprot::DocumentFile> file_;
    bool committed_ = false;
};

} // namespace tarnby

#include "tarnby/CachedDocument.h"

#include "base/Exception.h"
#include "platform/core/CacheFolder.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace tarnby {

std::string DocumentFolder()
{
    return QFile::encodeName(platform::core::CacheFolder(QStringLiteral("tarnby"))).toStdString();
}

CachedDocument::CachedDocument(std::string finalPath)
    : finalPath_(std::move(finalPath)),
      // Per process: two windows fetching pages of one name do not write into each other.
      partPath_(finalPath_ + ".part-" + std::to_string(::getpid())),
      file_(nullptr)
{
    // A folder of that name would only refuse the document at the end, after the download.
    if (std::filesystem::is_directory(finalPath_))
        throw base::EFileError("Cannot create file \"" + finalPath_ + "\". It is a folder.", EISDIR);
    file_ = std::make_unique<httpprot::DocumentFile>(partPath_);
}

CachedDocument::~CachedDocument()
{
    if (committed_)
        return;
    file_.reset();
    std::remove(partPath_.c_str());
}

void CachedDocument::commit()
{
    file_->close();
    file_.reset();
    if (std::rename(partPath_.c_str(), finalPath_.c_str()) != 0)
        throw base::EFileError("Cannot write file \"" + finalPath_ + "\". " + std::strerror(errno), errno);
    committed_ = true;
}

} // namespace tarnby

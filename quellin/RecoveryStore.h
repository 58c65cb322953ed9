#pragma once
// Copies of unsaved editor texts that survive a crash, a kill or a power cut.
//
// A RecoverySession is one running Quellin: it holds a lock on a file in the recovery folder
// (flock, which the kernel drops when the process ends in any way) for as long as it lives and
// keeps at most one copy beside it ("<session>.text"). A copy whose session lock is not held
// (its program ended without removing it: crashed, killed) is an orphan; the next start offers
// to restore it. Copies of sessions still running are left
// alone, so two Quellins never take each other's copies.
//
// A copy holds the bytes a write-back would send (the text in its file's shape: line breaks,
// final break, encoding), the shape itself, and the origin (site, folder, name), so a restored
// text goes back to the same place byte for byte. Copies are written atomically with mode
// 0600 in a folder of mode 0700: they may hold anything the user typed.
//
// File layout: a header of "key: value" lines (byte strings as hexadecimal), a blank line,
// then exactly "length" bytes of text. Anything else is no copy (see ParseRecoveryCopy).
#include "platform/core/TextCodec.h"
#include "quellin/TextShape.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellin {

// Where a write-back of an edited text goes: the site (user, host, port), the server's folder
// and the file's name; byte strings as the server has them. Empty host: no site.
struct RecoveryOrigin {
    std::string user;
    std::string host;
    std::uint16_t port = 21;
    std::string folder;
    std::string name;
    bool operator==(const RecoveryOrigin&) const = default;
};

struct RecoveryCopy {
    RecoveryOrigin origin;
    TextShape shape;
    platform::core::TextEncoding encoding = platform::core::TextEncoding::Utf8;
    std::string bytes; // as a write-back would send them
};

// The largest header a copy may have; the text itself has no limit but the file's size.
constexpr std::size_t kMaxRecoveryHeader = 64 * 1024;

std::string SerializeRecoveryCopy(const RecoveryCopy& copy);
// Nothing for anything that is not exactly a copy (wrong magic, unknown or repeated keys,
// bad hexadecimal, a header past kMaxRecoveryHeader, a length that does not match).
std::optional<RecoveryCopy> ParseRecoveryCopy(std::string_view file);

// $XDG_STATE_HOME/quellin, or ~/.local/state/quellin when the variable is unset, empty or not
// an absolute path.
QString DefaultRecoveryFolder();

struct OrphanCopy {
    QString session; // the session's name in the folder
    RecoveryCopy copy;
};

class RecoverySession {
public:
    // Creates the folder (mode 0700) and takes a lock of its own in it. Throws base::EFileError
    // when the folder cannot be made or the lock cannot be taken.
    explicit RecoverySession(QString folder = DefaultRecoveryFolder());
    // Removes nothing: a session destroyed without endCleanly() leaves its copy (as a crash does).
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    const QString& folder() const { return folder_; }
    QString copyPath() const;

    // Replaces this session's copy atomically (mode 0600). Throws base::EFileError.
    void save(const RecoveryCopy& copy);
    // Removes this session's copy (there may be none).
    void remove();
    // Removes the copy and the lock: the program ends as it should.
    void endCleanly();

    // The copies that sessions no longer running left, oldest first; unreadable ones are
    // skipped (and left where they are).
    std::vector<OrphanCopy> orphans() const;
    // Removes an orphan's copy and lock (after it was restored or its discard confirmed).
    void removeOrphan(const QString& session);

private:
    QString folder_;
    QString name_;
    int lock_ = -1; // the open, locked lock file; -1 after endCleanly()
};

} // namespace quellin

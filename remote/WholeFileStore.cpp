#include "remote/WholeFileStore.h"

#include "remote/RemoteNames.h"

#include <cstdio>
#include <random>

namespace remote {
namespace {

constexpr std::string_view kTag = ".quellin-";
constexpr std::string_view kExtension = ".tmp";
constexpr std::size_t kSuffixLength = 6;

std::string randomSuffix()
{
    static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{ std::random_device{}() };
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string suffix(kSuffixLength, ' ');
    for (char& c : suffix)
        c = kAlphabet[pick(generator)];
    return suffix;
}

// FTP's replies for a transfer that began and broke off (the connection, the server's disk):
// a refusal, but never of the name.
bool brokenTransfer(int code)
{
    return code == 426 || code == 451 || code == 452 || code == 552;
}

bool tryDelete(RemoteFiles& files, const std::string& name)
{
    try {
        files.Delete(name);
        return true;
    } catch (const ERemoteError&) {
        return false;
    }
}

std::string octal(int mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode));
    return text;
}

// The failure of a store, with what became of its temporary file.
ERemoteError failure(const std::string& name, const ERemoteError& cause, const std::string& temporary, bool removed)
{
    std::string text = Printable(name) + " was not stored: " + cause.message() + ". The file on the server is unchanged";
    if (!removed)
        text += "; the temporary file " + Printable(temporary) + " could not be removed from the server";
    return ERemoteError(text + ".", cause.code());
}

std::string leftOver(bool removed, const std::string& temporary)
{
    return removed ? "" : "; " + Printable(temporary) + " is left on the server";
}

} // namespace

std::string TemporaryName(std::string_view name, std::string_view suffix)
{
    const std::string unique = suffix.empty() ? randomSuffix() : std::string(suffix);
    const std::size_t room = kMaxNameLength - 1 - kTag.size() - unique.size() - kExtension.size();
    std::size_t keep = std::min(name.size(), room);
    // Never cut a UTF-8 character in two: step back over its continuation bytes (at most three;
    // bytes that are no UTF-8 are cut where they stand).
    for (int step = 0; step < 3 && keep > 0 && keep < name.size()
                       && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80;
         ++step)
        --keep;
    std::string temporary;
    temporary.reserve(kMaxNameLength);
    temporary.append(".").append(name.substr(0, keep)).append(kTag).append(unique).append(kExtension);
    return temporary;
}

StoreResult StoreWhole(RemoteFiles& files, base::Stream& source, const std::string& name,
                       const std::optional<RemoteEntry>& target)
{
    RequireEntryName(name);
    const std::string temporary = TemporaryName(name);
    const std::int64_t start = source.position();
    const auto storeDirectly = [&] {
        source.setPosition(start);
        files.Store(source, name);
    };

    try {
        files.Store(source, temporary);
    } catch (const ERemoteCancelled&) {
        tryDelete(files, temporary);
        throw;
    } catch (const ERemoteError& e) {
        const bool refused = dynamic_cast<const ERemoteRefused*>(&e) != nullptr && !brokenTransfer(e.code());
        const bool connected = files.State() != ConnectionState::LoggedOut;
        const bool removed = tryDelete(files, temporary);
        // Refused while the connection stands, and nothing to remove: the name itself was refused.
        if (!refused || !connected || removed)
            throw failure(name, e, temporary, removed);
        storeDirectly();
        return { true, Printable(name) + " was stored directly: the server refused the temporary name (" + e.message() + ")" };
    }

    std::string note;
    if (target && target->permissions != kUnknownPermissions) {
        bool kept = false;
        try {
            kept = files.SetPermissions(temporary, target->permissions);
        } catch (const ERemoteError&) {
            // The rename below still decides; the note tells the user the mode may differ.
        }
        if (!kept)
            note = "The server could not keep the permissions of " + Printable(name) + " (" + octal(target->permissions) + ")";
    }

    try {
        files.Rename(temporary, name);
    } catch (const ERemoteError& e) {
        if (files.State() == ConnectionState::LoggedOut)
            throw failure(name, e, temporary, tryDelete(files, temporary));
        try {
            storeDirectly();
        } catch (const ERemoteError&) {
            tryDelete(files, temporary);
            throw;
        }
        const bool removed = tryDelete(files, temporary);
        return { true, Printable(name) + " was stored directly: the server refused to rename the temporary file over it ("
                           + e.message() + ")" + leftOver(removed, temporary) };
    }
    return { false, note };
}

} // namespace remote

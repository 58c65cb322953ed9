// Recovery copies: the file format byte for byte and against hostile files, and sessions that
// find only the copies of programs that are gone (killed, crashed), never those still running.
#include "quellin/RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quellin;
using platform::core::TextEncoding;

namespace {

RecoveryCopy Copy(std::string bytes, RecoveryOrigin origin = {"joe", "127.0.0.1", 2121, "/www", "index.htm"},
                  TextShape shape = {"\r\n", true}, TextEncoding encoding = TextEncoding::Utf8)
{
    return {std::move(origin), std::move(shape), encoding, std::move(bytes)};
}

void ExpectSame(const RecoveryCopy& a, const RecoveryCopy& b)
{
    EXPECT_EQ(a.origin, b.origin);
    EXPECT_EQ(a.shape.lineBreak, b.shape.lineBreak);
    EXPECT_EQ(a.shape.addFinalBreak, b.shape.addFinalBreak);
    EXPECT_EQ(a.encoding, b.encoding);
    EXPECT_EQ(a.bytes, b.bytes);
}

struct RoundTripCase {
    const char* name;
    RecoveryCopy copy;
};

std::ostream& operator<<(std::ostream& out, const RoundTripCase& c)
{
    return out << c.name;
}

class RecoveryFormat : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RecoveryFormat, ReadsBackByteForByte)
{
    const std::optional<RecoveryCopy> read = ParseRecoveryCopy(SerializeRecoveryCopy(GetParam().copy));
    ASSERT_TRUE(read.has_value());
    ExpectSame(*read, GetParam().copy);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecoveryFormat, testing::Values(
    RoundTripCase{"Plain", Copy("<p>hello</p>\r\n")},
    RoundTripCase{"Empty", Copy("", {})},
    RoundTripCase{"NulAndControls", Copy(std::string("a\0b\x01\x7F\r\n\n\n", 9))},
    RoundTripCase{"BlankLinesAndAHeaderInTheText", Copy("\n\nQuellin recovery 1\nlength: 3\n\n")},
    RoundTripCase{"Windows1252", Copy("Gr\xFC\xDF" "e\n", {"", "", 21, "/tmp", "caf\xE9.txt"}, {"\n", false}, TextEncoding::Windows1252)},
    RoundTripCase{"OriginWithControlCharacters", Copy("x", {"a\r\nb", "h\x01", 65535, "/\x01/\n", "n\xFF\x00"})},
    RoundTripCase{"MacLineBreaks", Copy("a\rb\r", {"u@x", "h", 1, "/", "m.txt"}, {"\r", true})},
    RoundTripCase{"Large", Copy(std::string(3'000'000, '\xE4'))}
), [](const auto& info) { return std::string(info.param.name); });

struct HostileCase {
    const char* name;
    std::string file;
};

std::ostream& operator<<(std::ostream& out, const HostileCase& c)
{
    return out << c.name;
}

std::string Valid(const std::string& body = "abc")
{
    return SerializeRecoveryCopy(Copy(body));
}

// The valid file with one header line replaced.
std::string WithLine(const std::string& from, const std::string& to)
{
    std::string file = Valid();
    const std::size_t at = file.find(from);
    return file.replace(at, from.size(), to);
}

class RecoveryHostile : public testing::TestWithParam<HostileCase> {};

TEST_P(RecoveryHostile, IsNoCopy)
{
    EXPECT_FALSE(ParseRecoveryCopy(GetParam().file).has_value());
}

INSTANTIATE_TEST_SUITE_P(Cases, RecoveryHostile, testing::Values(
    HostileCase{"Empty", ""},
    HostileCase{"OtherMagic", WithLine("Quellin recovery 1", "Quellin recovery 2")},
    HostileCase{"NoBlankLine", Valid().substr(0, Valid().find("\n\n"))},
    HostileCase{"MissingKey", WithLine("\nhost: ", "\nhostx: ")},
    HostileCase{"RepeatedKey", WithLine("\nhost: ", "\nhost: \nhost: ")},
    HostileCase{"KeyWithoutBlank", WithLine("\nhost: ", "\nhost:")},
    HostileCase{"PortTooLarge", WithLine("\nport: 2121", "\nport: 65536")},
    HostileCase{"PortNegative", WithLine("\nport: 2121", "\nport: -1")},
    HostileCase{"PortNotANumber", WithLine("\nport: 2121", "\nport: ftp")},
    HostileCase{"OddHex", WithLine("\nfolder: 2f777777", "\nfolder: 2f77777")},
    HostileCase{"NotHex", WithLine("\nfolder: 2f777777", "\nfolder: 2f7777zz")},
    HostileCase{"SignedHex", WithLine("\nfolder: 2f777777", "\nfolder: +f777777")},
    HostileCase{"FinalBreakTwo", WithLine("\nfinal-break: 1", "\nfinal-break: 2")},
    HostileCase{"UnknownEncoding", WithLine("\nencoding: utf-8", "\nencoding: koi8-r")},
    HostileCase{"LengthShort", WithLine("\nlength: 3", "\nlength: 2")},
    HostileCase{"LengthLong", WithLine("\nlength: 3", "\nlength: 4")},
    HostileCase{"LengthSigned", WithLine("\nlength: 3", "\nlength: +3")},
    HostileCase{"LengthBlank", WithLine("\nlength: 3", "\nlength: 3 ")},
    HostileCase{"LengthEmpty", WithLine("\nlength: 3", "\nlength: ")},
    HostileCase{"LengthOverflow", WithLine("\nlength: 3", "\nlength: 99999999999999999999999999")},
    HostileCase{"CarriageReturnLines", WithLine("\nname: ", "\r\nname: ")},
    HostileCase{"EndlessHeader", "Quellin recovery 1\nhost: " + std::string(10'000'000, 'a')},
    HostileCase{"HeaderPastItsLimit", WithLine("\nhost: ", "\nhost: " + std::string(kMaxRecoveryHeader, '0'))}
), [](const auto& info) { return std::string(info.param.name); });

mode_t ModeOf(const QString& path)
{
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 0777;
}

QString Folder(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("state/quellin"));
}

TEST(RecoverySession, SavesPrivatelyAndEndsCleanlyWithNothingLeft)
{
    QTemporaryDir dir;
    {
        RecoverySession session(Folder(dir));
        EXPECT_EQ(ModeOf(Folder(dir)), 0700u);
        session.save(Copy("secret"));
        EXPECT_EQ(ModeOf(session.copyPath()), 0600u);
        session.save(Copy("secret, edited"));
        session.endCleanly();
    }
    EXPECT_TRUE(QDir(Folder(dir)).isEmpty()) << QDir(Folder(dir)).entryList().join(' ').toStdString();
}

TEST(RecoverySession, CopiesOfRunningSessionsAreNoOrphans)
{
    QTemporaryDir dir;
    RecoverySession running(Folder(dir));
    running.save(Copy("still being edited"));
    RecoverySession other(Folder(dir));
    EXPECT_TRUE(other.orphans().empty());
    EXPECT_TRUE(running.orphans().empty()) << "its own copy is no orphan";
}

TEST(RecoverySession, ACopyLeftByAnEndedSessionIsOfferedUntilRemoved)
{
    QTemporaryDir dir;
    QString left;
    {
        RecoverySession crashed(Folder(dir));
        crashed.save(Copy("unsaved\r\n"));
        left = QFileInfo(crashed.copyPath()).completeBaseName();
    } // destroyed without ending cleanly, as in a crash
    RecoverySession next(Folder(dir));
    const std::vector<OrphanCopy> orphans = next.orphans();
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].session, left);
    ExpectSame(orphans[0].copy, Copy("unsaved\r\n"));
    next.removeOrphan(orphans[0].session);
    EXPECT_TRUE(next.orphans().empty());
    next.endCleanly();
    EXPECT_TRUE(QDir(Folder(dir)).isEmpty());
}

TEST(RecoverySession, ACopyThatIsNotACopyIsLeftAlone)
{
    QTemporaryDir dir;
    RecoverySession session(Folder(dir));
    QFile stray(Folder(dir) + QStringLiteral("/session-1-1-1.text"));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("not a copy");
    stray.close();
    EXPECT_TRUE(session.orphans().empty());
    EXPECT_TRUE(stray.exists());
}

TEST(RecoverySession, AProcessKilledWhileEditingLeavesItsCopy)
{
    QTemporaryDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RecoverySession session(Folder(dir));
        session.save(Copy("typed before the kill"));
        const char done = 1;
        if (::write(ready[1], &done, 1) != 1)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    char done = 0;
    ASSERT_EQ(::read(ready[0], &done, 1), 1);
    {
        RecoverySession meanwhile(Folder(dir));
        EXPECT_TRUE(meanwhile.orphans().empty()) << "the editing process still runs";
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    RecoverySession next(Folder(dir));
    std::vector<OrphanCopy> orphans = next.orphans();
    // The session made while the child ran ended without a copy: only the child's is offered.
    ASSERT_EQ(orphans.size(), 1u);
    ExpectSame(orphans[0].copy, Copy("typed before the kill"));
}

struct FolderCase {
    const char* name;
    const char* stateHome; // nullptr: unset
    QString expected;      // "~" stands for the home folder
};

std::ostream& operator<<(std::ostream& out, const FolderCase& c)
{
    return out << c.name;
}

class RecoveryFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(RecoveryFolder, FollowsTheStateHome)
{
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_STATE_HOME");
    if (GetParam().stateHome)
        qputenv("XDG_STATE_HOME", GetParam().stateHome);
    else
        qunsetenv("XDG_STATE_HOME");
    QString expected = GetParam().expected;
    expected.replace(QStringLiteral("~"), QDir::homePath());
    EXPECT_EQ(DefaultRecoveryFolder(), expected);
    if (wasSet)
        qputenv("XDG_STATE_HOME", saved);
    else
        qunsetenv("XDG_STATE_HOME");
}

INSTANTIATE_TEST_SUITE_P(Cases, RecoveryFolder, testing::Values(
    FolderCase{"Set", "/var/tmp/state", QStringLiteral("/var/tmp/state/quellin")},
    FolderCase{"Unset", nullptr, QStringLiteral("~/.local/state/quellin")},
    FolderCase{"Empty", "", QStringLiteral("~/.local/state/quellin")},
    FolderCase{"Relative", "state", QStringLiteral("~/.local/state/quellin")}
), [](const auto& info) { return std::string(info.param.name); });

} // namespace

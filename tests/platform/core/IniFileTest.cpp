#include "TempConfig.h"

#include "base/Exception.h"
#include "platform/core/ConfigFolder.h"
#include "platform/core/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::core::ConfigFolder;
using platform::core::IniFile;
using platform::core::ProfilePath;

namespace {

using Strings = std::vector<std::string>;

// A file as people leave them: CR LF breaks, comments, blank lines, a key before any section,
// a line that is not ini at all, odd spacing and no break after the last line.
const std::string kHandEdited =
    "; settings of my tools\r\n"
    "orphan=before any section\r\n"
    "\r\n"
    "[Data]\r\n"
    "URL = http://localhost/a.html  \r\n"
    "# a comment that looks like key=value\r\n"
    "this line is not ini\r\n"
    "Other=1\r\n"
    "\r\n"
    "; trailer of Data\r\n"
    "[  FTP-Accounts ]\r\n"
    "site1=ftp.localhost|user\r\n"
    "Site2=second";

TEST(IniFileLocation, BareNameOpensInConfigFolderAndPathsAreKept)
{
    TempConfig config;
    EXPECT_EQ(ConfigFolder(), QDir::cleanPath(config.path()));
    EXPECT_EQ(IniFile(QStringLiteral("Tarnby.ini")).path(), config.file(QStringLiteral("Tarnby.ini")));
    EXPECT_EQ(ProfilePath(QStringLiteral("sub/x.ini")), QStringLiteral("sub/x.ini"));
    EXPECT_EQ(ProfilePath(QStringLiteral("/etc/x.ini")), QStringLiteral("/etc/x.ini"));
}

TEST(IniFileLocation, RelativeOrMissingXdgConfigHomeFallsBackToHomeConfig)
{
    TempConfig config;
    qputenv("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(ConfigFolder(), QDir::homePath() + QStringLiteral("/.config"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigFolder(), QDir::homePath() + QStringLiteral("/.config"));
}

TEST(IniFileRead, MissingFileSectionOrKeyGivesTheDefault)
{
    TempConfig config;
    IniFile ini(QStringLiteral("none.ini"));
    EXPECT_EQ(ini.readString("Data", "URL", "dflt"), "dflt");
    EXPECT_EQ(ini.readString("Data", "URL"), "");
    EXPECT_TRUE(ini.sections().empty());
    EXPECT_TRUE(ini.sectionKeys("Data").empty());

    config.write(QStringLiteral("t.ini"), kHandEdited);
    IniFile t(QStringLiteral("t.ini"));
    EXPECT_EQ(t.readString("Nope", "URL", "d"), "d");
    EXPECT_EQ(t.readString("Data", "Nope", "d"), "d");
    // A key before the first section belongs to no section.
    EXPECT_EQ(t.readString("", "orphan", "d"), "d");
}

TEST(IniFileRead, NamesAreCaseInsensitiveAndBlanksAroundValuesAreNotPartOfThem)
{
    TempConfig config;
    config.write(QStringLiteral("t.ini"), kHandEdited);
    IniFile ini(QStringLiteral("t.ini"));
    EXPECT_EQ(ini.readString("data", "url"), "http://localhost/a.html");
    EXPECT_EQ(ini.readString("DATA", "Url"), "http://localhost/a.html");
    EXPECT_EQ(ini.readString("ftp-accounts", "SITE1"), "ftp.localhost|user");
    EXPECT_EQ(ini.readString("FTP-Accounts", "site2"), "second");
    // Comments never count as keys, even when they contain "=".
    EXPECT_EQ(ini.readString("Data", "# a comment that looks like key", "d"), "d");
}

TEST(IniFileRead, SectionsAndKeysListInFileOrderEachOnce)
{
    TempConfig config;
    config.write(QStringLiteral("t.ini"),
                 "[Zeta]\nb=1\na=2\nB=3\nc=\n[alpha]\nx=1\n[zeta]\nd=4\n[Mid]\n");
    IniFile ini(QStringLiteral("t.ini"));
    EXPECT_EQ(ini.sections(), (Strings{"Zeta", "alpha", "Mid"}));
    // The first of duplicate sections and keys is the one that counts.
    EXPECT_EQ(ini.sectionKeys("ZETA"), (Strings{"b", "a", "c"}));
    EXPECT_EQ(ini.readString("zeta", "b"), "1");
    EXPECT_EQ(ini.readString("zeta", "d", "absent"), "absent");
    EXPECT_EQ(ini.readString("zeta", "c", "dflt"), "");
    EXPECT_TRUE(ini.sectionKeys("Mid").empty());
}

TEST(IniFileRead, AByteOrderMarkBeforeTheFirstSectionIsIgnoredAndKept)
{
    TempConfig config;
    config.write(QStringLiteral("bom.ini"), "\xef\xbb\xbf[Data]\r\nURL=u\r\n");
    IniFile ini(QStringLiteral("bom.ini"));
    EXPECT_EQ(ini.readString("Data", "URL"), "u");
    EXPECT_EQ(ini.sections(), Strings{"Data"});
    ini.writeString("Data", "URL", "v");
    EXPECT_EQ(config.read(QStringLiteral("bom.ini")), "\xef\xbb\xbf[Data]\r\nURL=v\r\n");
}

TEST(IniFileRead, GarbageAndBinaryFilesGiveDefaultsWithoutFailing)
{
    TempConfig config;
    config.write(QStringLiteral("bin.ini"), std::string("\0\xff\xfe[\x01=\x02]]]\n===\n[\n\r\r\n", 20));
    IniFile ini(QStringLiteral("bin.ini"));
    EXPECT_EQ(ini.readString("Data", "URL", "d"), "d");
    EXPECT_NO_THROW(ini.sections());
}

TEST(IniFileWrite, ReplacingAValueChangesOnlyThatLine)
{
    TempConfig config;
    config.write(QStringLiteral("t.ini"), kHandEdited);
    IniFile ini(QStringLiteral("t.ini"));
    ini.writeString("data", "url", "http://localhost/b.html");
    std::string expected = kHandEdited;
    const std::string old = "URL = http://localhost/a.html  ";
    expected.replace(expected.find(old), old.size(), "URL = http://localhost/b.html");
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), expected);
    EXPECT_EQ(ini.readString("Data", "URL"), "http://localhost/b.html");
}

TEST(IniFileWrite, NewKeyGoesAfterTheSectionsLastKeyInTheFilesLineBreakStyle)
{
    TempConfig config;
    config.write(QStringLiteral("t.ini"), kHandEdited);
    IniFile ini(QStringLiteral("t.ini"));
    ini.writeString("Data", "Extra", "x y");
    std::string expected = kHandEdited;
    expected.insert(expected.find("Other=1\r\n") + 9, "Extra=x y\r\n");
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), expected);

    // The last line of the file had no break: it gets one, the new key follows it.
    ini.writeString("ftp-accounts", "site3", "third");
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), expected + "\r\nsite3=third\r\n");
    EXPECT_EQ(ini.sectionKeys("FTP-Accounts"), (Strings{"site1", "Site2", "site3"}));
}

TEST(IniFileWrite, NewSectionIsAppendedAfterABlankLine)
{
    TempConfig config;
    config.write(QStringLiteral("lf.ini"), "[A]\nk=v\n");
    IniFile ini(QStringLiteral("lf.ini"));
    ini.writeString("Data", "URL", "u");
    EXPECT_EQ(config.read(QStringLiteral("lf.ini")), "[A]\nk=v\n\n[Data]\nURL=u\n");
}

TEST(IniFileWrite, CreatesFileAndFolderAndLeavesNoTemporaryFiles)
{
    TempConfig config;
    IniFile ini(config.file(QStringLiteral("deep/er/new.ini")));
    ini.writeString("Data", "URL", "");
    EXPECT_EQ(config.read(QStringLiteral("deep/er/new.ini")), "[Data]\nURL=\n");
    EXPECT_EQ(ini.readString("Data", "URL", "d"), "");
    EXPECT_EQ(QDir(config.file(QStringLiteral("deep/er"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("new.ini")});
}

TEST(IniFileWrite, ValuesKeepTheirBytesAndLineBreaksAreRefused)
{
    TempConfig config;
    IniFile ini(QStringLiteral("t.ini"));
    const std::string bytes = "caf\xc3\xa9 \xe9 ;#=[x]";
    ini.writeString("Data", "URL", bytes);
    EXPECT_EQ(ini.readString("Data", "URL"), bytes);
    const std::string before = config.read(QStringLiteral("t.ini"));
    EXPECT_THROW(ini.writeString("Data", "URL", "two\r\nlines"), std::invalid_argument);
    EXPECT_THROW(ini.writeString("Data", "a=b", "v"), std::invalid_argument);
    EXPECT_THROW(ini.writeString("", "k", "v"), std::invalid_argument);
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), before);
}

TEST(IniFileWrite, DeletingKeysAndSectionsKeepsTheRest)
{
    TempConfig config;
    config.write(QStringLiteral("t.ini"), "; c\n[A]\nk=1\nj=2\n[B]\nx=1\n");
    IniFile ini(QStringLiteral("t.ini"));
    ini.deleteKey("a", "K");
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), "; c\n[A]\nj=2\n[B]\nx=1\n");
    ini.deleteSection("A");
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), "; c\n[B]\nx=1\n");
    ini.deleteSection("missing");
    ini.deleteKey("B", "missing");
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), "; c\n[B]\nx=1\n");
}

TEST(IniFileWrite, UnwritableFolderIsReportedNamingTheFile)
{
    TempConfig config;
    // A plain file where the folder should be stops even root.
    config.write(QStringLiteral("blocker"), "x");
    IniFile ini(config.file(QStringLiteral("blocker/Tarnby.ini")));
    try {
        ini.writeString("Data", "URL", "u");
        FAIL() << "no error";
    } catch (const base::EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("blocker"), std::string::npos) << e.what();
    }
    EXPECT_EQ(config.read(QStringLiteral("blocker")), "x");
    EXPECT_EQ(ini.readString("Data", "URL", "d"), "d");
}

TEST(IniFileWrite, AFileThatExistsButCannotBeReadIsNeverOverwritten)
{
    TempConfig config;
    QDir(config.path()).mkdir(QStringLiteral("Tarnby.ini"));
    config.write(QStringLiteral("Tarnby.ini/inside"), "keep");
    IniFile ini(QStringLiteral("Tarnby.ini"));
    EXPECT_EQ(ini.readString("Data", "URL", "d"), "d");
    EXPECT_THROW(ini.writeString("Data", "URL", "u"), base::EFileError);
    EXPECT_EQ(config.read(QStringLiteral("Tarnby.ini/inside")), "keep");
}

} // namespace

#include "FileSizeLimit.h"

namespace {

TEST(IniFileWrite, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile)
{
    TempConfig config;
    std::string big = "; a long comment to make the file large\n[Data]\nURL=old\n";
    big += std::string(4000, ';') + "\n";
    config.write(QStringLiteral("t.ini"), big);
    IniFile ini(QStringLiteral("t.ini"));
    {
        // The rewritten file cannot grow past 1000 bytes: the write fails half way.
        FileSizeLimit limit(1000);
        EXPECT_THROW(ini.writeString("Data", "URL", "new"), base::EFileError);
    }
    EXPECT_EQ(config.read(QStringLiteral("t.ini")), big);
    EXPECT_EQ(config.entries(), QStringList{QStringLiteral("t.ini")});
    ini.writeString("Data", "URL", "new");
    EXPECT_EQ(ini.readString("Data", "URL"), "new");
}

} // namespace

namespace {

TEST(IniFileWrite, ASymlinkedSettingsFileStaysALinkAndItsTargetIsWritten)
{
    // Settings kept in a dotfiles folder and linked into the config folder.
    TempConfig config;
    QDir(config.path()).mkdir(QStringLiteral("dotfiles"));
    config.write(QStringLiteral("dotfiles/Tarnby.ini"), "[Data]\nURL=old\n");
    QFile::link(config.file(QStringLiteral("dotfiles/Tarnby.ini")), config.file(QStringLiteral("Tarnby.ini")));
    IniFile ini(QStringLiteral("Tarnby.ini"));
    ini.writeString("Data", "URL", "new");
    EXPECT_TRUE(QFileInfo(config.file(QStringLiteral("Tarnby.ini"))).isSymLink());
    EXPECT_EQ(config.read(QStringLiteral("dotfiles/Tarnby.ini")), "[Data]\nURL=new\n");
}

} // namespace

// What a server says about one file: FEAT lists, MLST fact lines, octal modes and the permission
// column of a STAT listing. Anything not exactly right is left out, never guessed.
#include "tcpip/FtpFacts.h"

#include <gtest/gtest.h>

namespace {

using tcpip::FtpFacts;

TEST(FtpFeatures, MlstAndItsFactsAreFoundAmongOtherFeatures)
{
    const auto features = tcpip::ParseFeatures(
        { "211-Features:", " MDTM", " MLST Type*;Size*;Modify*;UNIX.mode;perm;", " SIZE", "211 End" });
    EXPECT_TRUE(features.mlst);
    EXPECT_TRUE(features.offers("unix.mode"));
    EXPECT_FALSE(features.selects("UNIX.mode"));
    EXPECT_TRUE(features.selects("size"));
    EXPECT_FALSE(features.offers("unique"));
}

TEST(FtpFeatures, NothingIsOfferedByOneLineRepliesLookalikesOrEndlessLists)
{
    EXPECT_FALSE(tcpip::ParseFeatures({ "211 MLST type*;" }).mlst);
    EXPECT_FALSE(tcpip::ParseFeatures({ "211-x", " MLSTX size*;", " MLSD", "211 End" }).mlst);
    const auto huge = tcpip::ParseFeatures({ "211-x", " MLST " + std::string(1 << 20, ';'), "211 End" });
    EXPECT_TRUE(huge.mlst);
    EXPECT_TRUE(huge.offeredFacts.empty());
}

struct FactsCase {
    const char* label;
    std::string line;
    std::optional<std::int64_t> size;
    std::optional<std::int64_t> modified;
    std::optional<int> permissions;
};

class MlstFacts : public ::testing::TestWithParam<FactsCase> {};

TEST_P(MlstFacts, ValuesAreTakenOnlyWhenExact)
{
    const FtpFacts facts = tcpip::ParseMlstFacts(GetParam().line);
    EXPECT_EQ(facts.size, GetParam().size);
    EXPECT_EQ(facts.modified, GetParam().modified);
    EXPECT_EQ(facts.permissions, GetParam().permissions);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MlstFacts,
    ::testing::Values(
        FactsCase{ "All", " type=file;size=7;modify=20200913122640;UNIX.mode=0640; a b", 7, 1600000000, 0640 },
        FactsCase{ "NoLeadingBlankAnyCase", "SIZE=7;MODIFY=20200913122640;unix.MODE=640; x", 7, 1600000000, 0640 },
        FactsCase{ "NameLooksLikeFacts", " type=file; size=9;modify=1;", std::nullopt, std::nullopt, std::nullopt },
        FactsCase{ "SignedSize", " size=-7;modify=2020; x", std::nullopt, std::nullopt, std::nullopt },
        FactsCase{ "HugeSize", " size=99999999999999999999; x", std::nullopt, std::nullopt, std::nullopt },
        FactsCase{ "ModeInPythonsOctal", " modify=20200913122640;size=3;type=file;unix.mode=0o644; /a", 3, 1600000000, 0644 },
        FactsCase{ "ModeNotOctal", " UNIX.mode=0689; x", std::nullopt, std::nullopt, std::nullopt },
        FactsCase{ "ModeTooLarge", " UNIX.mode=17777; x", std::nullopt, std::nullopt, std::nullopt },
        FactsCase{ "ControlCharacters", " size=7\x1B;modify=2020\r0913122640; x", std::nullopt, std::nullopt, std::nullopt },
        FactsCase{ "NoEquals", " size;modify; x", std::nullopt, std::nullopt, std::nullopt },
        FactsCase{ "Empty", "", std::nullopt, std::nullopt, std::nullopt }),
    [](const auto& info) { return std::string(info.param.label); });

TEST(MlstFacts, EndlessFactListsStayLinear)
{
    std::string line = " ";
    for (int i = 0; i < 200000; ++i)
        line += "x=;";
    line += "size=5; x";
    EXPECT_EQ(tcpip::ParseMlstFacts(line).size, 5);
    EXPECT_EQ(tcpip::MlstFactLine({ "250-Listing", " size=5; x", "250 End" }), " size=5; x");
    EXPECT_EQ(tcpip::MlstFactLine({ "250 Nothing" }), std::nullopt);
}

struct PermissionsCase {
    const char* label;
    std::string line;
    std::optional<int> mode;
};

class UnixPermissions : public ::testing::TestWithParam<PermissionsCase> {};

TEST_P(UnixPermissions, ColumnBecomesModeBits)
{
    EXPECT_EQ(tcpip::ParseUnixPermissions(GetParam().line), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UnixPermissions,
    ::testing::Values(PermissionsCase{ "Plain", "-rw-r----- 1 a a 7 Sep 13 12:26 x", 0640 },
                      PermissionsCase{ "Executable", "-rwxr-xr-x 1 a a 7 Sep 13 12:26 x", 0755 },
                      PermissionsCase{ "SetIdAndSticky", "-rwsr-Sr-t 1 a a 7 Sep 13 12:26 x", 07745 },
                      PermissionsCase{ "StickyNoExecute", "-rw-r--r-T 1 a a 7 Sep 13 12:26 x", 01644 },
                      PermissionsCase{ "AclMarker", "-rw-r-----+ 1 a a 7 Sep 13 12:26 x", 0640 },
                      PermissionsCase{ "Folder", "drwxr-xr-x 2 a a 7 Sep 13 12:26 x", std::nullopt },
                      PermissionsCase{ "Link", "lrwxrwxrwx 1 a a 7 Sep 13 12:26 x -> y", std::nullopt },
                      PermissionsCase{ "Junk", "-rw-q----- 1 a a 7 Sep 13 12:26 x", std::nullopt },
                      PermissionsCase{ "Short", "-rw-r--", std::nullopt },
                      PermissionsCase{ "NoSeparator", "-rw-r-----x", std::nullopt }),
    [](const auto& info) { return std::string(info.param.label); });

TEST(StatFacts, ExactlyOneFileLineIsNeeded)
{
    const auto permissions = [](const std::vector<std::string>& lines) { return tcpip::ParseStatFacts(lines).permissions; };
    EXPECT_EQ(permissions({ "213-Status:", "-rw------- 1 a a 1 Sep 1 2020 x", "213 End" }), 0600);
    EXPECT_EQ(permissions({ "213-Status:", "213--rw------- 1 a a 1 Sep 1 2020 x", "213 End" }), 0600);
    EXPECT_EQ(permissions({ "213-Status:", " -rw------- 1 a a 1 Sep 1 2020 x", "213 End" }), 0600);
    EXPECT_EQ(permissions({ "213-Status:", "total 0", "213 End" }), std::nullopt);
    EXPECT_EQ(permissions({ "213 -rw------- 1 a a 1 Sep 1 2020 x" }), std::nullopt);
    const std::vector<std::string> many(100000, "-rw-r--r-- 1 a a 1 Sep 1 2020 x");
    EXPECT_EQ(permissions(many), std::nullopt);
}

// The size column is found by the month, day and time that follow it, so a missing group or
// a blank inside the owner does not shift it; anything else is no size.
TEST(StatFacts, SizeComesFromTheColumnBeforeTheDate)
{
    const auto size = [](const std::string& line) { return tcpip::ParseStatFacts({ "213-Status:", line, "213 End" }).size; };
    EXPECT_EQ(size("-rw-r--r--    1 1003     1003     20971474 Dec 09 04:56 twenty.html"), 20971474);
    EXPECT_EQ(size("-rw-r--r-- 1 owner 5000000000 Sep 1 2020 no group"), 5000000000);
    EXPECT_EQ(size("-rw-r--r-- 1 web master staff 12 Sep 1 12:26 blank in owner"), 12);
    EXPECT_EQ(size("-rw-r--r-- 1 a a 99999999999999999999999 Sep 1 2020 x"), std::nullopt);
    EXPECT_EQ(size("-rw-r--r-- 1 a a 12\x01 Sep 1 2020 x"), std::nullopt);
    EXPECT_EQ(size("-rw-r--r-- 1 a a 12 Sep 1"), std::nullopt);
    EXPECT_EQ(size("-rw-r--r-- " + std::string(1 << 20, '7') + " Sep 1 2020 x"), std::nullopt);
}

} // namespace

// Snippet texts read from QUELLIN.INI in the config folder: which lines a section gives.
#include "TempConfig.h"
#include "quellin/HtmlMenuTree.h"
#include "quellin/HtmlSnippets.h"

#include <gtest/gtest.h>

namespace {

struct SnippetCase {
    const char* name;
    const char* section;
    QString expected;
};

const char* const kIni =
    "[FTP-Accounts]\r\n"
    "1=user:secret@example.org/pub\r\n"
    "[Title]\r\n"
    "2=<title>\r\n"
    "1=</title>\r\n"
    "[Ampersand &&]\r\n"
    "1=&amp;\r\n"
    "[Empty]\r\n"
    "; nothing here\r\n"
    "[Umlaut ä]\r\n"
    "1=&auml;\r\n"
    "[Latin]\r\n"
    "1=M\xfcller\r\n"
    "[Blank value]\r\n"
    "1=<p>\r\n"
    "2=\r\n"
    "3=</p>\r\n";

const SnippetCase kCases[] = {
    {"KeysInFileOrderNotByName", "Title", QStringLiteral("<title>\n</title>\n")},
    {"DoubledAmpersandNamesTheSection", "Ampersand &&", QStringLiteral("&amp;\n")},
    {"SectionNameMatchesRegardlessOfCase", "title", QStringLiteral("<title>\n</title>\n")},
    {"MissingSectionGivesNothing", "Nonbreaking space", QString()},
    {"SectionWithoutKeysGivesNothing", "Empty", QString()},
    {"NonAsciiSectionName", "Umlaut ä", QStringLiteral("&auml;\n")},
    {"ValueNotUtf8IsWindows1252", "Latin", QStringLiteral("Müller\n")},
    {"EmptyValueGivesAnEmptyLine", "Blank value", QStringLiteral("<p>\n\n</p>\n")},
};

class SnippetTexts : public testing::TestWithParam<SnippetCase> {};

TEST_P(SnippetTexts, GiveEachValueAndALineFeed)
{
    TempConfig config;
    config.write(QLatin1String(quellin::kSettingsFile), kIni);
    const SnippetCase& c = GetParam();
    EXPECT_EQ(quellin::SnippetText(platform::core::IniFile(QLatin1String(quellin::kSettingsFile)),
                                   QString::fromUtf8(c.section)),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(Sections, SnippetTexts, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SnippetText, ASectionOfMoreThan256KeysGivesEveryLine)
{
    TempConfig config;
    QString ini = QStringLiteral("[Long]\n");
    QString expected;
    for (int i = 0; i < 300; ++i) {
        ini += QStringLiteral("k%1=line %1\n").arg(i);
        expected += QStringLiteral("line %1\n").arg(i);
    }
    config.write(QLatin1String(quellin::kSettingsFile), ini.toStdString());
    EXPECT_EQ(quellin::SnippetText(platform::core::IniFile(QLatin1String(quellin::kSettingsFile)), QStringLiteral("Long")),
              expected);
}

TEST(SnippetText, NoSettingsFileGivesNothing)
{
    TempConfig config;
    EXPECT_EQ(quellin::SnippetText(platform::core::IniFile(QLatin1String(quellin::kSettingsFile)), QStringLiteral("Title")),
              QString());
}

} // namespace

namespace {

void collectSnippetCaptions(const std::vector<quellin::HtmlMenuItem>& items, QStringList& captions)
{
    for (const quellin::HtmlMenuItem& item : items) {
        if (item.kind == quellin::HtmlMenuItem::Kind::Snippet)
            captions << item.caption;
        collectSnippetCaptions(item.children, captions);
    }
}

TEST(ShippedSettings, HaveASnippetForEveryItemOfTheMenu)
{
    const platform::core::IniFile shipped(QStringLiteral(TEST_DATA_DIR "/../../examples/QUELLIN.INI"));
    QStringList captions;
    collectSnippetCaptions(quellin::HtmlMenuTree(), captions);
    ASSERT_EQ(captions.size(), 68);
    for (const QString& caption : captions)
        EXPECT_FALSE(quellin::SnippetText(shipped, caption).isEmpty()) << caption.toStdString();
}

} // namespace

// The HTML parser links against html5lib, the WHATWG parser in Python, with the same rules for
// picking links (oracle.py): thousands of generated pages and the real pages in
// tests/data/tarnby/links. Every line must be identical.
#include "base/Streams.h"
#include "tarnby/PageLinks.h"
#include "tarnby/PaneText.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kOracle = QStringLiteral(TARNBY_LINKS_ORACLE);

struct Page {
    std::string path;
    std::string url;
};

QString RunOracle(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess oracle;
    oracle.start(kPython, QStringList{kOracle} + arguments);
    oracle.write(input);
    oracle.closeWriteChannel();
    oracle.waitForFinished(-1);
    EXPECT_EQ(oracle.exitCode(), 0) << oracle.readAllStandardError().toStdString();
    return QString::fromUtf8(oracle.readAllStandardOutput());
}

std::vector<std::vector<std::string>> OracleLines(const std::vector<Page>& pages)
{
    QJsonArray manifest;
    for (const Page& page : pages)
        manifest.append(QJsonObject{{"page", QString::fromStdString(page.path)},
                                    {"url", QString::fromStdString(page.url)}});
    const QJsonArray answer = QJsonDocument::fromJson(RunOracle({"links"}, QJsonDocument(manifest).toJson()).toUtf8()).array();
    std::vector<std::vector<std::string>> lines;
    for (const auto& pageLines : answer) {
        lines.emplace_back();
        for (const auto& line : pageLines.toArray())
            lines.back().push_back(line.toString().toStdString());
    }
    return lines;
}

void ExpectSameLinks(const std::vector<Page>& pages)
{
    const auto expected = OracleLines(pages);
    ASSERT_EQ(expected.size(), pages.size());
    int failures = 0;
    for (std::size_t i = 0; i < pages.size() && failures < 5; ++i) {
        const std::string bytes = base::ReadWholeFile(pages[i].path);
        const auto lines = tarnby::SplitPaneLines(tarnby::LinkLines(tarnby::ExtractLinks(bytes, pages[i].url)));
        if (lines != expected[i]) {
            ++failures;
            ADD_FAILURE() << pages[i].path << " (page address \"" << pages[i].url << "\"):\n" << bytes;
            EXPECT_EQ(lines, expected[i]);
        }
    }
}

struct GeneratedCorpus {
    const char* command; // of oracle.py
    int pages;
    int seed;
};

class GeneratedPages : public testing::TestWithParam<GeneratedCorpus> {};

TEST_P(GeneratedPages, GiveTheLinesHtml5libGives)
{
    const GeneratedCorpus corpus = GetParam();
    QTemporaryDir folder;
    RunOracle({corpus.command, QString::number(corpus.pages), QString::number(corpus.seed), folder.path()});
    QFile manifestFile(folder.filePath("manifest.json"));
    ASSERT_TRUE(manifestFile.open(QIODevice::ReadOnly));
    std::vector<Page> pages;
    for (const auto& entry : QJsonDocument::fromJson(manifestFile.readAll()).array())
        pages.push_back({entry.toObject()["page"].toString().toStdString(), entry.toObject()["url"].toString().toStdString()});
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(corpus.pages));
    ExpectSameLinks(pages);
}

// Ordinary pages, and pages full of what only a full tree construction gets right.
INSTANTIATE_TEST_SUITE_P(PageLinksAgainstHtml5lib, GeneratedPages,
                         testing::Values(GeneratedCorpus{"generate", 3000, 14}, GeneratedCorpus{"generate-hard", 2000, 15}));

TEST(PageLinksAgainstHtml5lib, RealPagesAsFilesAndFromAnAddress)
{
    const QDir corpus(QStringLiteral(TEST_DATA_DIR "/tarnby/links"));
    std::vector<Page> pages;
    for (const QString& name : corpus.entryList({"*.html"}, QDir::Files)) {
        const std::string path = corpus.filePath(name).toStdString();
        pages.push_back({path, ""});
        pages.push_back({path, "https://docs.example.org/manual/" + name.toStdString()});
    }
    ASSERT_GE(pages.size(), 6u);
    ExpectSameLinks(pages);
}

} // namespace

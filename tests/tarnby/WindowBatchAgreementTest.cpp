// The window and the batch mode must give the same file for the same input: start-up loading,
// the three passes from the menu and Save as text against "tarnby --links -o". The inputs are
// the awkward ones: NUL bytes, bytes that are not UTF-8, bare CR and LF breaks, empty files,
// files without any "<".
#include "WindowFixture.h"

#include "base/Streams.h"
#include "tarnby/BatchMode.h"

#include <QAction>
#include <random>

namespace {

std::string randomPage(std::mt19937& rng)
{
    static const std::vector<std::string> pieces = {
        "<a href=\"p.html\">", "<A HREF=\"Q.HTML\">", "</a>", "<b>", "</b>", "<font color=\"#f00\">",
        "</font>", "Text", " more ", "&nbsp;", "|", "\t", "\r\n", "\n", "\r", "<img src=\"i.gif\">",
        "<a href=\"#top\">", "<a href=x.html>", "onmouseover", "target=\"_blank\">", std::string("\0", 1),
        "\xe9\xff", "\xc3\xa9", "<", ">", "\"", "<!-- c -->", "<a href=\"target.html\">"};
    std::string page;
    const int n = static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i)
        page += pieces[rng() % pieces.size()];
    return page;
}

std::string batchOutput(const std::vector<std::string>& files, const std::string& out)
{
    std::vector<std::string> args = {"tarnby", "--links", "-o", out};
    args.insert(args.end(), files.begin(), files.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(tarnby::RunBatch(static_cast<int>(args.size()), argv.data()), 0);
    return base::ReadWholeFile(out);
}

TEST_F(WindowTest, WindowAndBatchModeWriteTheSameFileForTheSameInput)
{
    std::mt19937 rng(1208);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> inputs;
        const int fileCount = 1 + static_cast<int>(rng() % 3);
        for (int f = 0; f < fileCount; ++f)
            inputs.push_back(page(QStringLiteral("in%1-%2.htm").arg(round).arg(f), randomPage(rng)));
        const std::string fromBatch =
            batchOutput(inputs, files.filePath(QStringLiteral("batch%1.txt").arg(round)).toStdString());

        open();
        form->FormCreate(inputs);
        form->MenuProcess->trigger();
        form->MenuRemoveLinks->trigger();
        form->MenuRemoveTags->trigger();
        const QString saved = files.filePath(QStringLiteral("window%1.txt").arg(round));
        dialogs.answerSave(saved, 0);
        form->Save1Click();
        ASSERT_EQ(base::ReadWholeFile(saved.toStdString()), fromBatch) << "round " << round;
    }
}

} // namespace

// Files in and out of the window: start-up with files, Open files, Save, Print, Exit.
#include "RtfReader.h"
#include "WindowFixture.h"

#include "base/Exception.h"
#include "base/Streams.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QPrinter>

using namespace platform::gui;

namespace {

const char* const kPageA = "<HTML><A HREF=\"X.HTML\">Caf\xe9</A>\r\nSecond LINE\r\n";
const char* const kPageB = "<p>B Page</p>";

TEST_F(WindowTest, StartUpLoadsTheCommandLineFilesLowerCasedWithAStatusBeforeEach)
{
    const std::string a = page(QStringLiteral("a.htm"), kPageA);
    const std::string b = page(QStringLiteral("b.htm"), kPageB);
    form->FormCreate({a, b});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(paints->texts, (QStringList{"Ready", " Files Loading...  1", " Files Loading...  2", "Ready"}));
    EXPECT_EQ(memo1Lines(), (Lines{"<html><a href=\"x.html\">caf\xe9</a>", "second line", "<p>b page</p>"}));
    EXPECT_EQ(form->Memo2->lineCount(), 0);
    EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("Ready"));
}

TEST_F(WindowTest, StartUpWithoutFilesLeavesThePaneEmpty)
{
    form->FormCreate({});
    EXPECT_EQ(memo1(), "");
    EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("Ready"));
}

TEST_F(WindowTest, AnUnreadableStartUpFileIsAFileErrorNamingItAndTheWindowGoesOn)
{
    const std::string a = page(QStringLiteral("a.htm"), kPageA);
    const std::string missing = files.filePath(QStringLiteral("Missing Page.htm")).toStdString();
    try {
        form->FormCreate({a, missing});
        FAIL() << "no file error";
    } catch (const base::EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("Missing Page.htm"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(memo1(), "");
    EXPECT_EQ(paints->texts.back(), QStringLiteral("Ready"));
    form->Memo1->setText("<a href=\"p.html\">text here</a>");
    form->MenuProcess->trigger();
    EXPECT_EQ(memo1Lines(), Lines{"<a href=\"p.html\">|text here"});
}

TEST_F(WindowTest, OpenFilesAsksForWebFilesAndPrecedesEachFileWithItsFullName)
{
    const std::string a = page(QStringLiteral("A.htm"), kPageA);
    const std::string b = page(QStringLiteral("B.htm"), kPageB);
    form->Memo1->setText("old text");
    form->Process->setEnabled(false);
    dialogs.answerOpen({QString::fromStdString(a), QString::fromStdString(b)});
    form->MenuOpen->trigger();

    const OpenFileRequest& asked = dialogs.last().open;
    ASSERT_EQ(asked.filters.size(), 3u);
    EXPECT_EQ(asked.filters[0].description, QStringLiteral("Web files (*.htm;*.html;*.asp)"));
    EXPECT_EQ(asked.filters[0].patterns, (QStringList{"*.htm", "*.html", "*.asp"}));
    EXPECT_EQ(asked.filters[1].description, QStringLiteral("Text Files (*.txt)"));
    EXPECT_EQ(asked.filters[2].description, QStringLiteral("All files (*.*)"));
    EXPECT_EQ(asked.filterIndex, 0);
    EXPECT_TRUE(asked.multiSelect);
    EXPECT_TRUE(asked.mustExist);

    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return s;
    };
    EXPECT_EQ(memo1Lines(), (Lines{lower(a), "<html><a href=\"x.html\">caf\xe9</a>", "second line",
                                   lower(b), "<p>b page</p>"}));
    EXPECT_TRUE(form->Process->isEnabled());
    EXPECT_TRUE(paints->texts.contains(QStringLiteral("Loading File(s)...  1")));
    EXPECT_TRUE(paints->texts.contains(QStringLiteral("Loading File(s)...  2")));
    EXPECT_EQ(paints->texts.back(), QStringLiteral("Ready"));
}

TEST_F(WindowTest, CancelledOpenStillEmptiesThePaneAndReArmsPassOne)
{
    form->Memo1->setText("old text");
    form->Process->setEnabled(false);
    dialogs.answerOpen({});
    form->BatchConcatenate1Click();
    EXPECT_EQ(memo1(), "");
    EXPECT_TRUE(form->Process->isEnabled());
    EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("Ready"));
}

TEST_F(WindowTest, AFileThatVanishedBeforeOpenIsAFileErrorNamingIt)
{
    const QString gone = files.filePath(QStringLiteral("gone.htm"));
    dialogs.answerOpen({gone});
    try {
        form->BatchConcatenate1Click();
        FAIL() << "no file error";
    } catch (const base::EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("gone.htm"), std::string::npos) << e.what();
    }
    EXPECT_EQ(memo1(), "");
    EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("Ready"));
}

TEST_F(WindowTest, SaveWritesPlainTextUnderTheNameAsTyped)
{
    form->Memo1->setText("Line One\r\n\xe9t\xe9");
    const QString target = files.filePath(QStringLiteral("links"));
    dialogs.answerSave(target, 0);
    form->Save1->trigger();
    const SaveFileRequest& asked = dialogs.last().save;
    ASSERT_EQ(asked.filters.size(), 2u);
    EXPECT_EQ(asked.filters[0].description, QStringLiteral("Plain Text or HTML"));
    EXPECT_EQ(asked.filters[1].description, QStringLiteral("RTF File - Rich Text Format"));
    EXPECT_EQ(asked.filters[1].patterns, QStringList{"*.*"});
    EXPECT_EQ(asked.fileName, form->documentName());
    EXPECT_EQ(base::ReadWholeFile(target.toStdString()), "Line One\r\n\xe9t\xe9\r\n");
    EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral(".txt")));
}

TEST_F(WindowTest, SaveWritesRtfWhenTheRtfFilterIsChosen)
{
    form->Memo1->setText("page1.html|First {link}\r\npage2.html|caf\xe9 \\ x");
    const QString target = files.filePath(QStringLiteral("links.rtf"));
    dialogs.answerSave(target, 1);
    form->Save1Click();
    const std::string rtf = base::ReadWholeFile(target.toStdString());
    const auto doc = rtftest::ReadRtf(rtf);
    EXPECT_EQ(doc.lines(), (QStringList{"page1.html|First {link}", QStringLiteral("page2.html|caf\u00e9 \\ x")}));
    ASSERT_FALSE(doc.paragraphs[0].empty());
    EXPECT_EQ(doc.paragraphs[0][0].font, form->Memo1->font().family());
}

TEST_F(WindowTest, CancelledSaveWritesNothing)
{
    dialogs.answerSave(QString());
    form->Save1Click();
    EXPECT_TRUE(QDir(files.path()).isEmpty());
}

TEST_F(WindowTest, ExitAsksAndYesSavesThenCloses)
{
    form->Memo1->setText("kept");
    const QString target = files.filePath(QStringLiteral("exit.txt"));
    dialogs.answerMessage(Yes);
    dialogs.answerSave(target, 0);
    form->Exit1->trigger();
    const MessageRequest& box = dialogs.asked().front().message;
    EXPECT_EQ(box.caption, QStringLiteral("Confimation"));
    EXPECT_EQ(box.text, QStringLiteral("Save To a File?"));
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_EQ(box.buttons, MessageButtons(Yes | No | Cancel));
    EXPECT_EQ(base::ReadWholeFile(target.toStdString()), "kept\r\n");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowTest, ExitYesThenCancelInTheSaveDialogStillCloses)
{
    dialogs.answerMessage(Yes);
    dialogs.answerSave(QString());
    form->Exit1Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(QDir(files.path()).isEmpty());
}

TEST_F(WindowTest, ExitNoClosesWithoutSavingAndCancelStays)
{
    dialogs.answerMessage(Cancel);
    form->Exit1Click();
    EXPECT_TRUE(form->isVisible());
    dialogs.answerMessage(No);
    form->Exit1Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(dialogs.asked().size(), 2u);
}

TEST_F(WindowTest, ClosingByOtherMeansAsksNothing)
{
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs.asked().empty());
}

TEST_F(WindowTest, PrintGoesToThePrinterChosenInThePrintDialog)
{
    form->Memo1->setText("page1.html|First link\r\npage2.html|Second link");
    const QString pdf = files.filePath(QStringLiteral("print.pdf"));
    dialogs.answerPrinter(true, [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    });
    form->Print1->trigger();
    const std::string bytes = base::ReadWholeFile(pdf.toStdString());
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");

    dialogs.answerPrinter(false);
    form->Print1Click();
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files).size(), 1);
}

} // namespace

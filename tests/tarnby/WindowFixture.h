#pragma once
// A Tarnby window under test: its own config folder, scripted dialogs, a recording URL opener,
// a folder for page files, and a record of every status text the status bar painted.
#include "TempConfig.h"

#include "platform/gui/RichEdit.h"
#include "platform/gui/ScriptedDialogs.h"
#include "platform/gui/Shell.h"
#include "platform/gui/ShowWindow.h"
#include "tarnby/httptst1.h"

#include <QEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

// Records the status bar's text each time it is painted: what a person could have seen.
class StatusPaints : public QObject {
public:
    explicit StatusPaints(QStatusBar* bar) : bar_(bar) { bar->installEventFilter(this); }
    QStringList texts;
    void clear() { texts.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == bar_ && event->type() == QEvent::Paint
            && (texts.isEmpty() || texts.back() != bar_->currentMessage()))
            texts << bar_->currentMessage();
        return false;
    }

private:
    QStatusBar* bar_;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }

    void TearDown() override
    {
        EXPECT_EQ(dialogs.unanswered(), 0) << "a dialog was asked that the test did not answer";
        EXPECT_EQ(dialogs.pending(), 0u) << "an answer was never asked for";
    }

    // A new window (a restart of the program), shown as start-up shows it.
    void open()
    {
        paints.reset();
        form = std::make_unique<tarnby::THttpTestForm>();
        paints = std::make_unique<StatusPaints>(form->StatusBar1);
        platform::gui::ShowAndWaitUntilExposed(form.get());
        paints->clear();
    }

    std::string page(const QString& name, std::string_view bytes) const
    {
        const QString path = files.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes.data(), static_cast<qsizetype>(bytes.size()));
        return path.toStdString();
    }

    std::string memo1() const { return form->Memo1->text(); }

    std::vector<std::string> memo1Lines() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < form->Memo1->lineCount(); ++i)
            lines.push_back(form->Memo1->line(i));
        return lines;
    }

    TempConfig config;
    QTemporaryDir files;
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs dialogScope{dialogs};
    std::vector<QUrl> opened;
    bool browserStarts = true;
    platform::gui::ScopedUrlOpener urlScope{[this](const QUrl& url) {
        opened.push_back(url);
        return browserStarts;
    }};
    std::unique_ptr<tarnby::THttpTestForm> form;
    std::unique_ptr<StatusPaints> paints;
};

using Lines = std::vector<std::string>;

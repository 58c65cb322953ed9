// Recovery copies through the main window: a modified text is copied after the idle time and
// the copy goes once the text is saved; a copy a crash left is offered at start-up, restored
// byte for byte with its origin so that a write-back goes to the same place on a scripted
// server, or discarded when the user says No.
#include "ScriptedServer.h"
#include "WindowFixture.h"
#include "WriteBackScript.h"

#include "quellin/RecoveryHook.h"
#include "richprint/TRECode.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTest>

using namespace testservers;
using namespace testservers::script;
using namespace std::chrono_literals;
using namespace quellintest;
using tcpiptest::join;

namespace {

quellin::RecoveryCopy Copy(quellin::RecoveryOrigin origin, const std::string& lineBreak, bool finalBreak,
                           platform::core::TextEncoding encoding, const std::string& bytes)
{
    quellin::RecoveryCopy copy;
    copy.origin = std::move(origin);
    copy.shape.lineBreak = lineBreak;
    copy.shape.addFinalBreak = finalBreak;
    copy.encoding = encoding;
    copy.bytes = bytes;
    return copy;
}

class Recovery : public QuellinWindow {
protected:
    QString folder() const { return state.filePath(QStringLiteral("quellin")); }
    // The files of the recovery folder other than the sessions' locks.
    QStringList copies() const
    {
        return QDir(folder()).entryList({QStringLiteral("*.text")}, QDir::Files);
    }
    // A copy as a Quellin that was killed leaves it.
    void leaveCopy(const quellin::RecoveryCopy& copy)
    {
        quellin::RecoverySession crashed(folder());
        crashed.save(copy);
    }
    void startHook()
    {
        session = std::make_unique<quellin::RecoverySession>(folder());
        hook = std::make_unique<quellin::RecoveryHook>(*form, *session, 50ms);
    }
    void TearDown() override
    {
        if (hook)
            hook->finishWork();
        hook.reset();
        session.reset();
        QuellinWindow::TearDown();
    }

    QTemporaryDir state;
    std::unique_ptr<quellin::RecoverySession> session;
    std::unique_ptr<quellin::RecoveryHook> hook;
};

TEST_F(Recovery, AModifiedTextIsCopiedWhenTypingPausesAndTheCopyGoesWhenItIsSaved)
{
    open();
    startHook();
    form->EditTempName->setText(QStringLiteral("notes.htm"));
    form->Memo->setText("");
    form->Memo->setModified(false);
    form->Memo->setFocus();
    QTest::keyClicks(form->Memo, QStringLiteral("typed"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !copies().isEmpty(); }, 5000));
    QFile file(session->copyPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    const std::optional<quellin::RecoveryCopy> copy = quellin::ParseRecoveryCopy(saved.toStdString());
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->bytes, "typed\r\n");
    EXPECT_EQ(copy->origin.name, "notes.htm");
    EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther), 0);

    form->Memo->setModified(false); // as a write-back or a Save leaves it
    hook->finishWork();
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(Recovery, NothingIsCopiedWhileTheTextIsUnmodified)
{
    open();
    startHook();
    form->Memo->setText("loaded\r\n");
    form->Memo->setModified(false);
    QTest::qWait(200);
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(Recovery, ACopyDeclinedAtStartIsDiscarded)
{
    leaveCopy(Copy({"u", "127.0.0.1", 21, "/www", "p.htm"}, "\n", true, platform::core::TextEncoding::Utf8, "lost\n"));
    open();
    startHook();
    const std::string before = form->Memo->text();
    dialogs.answerMessage(platform::gui::No);
    hook->offerRestore();
    EXPECT_NE(dialogs.last().message.text.indexOf(QStringLiteral("\"p.htm\" (u@127.0.0.1:21, folder /www)")), -1)
        << dialogs.last().message.text.toStdString();
    EXPECT_EQ(form->Memo->text(), before);
    EXPECT_FALSE(form->Memo->modified());
    EXPECT_TRUE(copies().isEmpty());
}

// The restored text goes back to the site, folder and name it came from, in its own shape.
TEST_F(Recovery, ARestoredCopyIsWrittenBackByteForByteToWhereItCameFrom)
{
    const std::string bytes = "<p>unsaved \xE4</p>\n<p>second</p>"; // Windows-1252, LF, no final break
    Script steps = { accept(), send("220 ready\r\n"), expectLine(), send("331 password\r\n"), expectLine(),
                     send("230 logged in\r\n"), expectLine(), send("200 binary\r\n"), expectLine(),
                     send("257 \"/\"\r\n"), expectLine(), send("250 ok\r\n"), expectLine(), send("257 \"/www/docs\"\r\n"),
                     listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(), send("200 ascii\r\n"),
                     expectLine(), acceptData(), send("150 here it comes\r\n"), dataClose(), send("226 done\r\n"),
                     expectLine(), send("200 binary\r\n") };
    steps = join(join(join(steps, UnknownStat(true)), WholeStore()), {
                     listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(), send("200 ascii\r\n"),
                     expectLine(), acceptData(), send("150 here it comes\r\n"), dataClose(), send("226 done\r\n"),
                     expectLine(), send("200 binary\r\n") });
    ScriptedServer server(std::move(steps), 5s);
    leaveCopy(Copy({"joe", "127.0.0.1", server.port(), "/www/docs", "page.htm"}, "\n", false,
                   platform::core::TextEncoding::Windows1252, bytes));
    open();
    startHook();
    dialogs.answerMessage(platform::gui::Yes);
    hook->offerRestore();
    hook->finishWork();
    EXPECT_TRUE(form->Memo->modified());
    EXPECT_EQ(form->EditTempName->text(), "page.htm");
    EXPECT_EQ(form->EditHostname->text(), "127.0.0.1");
    EXPECT_EQ(form->EditName->text(), "joe");
    EXPECT_EQ(form->EditPfad->text(), "/www/docs");
    ASSERT_EQ(copies().size(), 1) << "the copy is the running session's now";
    EXPECT_EQ(copies().front(), QFileInfo(session->copyPath()).fileName());

    form->EditPasswort->setText(QStringLiteral("secret"));
    form->remote().setSilenceTimeout(10s);
    command([&] { form->btn_connectClick(); });
    command([&] { form->SBZurueckClick(); });
    EXPECT_EQ(dialogs.asked().size(), 1u) << "the question only: no error";
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.dataReceived(), bytes);
    EXPECT_EQ(TemporaryNamed(server.transcript()),
              "USER joe\r\nPASS secret\r\nTYPE I\r\nPWD\r\nCWD /www/docs\r\nPWD\r\n"
              "PASV\r\nTYPE A\r\nLIST .\r\nTYPE I\r\n"
                  + UnknownStatSent("page.htm", true) + WholeStoreSent("page.htm")
                  + "PASV\r\nTYPE A\r\nLIST .\r\nTYPE I\r\n");
    EXPECT_FALSE(form->Memo->modified());
    hook->finishWork();
    EXPECT_TRUE(copies().isEmpty()) << "a successful write-back removes the copy";
}

// The text taken in slices is exactly the pane's whole text, whatever it holds.
struct CaptureCase {
    const char* name;
    std::string bytes;
};

std::ostream& operator<<(std::ostream& out, const CaptureCase& c)
{
    return out << c.name;
}

class SlicedCapture : public QuellinWindow, public ::testing::WithParamInterface<CaptureCase> {};

// Runs a capture of the editor's document to its end; nothing when it was abandoned.
std::optional<QString> Capture(quellin::SlicedTextCapture& capture, const QTextDocument* document)
{
    std::optional<QString> result;
    capture.start(document, [&](QString text) { result = std::move(text); });
    while (capture.running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return result;
}

std::string ManyLines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "<p>line " + std::to_string(i) + "</p>\n";
    return text;
}

TEST_P(SlicedCapture, GivesThePanesWholeText)
{
    open();
    form->Memo->setText(GetParam().bytes);
    quellin::SlicedTextCapture capture;
    const std::optional<QString> text = Capture(capture, form->Memo->document());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, form->Memo->wholeText());
}

INSTANTIATE_TEST_SUITE_P(Cases, SlicedCapture, ::testing::Values(
    CaptureCase{"Empty", ""},
    CaptureCase{"FinalBreak", "a\r\nb\r\n"},
    CaptureCase{"NoFinalBreak", "a\nb"},
    CaptureCase{"EmptyLines", "\n\n\nx\n\n"},
    CaptureCase{"NonBreakingSpacesAndTabs", "a\xC2\xA0" "b\tc\n\xC2\xA0\n"},
    CaptureCase{"LineAndParagraphSeparators", "a\xE2\x80\xA8" "b\xE2\x80\xA9" "c\n"},
    CaptureCase{"ControlCharacters", std::string("a\x01\x7F\x0C" "b\n", 6)},
    CaptureCase{"Windows1252", "Gr\xFC\xDF" "e\n"},
    CaptureCase{"ManySlices", ManyLines(200000)}
), [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuellinWindow, ACaptureIsAbandonedWhenTheTextChangesMeanwhile)
{
    open();
    form->Memo->setText(ManyLines(300000));
    quellin::SlicedTextCapture capture;
    bool done = false;
    capture.start(form->Memo->document(), [&](QString) { done = true; });
    QCoreApplication::processEvents(); // one slice, not the whole text
    ASSERT_TRUE(capture.running());
    QTextCursor(form->Memo->document()).insertText(QStringLiteral("typed"));
    while (capture.running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_FALSE(done);
}

} // namespace

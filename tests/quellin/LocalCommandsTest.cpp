// The local browser's commands through the input-box seam, on a temporary folder: each case is
// the command, the answer given, and the folder's names afterwards.
#include "platform/gui/Dialogs.h"
#include "platform/gui/ScriptedDialogs.h"
#include "quellin/LocalCommands.h"
#include "quellin/SafeNames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <optional>

using namespace quellin;
using platform::gui::ScopedDialogs;
using platform::gui::ScriptedDialogs;

namespace {

struct Case {
    const char* name;
    bool asks;
    std::optional<QString> answer; // nullopt: Cancel
    std::function<bool(const LocalBrowserState&, const LocalItem*)> command;
    bool refreshed;
    QStringList after;
};

} // namespace

TEST(LocalCommands, AskThroughTheSeamAndChangeTheFolder)
{
    const Case cases[] = {
        { "rename", true, QString("b.txt"), LocalRenameCommand, true, { "b.txt", "sub" } },
        { "rename cancelled", true, std::nullopt, LocalRenameCommand, false, { "a.txt", "sub" } },
        { "create", true, QString("new dir"), [](const LocalBrowserState& s, const LocalItem*) { return LocalCreateDirCommand(s); },
          true, { "a.txt", "new dir", "sub" } },
        { "create cancelled", true, std::nullopt, [](const LocalBrowserState& s, const LocalItem*) { return LocalCreateDirCommand(s); },
          false, { "a.txt", "sub" } },
        { "delete", false, std::nullopt, LocalDeleteCommand, true, { "sub" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tree;
        QDir(tree.path()).mkdir("sub");
        QFile(tree.path() + "/a.txt").open(QIODevice::WriteOnly);
        LocalBrowserState state({}, tree.path() + "/");
        const auto items = state.Items();
        const LocalItem file = items.back();
        ScriptedDialogs dialogs;
        ScopedDialogs scoped(dialogs);
        if (c.asks)
            dialogs.answerInput(c.answer);
        EXPECT_EQ(c.command(state, &file), c.refreshed);
        EXPECT_EQ(QDir(tree.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name), c.after);
        EXPECT_EQ(dialogs.unanswered(), 0);
    }
}

TEST(LocalCommands, NothingSelectedDoesNothingAndUnsafeNamesAreRefused)
{
    QTemporaryDir tree;
    LocalBrowserState state({}, tree.path() + "/");
    EXPECT_FALSE(LocalDeleteCommand(state, nullptr));
    EXPECT_FALSE(LocalRenameCommand(state, nullptr));
    ScriptedDialogs dialogs;
    ScopedDialogs scoped(dialogs);
    dialogs.answerInput(QString("../outside"));
    EXPECT_THROW(LocalCreateDirCommand(state), EUnsafeName);
    EXPECT_FALSE(QDir(tree.path() + "/../outside").exists());
}

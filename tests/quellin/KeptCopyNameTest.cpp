#include "quellin/KeptCopyName.h"

#include "base/Exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct KeptCase {
    const char* name;
    std::vector<const char*> present; // files already in the folder
    const char* expected;
};

TEST(KeptCopyName, TheFirstNameThatClashesWithNothing)
{
    const KeptCase cases[] = {
        { "index.html", {}, "index (mine).html" },
        { "index.html", { "index (mine).html" }, "index (mine 2).html" },
        { "index.html", { "index (mine).html", "index (mine 2).html" }, "index (mine 3).html" },
        { "archive.tar.gz", {}, "archive.tar (mine).gz" },
        { ".htaccess", {}, ".htaccess (mine)" },
        { "README", {}, "README (mine)" },
        { "a.b", { "a (mine).b/" }, "a (mine 2).b" }, // a folder of that name counts too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        for (const char* present : c.present) {
            const QString name = QString::fromUtf8(present);
            if (name.endsWith('/'))
                QDir(folder.path()).mkdir(name.chopped(1));
            else
                QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
        }
        EXPECT_EQ(quellin::FreeKeptCopyPath(folder.path() + "/", QString::fromUtf8(c.name)),
                  folder.filePath(QString::fromUtf8(c.expected)));
    }
}

TEST(KeptCopyName, ADanglingLinkIsTakenAndAFullFolderRefused)
{
    QTemporaryDir folder;
    QFile::link(folder.filePath("nowhere"), folder.filePath("p (mine).htm"));
    EXPECT_EQ(quellin::FreeKeptCopyPath(folder.path() + "/", "p.htm"), folder.filePath("p (mine 2).htm"));
    QFile(folder.filePath("q (mine).htm")).open(QIODevice::WriteOnly);
    for (int n = 2; n <= 1000; ++n)
        QFile(folder.filePath(QStringLiteral("q (mine %1).htm").arg(n))).open(QIODevice::WriteOnly);
    EXPECT_THROW(quellin::FreeKeptCopyPath(folder.path() + "/", "q.htm"), base::EFileError);
}

} // namespace

// The private temporary folder: under the runtime folder when there is one, else a fresh folder
// of an unpredictable name that no other user can have made first.
#include "base/Exception.h"
#include "platform/core/PrivateTempFolder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFile::Permissions kOwnerOnly =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

// XDG_RUNTIME_DIR and TMPDIR as a case wants them, restored afterwards.
class Environment {
public:
    Environment(const QByteArray& runtime, const QByteArray& temp)
        : runtime_(qgetenv("XDG_RUNTIME_DIR")), temp_(qgetenv("TMPDIR"))
    {
        set("XDG_RUNTIME_DIR", runtime);
        set("TMPDIR", temp);
    }
    ~Environment()
    {
        set("XDG_RUNTIME_DIR", runtime_);
        set("TMPDIR", temp_);
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    static void set(const char* name, const QByteArray& value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QByteArray runtime_;
    QByteArray temp_;
};

} // namespace

TEST(PrivateTempFolder, WithoutARuntimeFolderItIsAFreshUnpredictableFolderOfThisUser)
{
    const struct {
        const char* name;
        QByteArray runtime;
    } cases[] = { { "unset", {} }, { "relative", "run/user" }, { "missing", "/nonexistent/run" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir shared;
        Environment environment(c.runtime, shared.path().toLocal8Bit());
        // Another user's trap at the name the folder once had: neither a folder nor a link stops us.
        const QString predictable = shared.path() + "/quellin-" + QString::number(::getuid());
        QFile::link("/", predictable);
        QDir(shared.path()).mkdir(QStringLiteral("quellin"));

        const QString folder = platform::core::PrivateTempFolder(QString("quellin-") + c.name);
        EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(shared.path()) + "/quellin-" + c.name
                                       + "-[A-Za-z0-9]{6}/$")
                        .match(folder)
                        .hasMatch())
            << folder.toStdString();
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_uid, ::getuid());
        EXPECT_EQ(QFile::permissions(folder), kOwnerOnly);
        EXPECT_EQ(platform::core::PrivateTempFolder(QString("quellin-") + c.name), folder)
            << "one folder for the whole process";
    }
}

TEST(PrivateTempFolder, UnderTheRuntimeFolderItIsTheProgramsOwnAndALinkIsRefused)
{
    QTemporaryDir runtime;
    Environment environment(runtime.path().toLocal8Bit(), {});
    EXPECT_EQ(platform::core::PrivateTempFolder("quellin"), runtime.path() + "/quellin/");
    EXPECT_EQ(QFile::permissions(runtime.path() + "/quellin"), kOwnerOnly);

    QFile::setPermissions(runtime.path() + "/quellin", kOwnerOnly | QFile::ReadOther | QFile::ExeOther);
    platform::core::PrivateTempFolder("quellin");
    EXPECT_EQ(QFile::permissions(runtime.path() + "/quellin"), kOwnerOnly) << "narrowed";

    QFile::link("/tmp", runtime.path() + "/linked");
    EXPECT_THROW(platform::core::PrivateTempFolder("linked"), base::EFileError);
    QFile(runtime.path() + "/plain").open(QIODevice::WriteOnly);
    EXPECT_THROW(platform::core::PrivateTempFolder("plain"), base::EFileError);
}

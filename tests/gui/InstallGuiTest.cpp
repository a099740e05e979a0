#include "GuiSession.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Installed into a prefix of its own, the program starts through its
// launcher, sets up the user's program folder with the shipped scripts
// and shows its window; the installed folder itself is never written.
TEST(InstallGui, TheInstalledLauncherRunsFromAPerUserProgramFolder)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString prefix = temp.filePath(QStringLiteral("prefix"));
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(SORVANE_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(SORVANE_BUILD_DIR), QStringLiteral("--prefix"), prefix});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();

    const QString program = prefix + QStringLiteral("/lib/sorvane/");
    for (const char *path : {"bin/sorvane", "lib/sorvane/sorvane", "lib/sorvane/installed", "lib/sorvane/script/System.js",
                             "share/applications/org.sorvane.Sorvane.desktop",
                             "share/metainfo/org.sorvane.Sorvane.metainfo.xml",
                             "share/icons/hicolor/scalable/apps/sorvane.svg",
                             "share/icons/hicolor/48x48/apps/sorvane.png", "share/mime/packages/sorvane-lrc.xml"})
        EXPECT_TRUE(QFileInfo::exists(prefix + QLatin1Char('/') + QString::fromLatin1(path))) << path;
    EXPECT_EQ(QFileInfo(prefix + QStringLiteral("/bin/sorvane")).canonicalFilePath(),
              QFileInfo(program + QStringLiteral("sorvane")).canonicalFilePath());

    // As installed by a package: nobody may write the program folder.
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                        QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(program + QStringLiteral("script"), readOnly));
    ASSERT_TRUE(QFile::setPermissions(program, readOnly));
    const QStringList before = QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    const QString home = temp.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    GuiSession session;
    QString error;
    ASSERT_TRUE(GuiSession::startServer(&error)) << error.toStdString();
    session.setEnvironment(QStringLiteral("HOME"), home);
    session.setEnvironment(QStringLiteral("XDG_DATA_HOME"), QString());
    session.setEnvironment(QStringLiteral("XDG_CONFIG_HOME"), QString());
    ASSERT_TRUE(session.startProgram(prefix + QStringLiteral("/bin/sorvane"), {}, &error)) << error.toStdString();
    EXPECT_EQ(session.windowName(), QString::fromUtf8("Sorvane - (作者：Sorvane 开发组)"));

    // No box reports a problem with the folder.
    EXPECT_TRUE(session.run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                        QStringLiteral("--name"), QString::fromUtf8("系统提示")})
                    .trimmed()
                    .isEmpty());

    const QString mine = home + QStringLiteral("/.local/share/sorvane/");
    const QStringList shipped = QDir(program + QStringLiteral("script")).entryList(QDir::Files);
    ASSERT_FALSE(shipped.isEmpty());
    for (const QString &name : shipped)
        EXPECT_EQ(contents(mine + QStringLiteral("script/") + name),
                  contents(program + QStringLiteral("script/") + name))
            << name.toStdString();
    EXPECT_TRUE(QFileInfo(mine + QStringLiteral("shipped-scripts.txt")).isFile());
    EXPECT_EQ(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);

    // Let the temporary folder be removed.
    QFile::setPermissions(program, readOnly | QFile::WriteOwner);
    QFile::setPermissions(program + QStringLiteral("script"), readOnly | QFile::WriteOwner);
}

} // namespace

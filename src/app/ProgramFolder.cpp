#include "app/ProgramFolder.h"

#include "platform/Platform.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

namespace sorvane {

namespace {

QString text(const char16_t *name)
{
    return QString::fromUtf16(name);
}

// The SHA-256 of a file's bytes in hex; "" when it cannot be read.
QString digestOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

// Writes through a temporary file, so a failed write leaves the old file whole.
// The copy gets the user's default permissions, not the shipped file's.
QString writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("无法写入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}

QString copyFile(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("无法读取 %1：%2").arg(QDir::toNativeSeparators(from), source.errorString());
    return writeFile(to, source.readAll());
}

// name -> digest of the version last handed over.
QHash<QString, QString> readRecord(const QString &path)
{
    QHash<QString, QString> record;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return record;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (space > 0)
            record.insert(line.mid(space + 1), line.left(space));
    }
    return record;
}

QString writeRecord(const QString &path, const QHash<QString, QString> &record)
{
    QStringList names = record.keys();
    names.sort();
    QByteArray bytes;
    for (const QString &name : names)
        bytes += (record.value(name) + QLatin1Char(' ') + name + QLatin1Char('\n')).toUtf8();
    return writeFile(path, bytes);
}

QString readOnlyNotice(const QString &programFolder)
{
    return QStringLiteral("程序改从安装文件夹 %1 运行，设置无法保存。").arg(QDir::toNativeSeparators(programFolder));
}

} // namespace

QString ProgramFolder::dataHome(ShellHost &shell)
{
    const QString xdg = shell.environmentVariable(QStringLiteral("XDG_DATA_HOME"));
    if (QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = shell.environmentVariable(QStringLiteral("HOME"));
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.local/share"));
    return {};
}

ProgramFolder::Choice ProgramFolder::choose(const QString &programFolder, const QString &dataHome)
{
    Choice choice{programFolder, false, {}};
    if (!QFileInfo(programFolder + text(kInstalledMarker)).isFile())
        return choice;
    if (dataHome.isEmpty()) {
        choice.problems << QStringLiteral("找不到用户数据文件夹（HOME 与 XDG_DATA_HOME 均未设置）")
                        << readOnlyNotice(programFolder);
        return choice;
    }
    const QString folder = dataHome + QLatin1Char('/') + text(kUserFolderName) + QLatin1Char('/');
    const QString scripts = folder + text(kScriptFolder);
    if (!QDir().mkpath(scripts)) {
        choice.problems << QStringLiteral("无法建立文件夹 %1").arg(QDir::toNativeSeparators(scripts))
                        << readOnlyNotice(programFolder);
        return choice;
    }
    choice.folder = folder;
    choice.perUser = true;
    choice.problems = updateScripts(programFolder + text(kScriptFolder), scripts, folder + text(kShippedRecord));
    return choice;
}

QStringList ProgramFolder::updateScripts(const QString &shippedFolder, const QString &userFolder,
                                         const QString &recordPath)
{
    QStringList problems;
    QHash<QString, QString> record = readRecord(recordPath);
    const QHash<QString, QString> before = record;
    const QStringList names = QDir(shippedFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        const QString shipped = digestOf(shippedFolder + QLatin1Char('/') + name);
        if (shipped.isEmpty()) {
            problems << QStringLiteral("无法读取 %1").arg(QDir::toNativeSeparators(shippedFolder + QLatin1Char('/') + name));
            continue;
        }
        const QString last = record.value(name);
        if (shipped == last)
            continue;
        const QString target = userFolder + QLatin1Char('/') + name;
        const QString from = shippedFolder + QLatin1Char('/') + name;
        QString problem;
        if (!QFileInfo::exists(target)) {
            // Known but missing: the user deleted it.
            if (last.isEmpty())
                problem = copyFile(from, target);
        } else {
            const QString mine = digestOf(target);
            if (mine == last)
                problem = copyFile(from, target);
            else if (mine != shipped)
                problem = copyFile(from, target + text(kNewSuffix));
        }
        if (!problem.isEmpty()) {
            problems << problem;
            continue;
        }
        record.insert(name, shipped);
    }
    if (record != before)
        if (const QString problem = writeRecord(recordPath, record); !problem.isEmpty())
            problems << problem;
    return problems;
}

} // namespace sorvane

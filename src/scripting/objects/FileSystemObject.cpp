#include "scripting/objects/FileSystemObject.h"

#include "scripting/objects/FileObjects.h"
#include "scripting/objects/TextStreamObject.h"
#include "text/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace sorvane {
namespace {

const QChar kSeparator = QLatin1Char('/');

bool hasWildcards(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// The path without trailing separators; the root stays "/".
QString withoutTrailingSeparators(QString path)
{
    while (path.size() > 1 && path.endsWith(kSeparator))
        path.chop(1);
    return path;
}

// A file the user may not change: the platform's read-only attribute.
bool isReadOnly(const QFileInfo &info)
{
    return !(info.permissions() & QFileDevice::WriteOwner);
}

Status copyOne(const QString &from, const QString &to, bool overwrite)
{
    const QFileInfo target(to);
    if (target.isDir())
        return scriptError(ErrorNumber::PermissionDenied);
    if (target.exists()) {
        if (!overwrite)
            return scriptError(ErrorNumber::FileAlreadyExists);
        if (isReadOnly(target) || target.canonicalFilePath() == QFileInfo(from).canonicalFilePath())
            return scriptError(ErrorNumber::PermissionDenied);
    }
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return scriptError(ErrorNumber::PermissionDenied);
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return scriptError(ErrorNumber::PermissionDenied);
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return scriptError(ErrorNumber::DeviceIoError, in.errorString());
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            const QString why = out.errorString();
            out.cancelWriting();
            return scriptError(ErrorNumber::DeviceIoError, why);
        }
    }
    if (!out.commit())
        return scriptError(ErrorNumber::DeviceIoError, out.errorString());
    QFile::setPermissions(to, in.permissions());
    return {};
}

Result<Variant> streamValue(Result<std::shared_ptr<TextStreamObject>> stream)
{
    return Variant::fromObject(TRY(std::move(stream)));
}

using Fso = FileSystemObject;
using TextFunction = QString (*)(const QString &);

// A member that maps a path's text to a text.
template <TextFunction F>
Result<Variant> pathText(Fso &, Arguments &a)
{
    QString path = TRY(a.text(0));
    return Variant(F(path));
}

} // namespace

FileSystemObject::FileSystemObject(QString currentFolder) : m_currentFolder(std::move(currentFolder)) {}

const MemberTable<FileSystemObject> &FileSystemObject::members()
{
    using M = HostMember<Fso>;
    static const MemberTable<Fso> table({
        M{"FileExists", MemberKind::Method, 1, 1,
          [](Fso &f, Arguments &a) {
              return withText(a, 0, [&f](const QString &path) -> Result<Variant> { return Variant(f.fileExists(path)); });
          },
          nullptr},
        M{"FolderExists", MemberKind::Method, 1, 1,
          [](Fso &f, Arguments &a) {
              return withText(a, 0, [&f](const QString &path) -> Result<Variant> { return Variant(f.folderExists(path)); });
          },
          nullptr},
        M{"GetParentFolderName", MemberKind::Method, 1, 1, pathText<&Fso::parentFolderName>, nullptr},
        M{"GetFileName", MemberKind::Method, 1, 1, pathText<&Fso::fileName>, nullptr},
        M{"GetBaseName", MemberKind::Method, 1, 1, pathText<&Fso::baseName>, nullptr},
        M{"GetExtensionName", MemberKind::Method, 1, 1, pathText<&Fso::extensionName>, nullptr},
        M{"BuildPath", MemberKind::Method, 2, 2,
          [](Fso &, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              QString name = TRY(a.text(1));
              return Variant(buildPath(path, name));
          },
          nullptr},
        M{"GetAbsolutePathName", MemberKind::Method, 1, 1,
          [](Fso &f, Arguments &a) {
              return withText(a, 0, [&f](const QString &path) -> Result<Variant> { return Variant(f.absolutePath(path)); });
          },
          nullptr},
        M{"OpenTextFile", MemberKind::Method, 1, 4,
          [](Fso &f, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              qint32 mode = TRY(a.toLong(1, 1));
              bool create = TRY(a.toBool(2, false));
              qint32 format = TRY(a.toLong(3, 0));
              if ((mode != 1 && mode != 2 && mode != 8) || format < -2 || format > 0)
                  return scriptError(ErrorNumber::InvalidProcedureCall);
              return streamValue(TextStreamObject::open(f.absolutePath(path), TextStreamObject::IoMode(mode),
                                                        create, format == -1));
          },
          nullptr},
        M{"CreateTextFile", MemberKind::Method, 1, 3,
          [](Fso &f, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              bool overwrite = TRY(a.toBool(1, true));
              bool unicode = TRY(a.toBool(2, false));
              return streamValue(TextStreamObject::create(f.absolutePath(path), overwrite, unicode));
          },
          nullptr},
        M{"CreateFolder", MemberKind::Method, 1, 1,
          [](Fso &f, Arguments &a) {
              return withText(a, 0, [&f](const QString &path) -> Result<Variant> { return f.createFolder(path); });
          },
          nullptr},
        M{"DeleteFile", MemberKind::Method, 1, 2,
          [](Fso &f, Arguments &a) -> Result<Variant> {
              QString spec = TRY(a.text(0));
              bool force = TRY(a.toBool(1, false));
              return done(f.deleteFile(spec, force));
          },
          nullptr},
        M{"CopyFile", MemberKind::Method, 2, 3,
          [](Fso &f, Arguments &a) -> Result<Variant> {
              QString source = TRY(a.text(0));
              QString destination = TRY(a.text(1));
              bool overwrite = TRY(a.toBool(2, true));
              return done(f.copyFile(source, destination, overwrite));
          },
          nullptr},
        M{"MoveFile", MemberKind::Method, 2, 2,
          [](Fso &f, Arguments &a) -> Result<Variant> {
              QString source = TRY(a.text(0));
              QString destination = TRY(a.text(1));
              return done(f.moveFile(source, destination));
          },
          nullptr},
        M{"GetFile", MemberKind::Method, 1, 1,
          [](Fso &f, Arguments &a) {
              return withText(a, 0, [&f](const QString &path) -> Result<Variant> { return f.getFile(path); });
          },
          nullptr},
        M{"GetFolder", MemberKind::Method, 1, 1,
          [](Fso &f, Arguments &a) {
              return withText(a, 0, [&f](const QString &path) -> Result<Variant> { return f.getFolder(path); });
          },
          nullptr},
    });
    return table;
}

QString FileSystemObject::absolutePath(const QString &path) const
{
    const QString base = m_currentFolder.isEmpty() ? QDir::currentPath() : m_currentFolder;
    return QDir::cleanPath(QDir(base).absoluteFilePath(path));
}

QString FileSystemObject::parentFolderName(const QString &path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    const qsizetype slash = trimmed.lastIndexOf(kSeparator);
    if (slash < 0 || trimmed == QStringLiteral("/"))
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return withoutTrailingSeparators(trimmed.left(slash));
}

QString FileSystemObject::fileName(const QString &path)
{
    const QString trimmed = withoutTrailingSeparators(path);
    if (trimmed == QStringLiteral("/"))
        return QString();
    return trimmed.mid(trimmed.lastIndexOf(kSeparator) + 1);
}

QString FileSystemObject::baseName(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString FileSystemObject::extensionName(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString FileSystemObject::buildPath(const QString &path, const QString &name)
{
    if (path.isEmpty())
        return name;
    if (name.isEmpty())
        return path;
    const bool pathEnds = path.endsWith(kSeparator);
    const bool nameStarts = name.startsWith(kSeparator);
    if (pathEnds && nameStarts)
        return path + name.mid(1);
    if (pathEnds || nameStarts)
        return path + name;
    return path + kSeparator + name;
}

bool FileSystemObject::fileExists(const QString &path) const
{
    return !path.isEmpty() && TextCodec::fileExists(absolutePath(path));
}

bool FileSystemObject::folderExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(absolutePath(path)).isDir();
}

Result<QStringList> FileSystemObject::sources(const QString &spec) const
{
    if (spec.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString path = absolutePath(spec);
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!hasWildcards(name)) {
        if (!TextCodec::fileExists(path))
            return scriptError(info.absoluteDir().exists() ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound);
        return QStringList{path};
    }
    const QDir folder = info.absoluteDir();
    if (!folder.exists())
        return scriptError(ErrorNumber::PathNotFound);
    // "*.*" is every file, with or without a dot, as the platform reads it.
    const QString filter = name == QStringLiteral("*.*") ? QStringLiteral("*") : name;
    QStringList found;
    for (const QFileInfo &entry :
         folder.entryInfoList({filter}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase))
        found << entry.absoluteFilePath();
    if (found.isEmpty())
        return scriptError(ErrorNumber::FileNotFound);
    return found;
}

Result<QStringList> FileSystemObject::targets(const QString &spec, const QStringList &sources,
                                               const QString &destination) const
{
    if (destination.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString target = absolutePath(destination);
    QStringList out;
    if (hasWildcards(fileName(spec)) || destination.endsWith(kSeparator)) {
        if (!QFileInfo(target).isDir())
            return scriptError(ErrorNumber::PathNotFound);
        for (const QString &source : sources)
            out << QDir(target).filePath(QFileInfo(source).fileName());
        return out;
    }
    if (QFileInfo(target).isDir())
        return scriptError(ErrorNumber::PermissionDenied);
    if (!QFileInfo(target).absoluteDir().exists())
        return scriptError(ErrorNumber::PathNotFound);
    out << target;
    return out;
}

Status FileSystemObject::copyFile(const QString &source, const QString &destination, bool overwrite) const
{
    QStringList from = TRY(sources(source));
    QStringList to = TRY(targets(source, from, destination));
    for (qsizetype i = 0; i < from.size(); ++i)
        if (Status s = copyOne(from.at(i), to.at(i), overwrite); !s)
            return s;
    return {};
}

Status FileSystemObject::moveFile(const QString &source, const QString &destination) const
{
    QStringList from = TRY(sources(source));
    QStringList to = TRY(targets(source, from, destination));
    for (qsizetype i = 0; i < from.size(); ++i) {
        if (QFileInfo::exists(to.at(i)) || QFileInfo(to.at(i)).isSymLink())
            return scriptError(ErrorNumber::FileAlreadyExists);
        if (!QFile::rename(from.at(i), to.at(i)))
            return scriptError(ErrorNumber::PermissionDenied);
    }
    return {};
}

Status FileSystemObject::deleteFile(const QString &spec, bool force) const
{
    QStringList files = TRY(sources(spec));
    for (const QString &path : files) {
        if (isReadOnly(QFileInfo(path)) && !force)
            return scriptError(ErrorNumber::PermissionDenied);
        if (!QFile::remove(path))
            return scriptError(ErrorNumber::PermissionDenied);
    }
    return {};
}

Result<Variant> FileSystemObject::createFolder(const QString &path) const
{
    if (path.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString folder = absolutePath(path);
    const QFileInfo info(folder);
    if (info.exists() || info.isSymLink())
        return scriptError(ErrorNumber::FileAlreadyExists);
    if (!info.absoluteDir().exists())
        return scriptError(ErrorNumber::PathNotFound);
    if (!QDir().mkdir(folder))
        return scriptError(ErrorNumber::PermissionDenied);
    return Variant::fromObject(std::make_shared<FolderObject>(folder));
}

Result<Variant> FileSystemObject::getFile(const QString &path) const
{
    if (path.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString file = absolutePath(path);
    if (!TextCodec::fileExists(file))
        return scriptError(ErrorNumber::FileNotFound);
    return Variant::fromObject(std::make_shared<FileObject>(file));
}

Result<Variant> FileSystemObject::getFolder(const QString &path) const
{
    if (path.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString folder = absolutePath(path);
    if (!QFileInfo(folder).isDir())
        return scriptError(ErrorNumber::PathNotFound);
    return Variant::fromObject(std::make_shared<FolderObject>(folder));
}

} // namespace sorvane

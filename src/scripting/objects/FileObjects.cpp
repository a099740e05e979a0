#include "scripting/objects/FileObjects.h"

#include "scripting/objects/TextStreamObject.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace sorvane {
namespace {

const QDate kDateEpoch(1899, 12, 30);

// Platform attribute bits.
constexpr int kReadOnly = 1;
constexpr int kHidden = 2;
constexpr int kDirectory = 16;
constexpr int kArchive = 32;

int attributesOf(const QFileInfo &info)
{
    int bits = 0;
    if (!(info.permissions() & QFileDevice::WriteOwner))
        bits |= kReadOnly;
    if (info.fileName().startsWith(QLatin1Char('.')))
        bits |= kHidden;
    bits |= info.isDir() ? kDirectory : kArchive;
    return bits;
}

// Sizes beyond the Long range come as Double, as the platform gives them.
Variant sizeValue(qint64 size)
{
    if (size <= std::numeric_limits<qint32>::max())
        return Variant::fromLong(qint32(size));
    return Variant::fromDouble(double(size));
}

QDateTime created(const QFileInfo &info)
{
    const QDateTime birth = info.birthTime();
    return birth.isValid() ? birth : info.lastModified();
}

Variant parentFolder(const QString &path)
{
    if (path == QStringLiteral("/"))
        return Variant::nothing();
    return Variant::fromObject(std::make_shared<FolderObject>(QFileInfo(path).absolutePath()));
}

// Renames an entry inside its folder: 58 when the name is taken, 5 for a
// name that would leave the folder.
Status renameEntry(QString &path, const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString target = QFileInfo(path).absoluteDir().filePath(name);
    if (target == path)
        return {};
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return scriptError(ErrorNumber::FileAlreadyExists);
    if (!QFile::rename(path, target))
        return scriptError(ErrorNumber::PermissionDenied);
    path = target;
    return {};
}

template <typename T>
Status renameMember(T &self, Arguments &, const Variant &value)
{
    QString name = TRY(value.toString());
    return self.rename(name);
}

template <typename T>
Result<Variant> missingOr(const T &self, ErrorNumber error, Variant (*read)(const QFileInfo &))
{
    const QFileInfo info(self.path());
    if (!info.exists())
        return scriptError(error);
    return read(info);
}

} // namespace

Variant fileDate(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const double days = double(kDateEpoch.daysTo(local.date()));
    const double fraction = double(local.time().msecsSinceStartOfDay()) / 86400000.0;
    return Variant::fromDate(days + fraction);
}

Status FileObject::rename(const QString &name)
{
    return renameEntry(m_path, name);
}

const MemberTable<FileObject> &FileObject::members()
{
    using M = HostMember<FileObject>;
    using F = FileObject;
    static const MemberTable<FileObject> table(
        {
            M{"Path", MemberKind::Property, 0, 0, [](F &f, Arguments &) -> Result<Variant> { return Variant(f.path()); },
              nullptr},
            M{"Name", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> { return Variant(QFileInfo(f.path()).fileName()); },
              renameMember<F>},
            M{"Size", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::FileNotFound,
                                   [](const QFileInfo &i) { return sizeValue(i.size()); });
              },
              nullptr},
            M{"ParentFolder", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> { return parentFolder(f.path()); }, nullptr},
            M{"DateLastModified", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::FileNotFound,
                                   [](const QFileInfo &i) { return fileDate(i.lastModified()); });
              },
              nullptr},
            M{"DateCreated", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::FileNotFound,
                                   [](const QFileInfo &i) { return fileDate(created(i)); });
              },
              nullptr},
            M{"DateLastAccessed", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::FileNotFound,
                                   [](const QFileInfo &i) { return fileDate(i.lastRead()); });
              },
              nullptr},
            M{"Attributes", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::FileNotFound,
                                   [](const QFileInfo &i) { return Variant::fromLong(attributesOf(i)); });
              },
              nullptr},
            M{"OpenAsTextStream", MemberKind::Method, 0, 2,
              [](F &f, Arguments &a) -> Result<Variant> {
                  qint32 mode = TRY(a.has(0) && !a[0].isEmpty() ? a.toLong(0) : Result<qint32>(1));
                  qint32 format = TRY(a.has(1) && !a[1].isEmpty() ? a.toLong(1) : Result<qint32>(0));
                  if ((mode != 1 && mode != 2 && mode != 8) || format < -2 || format > 0)
                      return scriptError(ErrorNumber::InvalidProcedureCall);
                  std::shared_ptr<TextStreamObject> stream =
                      TRY(TextStreamObject::open(f.path(), TextStreamObject::IoMode(mode), false, format == -1));
                  return Variant::fromObject(stream);
              },
              nullptr},
            M{"Delete", MemberKind::Method, 0, 1,
              [](F &f, Arguments &a) -> Result<Variant> {
                  bool force = TRY(a.has(0) && !a[0].isEmpty() ? a.toBool(0) : Result<bool>(false));
                  const QFileInfo info(f.path());
                  if (!info.exists())
                      return scriptError(ErrorNumber::FileNotFound);
                  if ((attributesOf(info) & kReadOnly) && !force)
                      return scriptError(ErrorNumber::PermissionDenied);
                  if (!QFile::remove(f.path()))
                      return scriptError(ErrorNumber::PermissionDenied);
                  return Variant();
              },
              nullptr},
        },
        "Path");
    return table;
}

Status FolderObject::rename(const QString &name)
{
    if (m_path == QStringLiteral("/"))
        return scriptError(ErrorNumber::PermissionDenied);
    return renameEntry(m_path, name);
}

const MemberTable<FolderObject> &FolderObject::members()
{
    using M = HostMember<FolderObject>;
    using F = FolderObject;
    static const MemberTable<FolderObject> table(
        {
            M{"Path", MemberKind::Property, 0, 0, [](F &f, Arguments &) -> Result<Variant> { return Variant(f.path()); },
              nullptr},
            M{"Name", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> { return Variant(QFileInfo(f.path()).fileName()); },
              renameMember<F>},
            M{"Size", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> {
                  if (!QFileInfo(f.path()).isDir())
                      return scriptError(ErrorNumber::PathNotFound);
                  qint64 total = 0;
                  QDirIterator it(f.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
                  while (it.hasNext()) {
                      it.next();
                      total += it.fileInfo().size();
                  }
                  return sizeValue(total);
              },
              nullptr},
            M{"ParentFolder", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> { return parentFolder(f.path()); }, nullptr},
            M{"IsRootFolder", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> { return Variant(f.path() == QStringLiteral("/")); }, nullptr},
            M{"DateLastModified", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::PathNotFound,
                                   [](const QFileInfo &i) { return fileDate(i.lastModified()); });
              },
              nullptr},
            M{"DateCreated", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::PathNotFound,
                                   [](const QFileInfo &i) { return fileDate(created(i)); });
              },
              nullptr},
            M{"Attributes", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) {
                  return missingOr(f, ErrorNumber::PathNotFound,
                                   [](const QFileInfo &i) { return Variant::fromLong(attributesOf(i)); });
              },
              nullptr},
            M{"Files", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> {
                  if (!QFileInfo(f.path()).isDir())
                      return scriptError(ErrorNumber::PathNotFound);
                  return Variant::fromObject(std::make_shared<FileCollection>(FileCollection::Kind::Files, f.path()));
              },
              nullptr},
            M{"SubFolders", MemberKind::Property, 0, 0,
              [](F &f, Arguments &) -> Result<Variant> {
                  if (!QFileInfo(f.path()).isDir())
                      return scriptError(ErrorNumber::PathNotFound);
                  return Variant::fromObject(std::make_shared<FileCollection>(FileCollection::Kind::Folders, f.path()));
              },
              nullptr},
        },
        "Path");
    return table;
}

FileCollection::FileCollection(Kind kind, const QString &folder) : m_kind(kind)
{
    const QDir::Filters filter =
        (kind == Kind::Files ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot) | QDir::Hidden | QDir::System;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(filter, QDir::Name | QDir::IgnoreCase)) {
        const QString path = entry.absoluteFilePath();
        m_names << entry.fileName();
        if (kind == Kind::Files)
            m_items << Variant::fromObject(std::make_shared<FileObject>(path));
        else
            m_items << Variant::fromObject(std::make_shared<FolderObject>(path));
    }
}

Result<Variant> FileCollection::item(const QString &name) const
{
    const qsizetype i = m_names.indexOf(name);
    if (i < 0)
        return scriptError(m_kind == Kind::Files ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound);
    return m_items[i];
}

const MemberTable<FileCollection> &FileCollection::members()
{
    using M = HostMember<FileCollection>;
    using C = FileCollection;
    static const MemberTable<FileCollection> table(
        {
            M{"Item", MemberKind::Indexed, 1, 1,
              [](C &c, Arguments &a) -> Result<Variant> {
                  QString name = TRY(a.text(0));
                  return c.item(name);
              },
              nullptr},
            M{"Count", MemberKind::Property, 0, 0,
              [](C &c, Arguments &) -> Result<Variant> { return Variant::fromLong(c.count()); }, nullptr},
        },
        "Item");
    return table;
}

} // namespace sorvane

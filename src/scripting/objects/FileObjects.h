#pragma once

#include "core/HostObject.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

namespace sorvane {

// "File": one file as GetFile and a folder's Files collection give it. The
// object holds the path; every property reads the file system afresh.
class FileObject : public HostObject<FileObject> {
public:
    explicit FileObject(QString path) : m_path(std::move(path)) {}

    QString typeName() const override { return QStringLiteral("File"); }
    static const MemberTable<FileObject> &members();

    const QString &path() const { return m_path; }
    // Name = new name: renames the file in its folder (58 when taken).
    Status rename(const QString &name);

private:
    QString m_path;
};

// "Folder": one folder, with its files and subfolders as collections.
class FolderObject : public HostObject<FolderObject> {
public:
    explicit FolderObject(QString path) : m_path(std::move(path)) {}

    QString typeName() const override { return QStringLiteral("Folder"); }
    static const MemberTable<FolderObject> &members();

    const QString &path() const { return m_path; }
    Status rename(const QString &name);

private:
    QString m_path;
};

// "Files" and "Folders": a folder's entries at the time they were asked
// for, in name order without regard to case (hidden ones included). Item
// takes a name; For Each visits the File or Folder objects.
class FileCollection : public HostObject<FileCollection> {
public:
    enum class Kind { Files, Folders };
    FileCollection(Kind kind, const QString &folder);

    QString typeName() const override
    {
        return m_kind == Kind::Files ? QStringLiteral("Files") : QStringLiteral("Folders");
    }
    static const MemberTable<FileCollection> &members();
    Result<QVector<Variant>> elements() override { return m_items; }

    int count() const { return int(m_items.size()); }
    // The entry of that name; 53 (files) or 76 (folders) when there is none.
    Result<Variant> item(const QString &name) const;

private:
    Kind m_kind;
    QVector<Variant> m_items;
    QStringList m_names;
};

// The date and time of a file's change as the scripts' date value (local time).
Variant fileDate(const QDateTime &time);

} // namespace sorvane

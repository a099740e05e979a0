#pragma once

#include "core/HostObject.h"

#include <QString>
#include <QStringList>

namespace sorvane {

// "Scripting.FileSystemObject": paths, files, folders and text streams.
//
// Paths use "/" as the separator; a relative path is taken from the current
// folder the object was given (the process's when none). File existence
// counts hidden files and never folders. The path helpers (GetFileName,
// GetParentFolderName, ...) work on the text alone and touch no file.
// CopyFile, MoveFile and DeleteFile take "*" and "?" in the last part of the
// source; a source with them, or a destination ending in "/", names files
// that go into an existing folder. A copy is written beside its target and
// renamed over it, so a failed copy never leaves a half-written target.
// Errors are the platform's: 53 file not found, 76 path not found, 58 file
// already exists, 70 permission denied, 5 a bad argument.
class FileSystemObject : public HostObject<FileSystemObject> {
public:
    explicit FileSystemObject(QString currentFolder = QString());

    QString typeName() const override { return QStringLiteral("FileSystemObject"); }
    static const MemberTable<FileSystemObject> &members();

    // The path made absolute against the current folder and cleaned.
    QString absolutePath(const QString &path) const;

    static QString parentFolderName(const QString &path);
    static QString fileName(const QString &path);
    static QString baseName(const QString &path);
    static QString extensionName(const QString &path);
    static QString buildPath(const QString &path, const QString &name);

    bool fileExists(const QString &path) const;
    bool folderExists(const QString &path) const;

    Status copyFile(const QString &source, const QString &destination, bool overwrite) const;
    Status moveFile(const QString &source, const QString &destination) const;
    Status deleteFile(const QString &spec, bool force) const;
    Result<Variant> createFolder(const QString &path) const;
    Result<Variant> getFile(const QString &path) const;
    Result<Variant> getFolder(const QString &path) const;

private:
    // The existing files a source names, each with its absolute path.
    Result<QStringList> sources(const QString &spec) const;
    // Where each source goes: into a folder, or to the one path named.
    Result<QStringList> targets(const QString &spec, const QStringList &sources, const QString &destination) const;

    QString m_currentFolder;
};

} // namespace sorvane

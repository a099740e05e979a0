#pragma once

#include "platform/Registry.h"

#include <QJsonObject>
#include <QString>
#include <QVector>

#include <functional>

namespace sorvane {

// The registry kept as one small file of keys and typed values. Every
// operation reads the file afresh, so that other instances of the program
// see each other's writes, and every change replaces the whole file through
// a temporary copy renamed over it: a crash leaves the old file or the new
// one, never a mixture. A change holds a lock file beside the store from
// its read to its write, so two copies changing it at once lose nothing. A
// file that cannot be read as a store is never overwritten; writes then
// fail. An empty file name keeps the store in memory only.
class RegistryStore : public Registry {
public:
    explicit RegistryStore(QString fileName);

    Status write(const QString &path, const Variant &value, const QString &type) override;
    Result<Variant> read(const QString &path) override;
    Status remove(const QString &path) override;

    QString fileName() const { return m_fileName; }

    // A parsed path: the key in canonical form ("HKEY_CURRENT_USER\A\B")
    // and the value name ("" for the default value).
    struct Path {
        QString key;
        QString name;
    };
    static Result<Path> parsePath(const QString &path);

private:
    struct Value {
        QString name;
        QString type;
        QJsonValue data;
    };
    struct Key {
        QString path;
        QVector<Value> values;
    };

    Result<QVector<Key>> load() const;
    // Reads the store, lets `edit` change it and writes it back, all under the lock.
    Status change(const std::function<Status(QVector<Key> &)> &edit);
    Status save(const QVector<Key> &keys);

    QString m_fileName;
    QVector<Key> m_memory; // the store when there is no file
};

} // namespace sorvane

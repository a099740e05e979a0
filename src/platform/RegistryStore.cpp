#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>

#include <memory>

namespace sorvane {
namespace {

struct Root {
    const char *full;
    const char *shortName;
};
constexpr Root kRoots[] = {
    {"HKEY_CURRENT_USER", "HKCU"},     {"HKEY_LOCAL_MACHINE", "HKLM"}, {"HKEY_CLASSES_ROOT", "HKCR"},
    {"HKEY_USERS", "HKU"},             {"HKEY_CURRENT_CONFIG", "HKCC"},
};

const QStringList kTypes = {QStringLiteral("REG_SZ"),    QStringLiteral("REG_EXPAND_SZ"),
                            QStringLiteral("REG_DWORD"), QStringLiteral("REG_QWORD"),
                            QStringLiteral("REG_BINARY"), QStringLiteral("REG_MULTI_SZ")};

// Another copy of the program holds the store for a read and a write of a
// small file; a lock held longer is left by a copy that hangs.
constexpr int kLockWait = 5000; // ms

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Whether `key` lies strictly below `parent`.
bool isBelow(const QString &key, const QString &parent)
{
    return key.size() > parent.size() + 1 && key.at(parent.size()) == QLatin1Char('\\')
           && sameName(key.left(parent.size()), parent);
}

ScriptError openError(const QString &path, const char *what)
{
    return scriptError(ErrorNumber::InvalidProcedureCall,
                       QStringLiteral("Unable to open registry key \"%1\" for %2.").arg(path, QLatin1String(what)));
}

// The data of a value as the file keeps it.
Result<QJsonValue> encodeData(const Variant &value, const QString &type)
{
    if (type == u"REG_SZ"_qs || type == u"REG_EXPAND_SZ"_qs) {
        auto text = TRY(value.toString());
        return QJsonValue(text);
    }
    if (type == u"REG_DWORD"_qs) {
        auto number = TRY(value.toLong());
        return QJsonValue(qint64(quint32(number)));
    }
    if (type == u"REG_QWORD"_qs) {
        auto number = TRY(value.toDouble());
        return QJsonValue(qint64(number));
    }
    if (type == u"REG_BINARY"_qs) {
        QByteArray bytes;
        if (value.isArray()) {
            for (const Variant &item : value.arrayValue().items) {
                auto b = item.toLong();
                if (!b || *b < 0 || *b > 255)
                    return scriptError(ErrorNumber::TypeMismatch);
                bytes.append(char(*b));
            }
        } else {
            auto number = TRY(value.toLong());
            const quint32 n = quint32(number);
            for (int i = 0; i < 4; ++i)
                bytes.append(char((n >> (8 * i)) & 0xFF));
        }
        return QJsonValue(QString::fromLatin1(bytes.toHex()));
    }
    // REG_MULTI_SZ
    QJsonArray lines;
    if (value.isArray()) {
        for (const Variant &item : value.arrayValue().items)
            lines.append(item.text());
    } else {
        auto text = TRY(value.toString());
        lines.append(text);
    }
    return QJsonValue(lines);
}

Variant decodeData(const QJsonValue &data, const QString &type)
{
    if (type == u"REG_DWORD"_qs)
        return Variant::fromLong(qint32(quint32(data.toInteger())));
    if (type == u"REG_QWORD"_qs)
        return Variant::fromDouble(double(data.toInteger()));
    if (type == u"REG_BINARY"_qs) {
        QVector<Variant> items;
        for (char b : QByteArray::fromHex(data.toString().toLatin1()))
            items << Variant::fromInteger(qint16(uchar(b)));
        return Variant::fromList(items);
    }
    if (type == u"REG_MULTI_SZ"_qs) {
        QVector<Variant> items;
        for (const QJsonValue &line : data.toArray())
            items << Variant(line.toString());
        return Variant::fromList(items);
    }
    return Variant(data.toString());
}

} // namespace

RegistryStore::RegistryStore(QString fileName) : m_fileName(std::move(fileName)) {}

Result<RegistryStore::Path> RegistryStore::parsePath(const QString &path)
{
    QStringList parts = path.split(QLatin1Char('\\'));
    if (parts.size() < 2)
        return scriptError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("Invalid root in registry key \"%1\".").arg(path));
    QString root;
    for (const Root &r : kRoots)
        if (sameName(parts.first(), QLatin1String(r.full)) || sameName(parts.first(), QLatin1String(r.shortName)))
            root = QLatin1String(r.full);
    if (root.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("Invalid root in registry key \"%1\".").arg(path));
    Path result;
    result.name = parts.takeLast();
    parts[0] = root;
    // Empty key names in the middle ("A\\B") name no key.
    for (int i = 1; i < parts.size(); ++i)
        if (parts[i].isEmpty())
            return scriptError(ErrorNumber::InvalidProcedureCall,
                               QStringLiteral("Invalid registry key \"%1\".").arg(path));
    result.key = parts.join(QLatin1Char('\\'));
    return result;
}

Result<QVector<RegistryStore::Key>> RegistryStore::load() const
{
    if (m_fileName.isEmpty())
        return m_memory;
    QFile file(m_fileName);
    if (!file.exists())
        return QVector<Key>{};
    if (!file.open(QIODevice::ReadOnly))
        return scriptError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("The registry store %1 cannot be read.").arg(m_fileName));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return scriptError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("The registry store %1 is damaged.").arg(m_fileName));
    QVector<Key> keys;
    for (const QJsonValue &k : document.object().value(u"keys"_qs).toArray()) {
        Key key;
        key.path = k.toObject().value(u"path"_qs).toString();
        for (const QJsonValue &v : k.toObject().value(u"values"_qs).toArray()) {
            const QJsonObject o = v.toObject();
            key.values.append({o.value(u"name"_qs).toString(), o.value(u"type"_qs).toString(), o.value(u"data"_qs)});
        }
        if (!key.path.isEmpty())
            keys.append(key);
    }
    return keys;
}

Status RegistryStore::save(const QVector<Key> &keys)
{
    if (m_fileName.isEmpty()) {
        m_memory = keys;
        return {};
    }
    QJsonArray keyArray;
    for (const Key &key : keys) {
        QJsonArray values;
        for (const Value &v : key.values)
            values.append(QJsonObject{{u"name"_qs, v.name}, {u"type"_qs, v.type}, {u"data"_qs, v.data}});
        keyArray.append(QJsonObject{{u"path"_qs, key.path}, {u"values"_qs, values}});
    }
    const QByteArray bytes = QJsonDocument(QJsonObject{{u"keys"_qs, keyArray}}).toJson(QJsonDocument::Indented);
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return scriptError(ErrorNumber::PathFileAccessError,
                           QStringLiteral("The registry store %1 cannot be written.").arg(m_fileName));
    return {};
}

Status RegistryStore::change(const std::function<Status(QVector<Key> &)> &edit)
{
    std::unique_ptr<QLockFile> lock;
    if (!m_fileName.isEmpty()) {
        QDir().mkpath(QFileInfo(m_fileName).absolutePath());
        lock = std::make_unique<QLockFile>(m_fileName + QStringLiteral(".lock"));
        if (!lock->tryLock(kLockWait))
            return scriptError(ErrorNumber::PathFileAccessError,
                               QStringLiteral("The registry store %1 is in use.").arg(m_fileName));
    }
    QVector<Key> keys = TRY(load());
    TRY(edit(keys));
    return save(keys);
}

Status RegistryStore::write(const QString &path, const Variant &value, const QString &type)
{
    const QString typeName = type.trimmed().toUpper();
    if (!kTypes.contains(typeName))
        return scriptError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("Invalid registry value type \"%1\".").arg(type));
    auto parsed = TRY(parsePath(path));
    auto data = TRY(encodeData(value, typeName));
    return change([&](QVector<Key> &keys) -> Status {
        // The key and every key above it exist afterwards.
        const QStringList parts = parsed.key.split(QLatin1Char('\\'));
        Key *target = nullptr;
        for (int depth = 1; depth <= parts.size(); ++depth) {
            const QString prefix = parts.mid(0, depth).join(QLatin1Char('\\'));
            auto it = std::find_if(keys.begin(), keys.end(), [&](const Key &k) { return sameName(k.path, prefix); });
            if (it == keys.end()) {
                keys.append(Key{prefix, {}});
                it = keys.end() - 1;
            }
            target = &*it;
        }
        auto it = std::find_if(target->values.begin(), target->values.end(),
                               [&](const Value &v) { return sameName(v.name, parsed.name); });
        if (it == target->values.end())
            target->values.append({parsed.name, typeName, data});
        else
            *it = {it->name, typeName, data};
        return {};
    });
}

Result<Variant> RegistryStore::read(const QString &path)
{
    auto parsed = TRY(parsePath(path));
    auto loaded = TRY(load());
    for (const Key &key : loaded) {
        if (!sameName(key.path, parsed.key))
            continue;
        for (const Value &v : key.values)
            if (sameName(v.name, parsed.name))
                return decodeData(v.data, v.type);
        break;
    }
    return openError(path, "reading");
}

Status RegistryStore::remove(const QString &path)
{
    auto parsed = TRY(parsePath(path));
    const bool wholeKey = path.endsWith(QLatin1Char('\\'));
    return change([&](QVector<Key> &keys) -> Status {
        auto key =
            std::find_if(keys.begin(), keys.end(), [&](const Key &k) { return sameName(k.path, parsed.key); });
        if (key == keys.end())
            return openError(path, "deleting");
        if (wholeKey) {
            // A root is not a key of the store's own and is never removed.
            const bool isRoot = !parsed.key.contains(QLatin1Char('\\'));
            const bool hasSubkeys =
                std::any_of(keys.begin(), keys.end(), [&](const Key &k) { return isBelow(k.path, parsed.key); });
            if (isRoot || hasSubkeys)
                return openError(path, "deleting");
            keys.erase(key);
        } else {
            auto value = std::find_if(key->values.begin(), key->values.end(),
                                      [&](const Value &v) { return sameName(v.name, parsed.name); });
            if (value == key->values.end())
                return openError(path, "deleting");
            key->values.erase(value);
        }
        return {};
    });
}

} // namespace sorvane

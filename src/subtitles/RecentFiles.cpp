#include "subtitles/RecentFiles.h"

#include "platform/Registry.h"
#include "core/Variant.h"

namespace sorvane {
namespace {

const QString kValue = QStringLiteral("HKEY_CURRENT_USER\\Software\\Sorvane\\RecentFiles");

} // namespace

QStringList RecentFiles::files() const
{
    if (!m_registry)
        return {};
    Result<Variant> value = m_registry->read(kValue);
    if (!value || !value->isArray())
        return {};
    QStringList out;
    for (const Variant &item : value->arrayValue().items) {
        const QString path = item.text();
        if (!path.isEmpty() && !out.contains(path) && out.size() < kLength)
            out << path;
    }
    return out;
}

bool RecentFiles::add(const QString &path)
{
    if (path.isEmpty())
        return false;
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kLength)
        list.removeLast();
    return store(list);
}

bool RecentFiles::clear()
{
    return store({});
}

bool RecentFiles::store(const QStringList &files)
{
    if (!m_registry)
        return false;
    QVector<Variant> items;
    for (const QString &f : files)
        items << Variant(f);
    return m_registry->write(kValue, Variant::fromList(items), QStringLiteral("REG_MULTI_SZ")).ok();
}

} // namespace sorvane

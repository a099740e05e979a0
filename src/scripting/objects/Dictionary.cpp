#include "scripting/objects/Dictionary.h"

namespace sorvane {

const MemberTable<Dictionary> &Dictionary::members()
{
    using M = HostMember<Dictionary>;
    static const MemberTable<Dictionary> table(
        {
            M{"Item", MemberKind::Indexed, 1, 1, [](Dictionary &d, Arguments &a) -> Result<Variant> { return d.item(a[0]); },
              [](Dictionary &d, Arguments &a, const Variant &v) -> Status {
                  d.setItem(a[0], v);
                  return {};
              }},
            M{"Add", MemberKind::Method, 2, 2,
              [](Dictionary &d, Arguments &a) -> Result<Variant> {
                  if (Status s = d.add(a[0], a[1]); !s)
                      return s.error();
                  return Variant();
              },
              nullptr},
            M{"Exists", MemberKind::Method, 1, 1,
              [](Dictionary &d, Arguments &a) -> Result<Variant> { return Variant(d.exists(a[0])); }, nullptr},
            M{"Remove", MemberKind::Method, 1, 1,
              [](Dictionary &d, Arguments &a) -> Result<Variant> {
                  if (Status s = d.remove(a[0]); !s)
                      return s.error();
                  return Variant();
              },
              nullptr},
            M{"RemoveAll", MemberKind::Method, 0, 0,
              [](Dictionary &d, Arguments &) -> Result<Variant> {
                  d.removeAll();
                  return Variant();
              },
              nullptr},
            M{"Keys", MemberKind::Method, 0, 0,
              [](Dictionary &d, Arguments &) -> Result<Variant> { return Variant::fromList(d.keys()); }, nullptr},
            M{"Items", MemberKind::Method, 0, 0,
              [](Dictionary &d, Arguments &) -> Result<Variant> { return Variant::fromList(d.items()); }, nullptr},
            M{"Count", MemberKind::Property, 0, 0,
              [](Dictionary &d, Arguments &) -> Result<Variant> { return Variant::fromLong(d.count()); }, nullptr},
            M{"Key", MemberKind::Indexed, 1, 1, nullptr,
              [](Dictionary &d, Arguments &a, const Variant &v) -> Status { return d.renameKey(a[0], v); }},
            M{"CompareMode", MemberKind::Property, 0, 0,
              [](Dictionary &d, Arguments &) -> Result<Variant> { return Variant::fromLong(int(d.compareMode())); },
              [](Dictionary &d, Arguments &, const Variant &v) -> Status {
                  Result<qint32> mode = v.toLong();
                  if (!mode)
                      return mode.error();
                  if (*mode < 0 || *mode > 1)
                      return scriptError(5);
                  return d.setCompareMode(CompareMode(*mode));
              }},
        },
        "Item");
    return table;
}

Dictionary::Token Dictionary::tokenOf(const Variant &key) const
{
    switch (key.kind()) {
    case Variant::Kind::String:
        return {1, m_mode == CompareMode::Text ? key.stringValue().toCaseFolded() : key.stringValue()};
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::Single:
    case Variant::Kind::Double:
        return {2, formatNumber(key.toDouble().valueOr(0), 17)};
    case Variant::Kind::Boolean:
        return {3, key.boolValue() ? QStringLiteral("1") : QStringLiteral("0")};
    case Variant::Kind::Date:
        return {4, formatNumber(key.dateValue(), 17)};
    case Variant::Kind::Object:
        return {5, QString::number(quintptr(key.objectValue().get()), 16)};
    case Variant::Kind::Null:
        return {6, QString()};
    case Variant::Kind::Empty:
    case Variant::Kind::Array:
        break;
    }
    return {0, QString()};
}

Variant Dictionary::item(const Variant &key)
{
    if (const Variant *value = find(key))
        return *value;
    setItem(key, Variant());
    return Variant();
}

void Dictionary::setItem(const Variant &key, Variant value)
{
    // One lookup that inserts when absent.
    const qsizetype before = m_index.size();
    qsizetype &position = m_index[tokenOf(key)];
    if (m_index.size() == before) {
        m_entries[position].value = std::move(value);
        return;
    }
    position = m_entries.size();
    m_entries.append(Entry{key, std::move(value), true});
}

void Dictionary::setTextItem(const QString &key, const Variant &value)
{
    Token token{1, m_mode == CompareMode::Text ? key.toCaseFolded() : key};
    const qsizetype before = m_index.size();
    qsizetype &position = m_index[token];
    if (m_index.size() == before) {
        m_entries[position].value = value;
        return;
    }
    position = m_entries.size();
    m_entries.append(Entry{Variant(key), value, true});
}

void Dictionary::reserve(qsizetype n)
{
    m_index.reserve(n);
    m_entries.reserve(n);
}

const Variant *Dictionary::find(const Variant &key) const
{
    auto it = m_index.constFind(tokenOf(key));
    return it == m_index.cend() ? nullptr : &m_entries[*it].value;
}

Status Dictionary::add(const Variant &key, Variant value)
{
    const qsizetype before = m_index.size();
    qsizetype &position = m_index[tokenOf(key)];
    if (m_index.size() == before)
        return scriptError(457);
    position = m_entries.size();
    m_entries.append(Entry{key, std::move(value), true});
    return {};
}

bool Dictionary::exists(const Variant &key) const
{
    return m_index.contains(tokenOf(key));
}

Status Dictionary::remove(const Variant &key)
{
    auto it = m_index.find(tokenOf(key));
    if (it == m_index.end())
        return scriptError(32811);
    Entry &entry = m_entries[*it];
    entry.alive = false;
    entry.key = Variant();
    entry.value = Variant();
    m_index.erase(it);
    if (++m_dead > 32 && m_dead > m_entries.size() / 2)
        compact();
    return {};
}

void Dictionary::removeAll()
{
    m_entries.clear();
    m_index.clear();
    m_dead = 0;
}

Status Dictionary::renameKey(const Variant &oldKey, const Variant &newKey)
{
    auto it = m_index.find(tokenOf(oldKey));
    if (it == m_index.end())
        return scriptError(32811);
    const Token newToken = tokenOf(newKey);
    if (m_index.contains(newToken))
        return scriptError(457);
    const qsizetype position = *it;
    m_index.erase(it);
    m_index.insert(newToken, position);
    m_entries[position].key = newKey;
    return {};
}

QVector<Variant> Dictionary::keys() const
{
    QVector<Variant> result;
    result.reserve(count());
    forEach([&](const Variant &key, const Variant &) { result.append(key); });
    return result;
}

QVector<Variant> Dictionary::items() const
{
    QVector<Variant> result;
    result.reserve(count());
    forEach([&](const Variant &, const Variant &value) { result.append(value); });
    return result;
}

Status Dictionary::setCompareMode(CompareMode mode)
{
    if (count() > 0)
        return scriptError(5);
    m_mode = mode;
    return {};
}

void Dictionary::compact()
{
    QVector<Entry> live;
    live.reserve(m_entries.size() - m_dead);
    m_index.clear();
    for (Entry &e : m_entries) {
        if (!e.alive)
            continue;
        m_index.insert(tokenOf(e.key), live.size());
        live.append(std::move(e));
    }
    m_entries = std::move(live);
    m_dead = 0;
}

} // namespace sorvane

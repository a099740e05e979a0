#include "scripting/objects/Dictionary.h"

#include <cstring>
#include <utility>

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
    Token t;
    switch (key.kind()) {
    case Variant::Kind::String:
        t.kind = 1;
        if (m_mode == CompareMode::Text) {
            t.owned = key.stringValue().toCaseFolded();
            t.text = t.owned;
        } else {
            t.text = key.stringValue();
        }
        return t;
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::Single:
    case Variant::Kind::Double:
        t.kind = 2;
        t.owned = formatNumber(key.toDouble().valueOr(0), 17);
        break;
    case Variant::Kind::Boolean:
        t.kind = 3;
        t.owned = key.boolValue() ? QStringLiteral("1") : QStringLiteral("0");
        break;
    case Variant::Kind::Date:
        t.kind = 4;
        t.owned = formatNumber(key.dateValue(), 17);
        break;
    case Variant::Kind::Object:
        t.kind = 5;
        t.owned = QString::number(quintptr(key.objectValue().get()), 16);
        break;
    case Variant::Kind::Null:
        t.kind = 6;
        break;
    case Variant::Kind::Empty:
    case Variant::Kind::Array:
        break;
    }
    t.text = t.owned;
    return t;
}

size_t Dictionary::hashOf(const Token &token)
{
    // 64-bit multiply-and-fold over the text's code units, eight bytes at a
    // time, with a final mix so that the low bits the index uses vary.
    constexpr quint64 kMultiplier = 0x9E3779B97F4A7C15ull;
    const char16_t *p = token.text.utf16();
    qsizetype n = token.text.size();
    quint64 h = quint64(token.kind) * kMultiplier ^ quint64(n);
    while (n >= 4) {
        quint64 chunk;
        std::memcpy(&chunk, p, sizeof chunk);
        h = (h ^ chunk) * kMultiplier;
        h ^= h >> 29;
        p += 4;
        n -= 4;
    }
    quint64 tail = 0;
    for (qsizetype i = 0; i < n; ++i)
        tail |= quint64(p[i]) << (16 * i);
    h = (h ^ tail) * kMultiplier;
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    h ^= h >> 32;
    return size_t(h);
}

qsizetype Dictionary::slotOf(const Token &token, size_t hash, qsizetype *free) const
{
    if (m_slots.isEmpty()) {
        if (free)
            *free = -1;
        return -1;
    }
    const size_t mask = size_t(m_slots.size()) - 1;
    const qint32 *index = m_slots.constData();
    qsizetype firstGone = -1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const qint32 at = index[i];
        if (at == kFree) {
            if (free)
                *free = firstGone >= 0 ? firstGone : qsizetype(i);
            return -1;
        }
        if (at == kGone) {
            if (firstGone < 0)
                firstGone = qsizetype(i);
            continue;
        }
        const Entry &e = m_entries.at(at);
        if (e.hash == hash && e.tokenKind == token.kind && tokenText(e) == token.text)
            return qsizetype(i);
    }
}

Dictionary::Entry &Dictionary::insert(qsizetype free, const Variant &key, Token &&token, size_t hash, Variant value)
{
    // Half the index at most in use, so that probes stay short.
    if (free < 0 || (m_filled + 1) * 2 > m_slots.size()) {
        rebuildIndex(m_live + 1);
        slotOf(token, hash, &free);
    }
    const qint32 position = qint32(m_entries.size());
    if (m_slots[free] == kFree)
        ++m_filled;
    m_slots[free] = position;
    Entry e;
    e.key = key;
    e.value = std::move(value);
    e.hash = hash;
    e.tokenKind = token.kind;
    if (token.kind != 1 || m_mode == CompareMode::Text)
        e.token = token.owned;
    m_entries.append(std::move(e));
    ++m_live;
    return m_entries.last();
}

void Dictionary::rebuildIndex(qsizetype n)
{
    qsizetype size = 8;
    while (size < n * 2 + 2)
        size *= 2;
    m_slots.fill(kFree, size);
    const size_t mask = size_t(size) - 1;
    qint32 *index = m_slots.data();
    for (qsizetype position = 0; position < m_entries.size(); ++position) {
        const Entry &e = m_entries.at(position);
        if (!e.alive)
            continue;
        size_t i = e.hash & mask;
        while (index[i] != kFree)
            i = (i + 1) & mask;
        index[i] = qint32(position);
    }
    m_filled = m_live;
}

Variant Dictionary::item(const Variant &key)
{
    Token token = tokenOf(key);
    const size_t hash = hashOf(token);
    qsizetype free = -1;
    const qsizetype slot = slotOf(token, hash, &free);
    if (slot >= 0)
        return m_entries.at(m_slots.at(slot)).value;
    insert(free, key, std::move(token), hash, Variant());
    return Variant();
}

void Dictionary::setItem(const Variant &key, Variant value)
{
    // One lookup that inserts when absent.
    Token token = tokenOf(key);
    const size_t hash = hashOf(token);
    qsizetype free = -1;
    const qsizetype slot = slotOf(token, hash, &free);
    if (slot >= 0) {
        m_entries[m_slots.at(slot)].value = std::move(value);
        return;
    }
    insert(free, key, std::move(token), hash, std::move(value));
}

void Dictionary::setTextItem(const QString &key, const Variant &value)
{
    Token token;
    token.kind = 1;
    if (m_mode == CompareMode::Text) {
        token.owned = key.toCaseFolded();
        token.text = token.owned;
    } else {
        token.text = key;
    }
    const size_t hash = hashOf(token);
    qsizetype free = -1;
    const qsizetype slot = slotOf(token, hash, &free);
    if (slot >= 0) {
        m_entries[m_slots.at(slot)].value = value;
        return;
    }
    insert(free, Variant(key), std::move(token), hash, value);
}

void Dictionary::reserve(qsizetype n)
{
    m_entries.reserve(n);
    if (n * 2 > m_slots.size())
        rebuildIndex(n);
}

const Variant *Dictionary::find(const Variant &key) const
{
    const Token token = tokenOf(key);
    const qsizetype slot = slotOf(token, hashOf(token));
    return slot < 0 ? nullptr : &m_entries.at(m_slots.at(slot)).value;
}

Status Dictionary::add(const Variant &key, Variant value)
{
    Token token = tokenOf(key);
    const size_t hash = hashOf(token);
    qsizetype free = -1;
    if (slotOf(token, hash, &free) >= 0)
        return scriptError(457);
    insert(free, key, std::move(token), hash, std::move(value));
    return {};
}

bool Dictionary::exists(const Variant &key) const
{
    const Token token = tokenOf(key);
    return slotOf(token, hashOf(token)) >= 0;
}

Status Dictionary::remove(const Variant &key)
{
    const Token token = tokenOf(key);
    const qsizetype slot = slotOf(token, hashOf(token));
    if (slot < 0)
        return scriptError(32811);
    Entry &entry = m_entries[m_slots.at(slot)];
    m_slots[slot] = kGone;
    entry.alive = false;
    --m_live;
    // The entry's values go once it is out of the index: a key or value
    // whose end runs script code finds the dictionary consistent.
    const Variant oldKey = std::exchange(entry.key, Variant());
    const Variant oldValue = std::exchange(entry.value, Variant());
    entry.token = QString();
    if (++m_dead > 32 && m_dead > m_entries.size() / 2)
        compact();
    return {};
}

void Dictionary::removeAll()
{
    // Emptied first, the old entries go after: their ends may run script code.
    const QVector<Entry> old = std::exchange(m_entries, QVector<Entry>());
    m_slots.clear();
    m_live = 0;
    m_filled = 0;
    m_dead = 0;
}

Status Dictionary::renameKey(const Variant &oldKey, const Variant &newKey)
{
    const Token oldToken = tokenOf(oldKey);
    const qsizetype oldSlot = slotOf(oldToken, hashOf(oldToken));
    if (oldSlot < 0)
        return scriptError(32811);
    Token newToken = tokenOf(newKey);
    const size_t newHash = hashOf(newToken);
    if (slotOf(newToken, newHash) >= 0)
        return scriptError(457);
    const qint32 position = m_slots.at(oldSlot);
    m_slots[oldSlot] = kGone;
    Entry &e = m_entries[position];
    const Variant old = std::exchange(e.key, newKey);
    e.hash = newHash;
    e.tokenKind = newToken.kind;
    e.token = newToken.kind != 1 || m_mode == CompareMode::Text ? newToken.owned : QString();
    qsizetype free = -1;
    slotOf(newToken, newHash, &free);
    if (free < 0 || (m_filled + 1) * 2 > m_slots.size()) {
        rebuildIndex(m_live + 1); // the entry is in m_entries: the rebuild places it
        return {};
    }
    if (m_slots[free] == kFree)
        ++m_filled;
    m_slots[free] = position;
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
    for (Entry &e : m_entries)
        if (e.alive)
            live.append(std::move(e));
    m_entries = std::move(live);
    m_dead = 0;
    rebuildIndex(m_live);
}

} // namespace sorvane

#include "core/Dictionary.h"

#include <algorithm>
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
                  TRY(d.add(a[0], a[1]));
                  return Variant();
              },
              nullptr},
            M{"Exists", MemberKind::Method, 1, 1,
              [](Dictionary &d, Arguments &a) -> Result<Variant> { return Variant(d.exists(a[0])); }, nullptr},
            M{"Remove", MemberKind::Method, 1, 1,
              [](Dictionary &d, Arguments &a) -> Result<Variant> {
                  TRY(d.remove(a[0]));
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
                  qint32 mode = TRY(v.toLong());
                  if (mode < 0 || mode > 1)
                      return scriptError(ErrorNumber::InvalidProcedureCall);
                  return d.setCompareMode(CompareMode(mode));
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
    case Variant::Kind::Byte:
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::Single:
    case Variant::Kind::Double:
    case Variant::Kind::Currency:
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

namespace {

// One 64 x 64 -> 128-bit multiply, folded: every bit of either side reaches
// the low bits, which are all the index uses.
inline quint64 mixed(quint64 a, quint64 b)
{
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return quint64(product) ^ quint64(product >> 64);
}

} // namespace

size_t Dictionary::hashOf(quint8 kind, QStringView text)
{
    // Keys are mostly short (time keys, setting names): the text is taken
    // eight bytes at a time, with a seed chosen per run as Qt's own hashes
    // are.
    static const quint64 seed = quint64(QHashSeed::globalSeed()) | 1;
    constexpr quint64 k0 = 0xa0761d6478bd642full, k1 = 0xe7037ed1a0b428dbull;
    const auto *p = reinterpret_cast<const unsigned char *>(text.utf16());
    size_t n = size_t(text.size()) * 2;
    quint64 h = mixed(seed ^ k0, quint64(n) ^ kind ^ k1);
    for (; n >= 16; n -= 16, p += 16) {
        quint64 a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        h = mixed(a ^ h ^ k0, b ^ k1);
    }
    quint64 a = 0, b = 0;
    // An empty text may have no characters to point at.
    if (n > 0)
        std::memcpy(&a, p, std::min<size_t>(n, 8));
    if (n > 8)
        std::memcpy(&b, p + 8, n - 8);
    return size_t(mixed(a ^ h ^ k1, b ^ k0 ^ seed));
}

qsizetype Dictionary::slotOf(quint8 kind, QStringView text, size_t hash) const
{
    const qsizetype mask = m_slots.size() - 1;
    const quint32 low = quint32(hash);
    for (qsizetype at = qsizetype(hash) & mask;; at = (at + 1) & mask) {
        const Slot &slot = m_slots[at];
        if (slot.entry == 0)
            return at;
        if (slot.hash == low && m_entries[slot.entry - 1].matches(kind, text))
            return at;
    }
}

void Dictionary::rebuildIndex(qsizetype minimumSlots)
{
    qsizetype size = 16;
    while (size < minimumSlots)
        size *= 2;
    m_slots.fill(Slot{}, size);
    const qsizetype mask = size - 1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &e = m_entries[i];
        if (!e.alive)
            continue;
        qsizetype at = qsizetype(e.hash) & mask;
        while (m_slots[at].entry != 0)
            at = (at + 1) & mask;
        m_slots[at] = Slot{quint32(e.hash), quint32(i + 1)};
    }
}

void Dictionary::insertNew(qsizetype slot, Variant key, const Variant &value, Token &&token, size_t hash)
{
    const bool ownText = token.kind == 1 && m_mode == CompareMode::Binary;
    m_entries.emplace_back(std::move(key), value, ownText ? QString() : std::move(token.text), hash, token.kind, ownText);
    ++m_live;
    if (m_live * 2 > m_slots.size()) {
        rebuildIndex(m_slots.size() * 2);
        return;
    }
    m_slots[slot] = Slot{quint32(hash), quint32(m_entries.size())};
}

void Dictionary::eraseSlot(qsizetype slot)
{
    // Later slots of the same run move back into the gap, so that every key
    // stays reachable from its home slot without marks for removed keys.
    const qsizetype mask = m_slots.size() - 1;
    qsizetype gap = slot;
    for (qsizetype at = (gap + 1) & mask; m_slots[at].entry != 0; at = (at + 1) & mask) {
        const qsizetype home = qsizetype(m_entries[m_slots[at].entry - 1].hash) & mask;
        // The entry may fill the gap when its home is not cyclically in (gap, at].
        const bool between = gap <= at ? (home > gap && home <= at) : (home > gap || home <= at);
        if (!between) {
            m_slots[gap] = m_slots[at];
            gap = at;
        }
    }
    m_slots[gap] = Slot{};
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
    if (m_slots.isEmpty())
        rebuildIndex(16);
    Token token = tokenOf(key);
    const size_t hash = hashOf(token);
    const qsizetype slot = slotOf(token, hash);
    if (m_slots[slot].entry != 0) {
        // The old value goes once the entry holds the new one: its end may
        // run script code that reads this dictionary.
        Entry &entry = m_entries[m_slots[slot].entry - 1];
        const Variant old = std::exchange(entry.value, std::move(value));
        entry.deferred = false;
        return;
    }
    insertNew(slot, key, value, std::move(token), hash);
}

void Dictionary::setTextItem(const QString &key, const Variant &value)
{
    setTextEntry(key, nullptr, value, false);
}

void Dictionary::setDeferredTextItem(const TextKey &key, qint32 index)
{
    setTextEntry(key.text, &key.hash, Variant::fromLong(index), true);
}

void Dictionary::setTextEntry(const QString &key, const size_t *exactHash, const Variant &value, bool deferred)
{
    if (m_slots.isEmpty())
        rebuildIndex(16);
    // Looked up through the text itself: no copy of the key is made unless
    // it is added.
    const QString folded = m_mode == CompareMode::Text ? key.toCaseFolded() : QString();
    const QStringView text = m_mode == CompareMode::Text ? QStringView(folded) : QStringView(key);
    const size_t hash = exactHash && m_mode == CompareMode::Binary ? *exactHash : hashOf(1, text);
    const qsizetype slot = slotOf(1, text, hash);
    if (m_slots[slot].entry != 0) {
        Entry &entry = m_entries[m_slots[slot].entry - 1];
        const Variant old = std::exchange(entry.value, value);
        entry.deferred = deferred;
        return;
    }
    insertNew(slot, Variant(key), value, Token{1, folded}, hash);
    m_entries.back().deferred = deferred;
}

void Dictionary::setDeferredValues(std::shared_ptr<const DeferredValues> source)
{
    if (m_deferred && source != m_deferred)
        for (const Entry &e : m_entries)
            if (e.alive && e.deferred)
                makeValue(e);
    m_deferred = std::move(source);
}

void Dictionary::makeValue(const Entry &e) const
{
    // Only the dictionary's own code runs here, never a script's, so the
    // entry stays where it is.
    e.value = m_deferred ? m_deferred->valueAt(e.value.longValue()) : Variant();
    e.deferred = false;
}

void Dictionary::reserve(qsizetype n)
{
    m_entries.reserve(size_t(std::max<qsizetype>(n, 0)));
    if (n * 2 > m_slots.size())
        rebuildIndex(n * 2);
}

const Variant *Dictionary::find(const Variant &key) const
{
    if (m_live == 0)
        return nullptr;
    const Token token = tokenOf(key);
    const Slot &slot = m_slots[slotOf(token, hashOf(token))];
    return slot.entry == 0 ? nullptr : &valueOf(m_entries[slot.entry - 1]);
}

Status Dictionary::add(const Variant &key, Variant value)
{
    if (m_slots.isEmpty())
        rebuildIndex(16);
    Token token = tokenOf(key);
    const size_t hash = hashOf(token);
    const qsizetype slot = slotOf(token, hash);
    if (m_slots[slot].entry != 0)
        return scriptError(ErrorNumber::KeyAlreadyExists);
    insertNew(slot, key, value, std::move(token), hash);
    return {};
}

bool Dictionary::exists(const Variant &key) const
{
    if (m_live == 0)
        return false;
    const Token token = tokenOf(key);
    return m_slots[slotOf(token, hashOf(token))].entry != 0;
}

Status Dictionary::remove(const Variant &key)
{
    if (m_live == 0)
        return scriptError(ErrorNumber::ElementNotFound);
    const Token token = tokenOf(key);
    const qsizetype slot = slotOf(token, hashOf(token));
    if (m_slots[slot].entry == 0)
        return scriptError(ErrorNumber::ElementNotFound);
    Entry &entry = m_entries[m_slots[slot].entry - 1];
    eraseSlot(slot);
    // The key and value go last, with the dictionary whole again: their ends
    // may run script code that reads it.
    const Entry gone = std::exchange(entry, Entry{});
    entry.alive = false;
    --m_live;
    if (++m_dead > 32 && m_dead > qsizetype(m_entries.size()) / 2)
        compact();
    return {};
}

void Dictionary::removeAll()
{
    // The entries go once the dictionary is empty, since their ends may run
    // script code that reads it; the room stays, as a cue table is emptied
    // to be filled again at once.
    std::vector<Entry> gone;
    gone.swap(m_entries);
    std::fill(m_slots.begin(), m_slots.end(), Slot{});
    m_live = 0;
    m_dead = 0;
    gone.clear();
    if (m_entries.empty() && m_entries.capacity() == 0)
        m_entries.swap(gone);
}

Status Dictionary::renameKey(const Variant &oldKey, const Variant &newKey)
{
    if (m_live == 0)
        return scriptError(ErrorNumber::ElementNotFound);
    const Token oldToken = tokenOf(oldKey);
    const qsizetype oldSlot = slotOf(oldToken, hashOf(oldToken));
    if (m_slots[oldSlot].entry == 0)
        return scriptError(ErrorNumber::ElementNotFound);
    Token newToken = tokenOf(newKey);
    const size_t newHash = hashOf(newToken);
    if (m_slots[slotOf(newToken, newHash)].entry != 0)
        return scriptError(ErrorNumber::KeyAlreadyExists);
    const quint32 position = m_slots[oldSlot].entry;
    eraseSlot(oldSlot);
    Entry &entry = m_entries[position - 1];
    m_slots[slotOf(newToken, newHash)] = Slot{quint32(newHash), position};
    const Variant gone = std::exchange(entry.key, newKey);
    entry.kind = newToken.kind;
    entry.hash = quint32(newHash);
    entry.ownText = newToken.kind == 1 && m_mode == CompareMode::Binary;
    entry.tokenText = entry.ownText ? QString() : std::move(newToken.text);
    return {};
}

QVector<Variant> Dictionary::keys() const
{
    QVector<Variant> result;
    result.reserve(count());
    for (const Entry &e : m_entries)
        if (e.alive)
            result.append(e.key);
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
        return scriptError(ErrorNumber::InvalidProcedureCall);
    m_mode = mode;
    return {};
}

void Dictionary::compact()
{
    std::vector<Entry> live;
    live.reserve(m_entries.size() - size_t(m_dead));
    for (Entry &e : m_entries)
        if (e.alive)
            live.push_back(std::move(e));
    m_entries = std::move(live);
    m_dead = 0;
    rebuildIndex(m_slots.size());
}

} // namespace sorvane

#pragma once

#include "scripting/objects/HostObject.h"
#include "scripting/objects/Variant.h"

#include <QVector>

namespace sorvane {

// The scripts' string-keyed dictionary: keys keep the order in which they
// were added, reading an absent key through item() adds it as Empty, and
// keys compare exactly unless the compare mode is Text.
// Serves the settings, the cue tables and "Scripting.Dictionary".
class Dictionary : public HostObject<Dictionary> {
public:
    enum class CompareMode { Binary = 0, Text = 1 };

    QString typeName() const override { return QStringLiteral("Dictionary"); }
    static const MemberTable<Dictionary> &members();
    // For Each visits the keys.
    Result<QVector<Variant>> elements() override { return keys(); }

    // Item(key): the value; an absent key is added with Empty.
    Variant item(const Variant &key);
    // Item(key) = value: replaces the value, or adds the key at the end.
    void setItem(const Variant &key, Variant value);
    // setItem() with a text key, without a Variant key per call: the cue
    // table's load writes one per covered second into two tables.
    void setTextItem(const QString &key, const Variant &value);
    // Room for `n` keys; the content and its order are unchanged.
    void reserve(qsizetype n);
    // The value without adding the key; nullptr when absent.
    const Variant *find(const Variant &key) const;

    // Add(key, value): error 457 when the key is present.
    Status add(const Variant &key, Variant value);
    bool exists(const Variant &key) const;
    // Remove(key): error 32811 when the key is absent.
    Status remove(const Variant &key);
    void removeAll();
    // Key(old) = new: renames a key in place; 32811 when absent, 457 when taken.
    Status renameKey(const Variant &oldKey, const Variant &newKey);

    QVector<Variant> keys() const;
    QVector<Variant> items() const;
    int count() const { return int(m_live); }

    CompareMode compareMode() const { return m_mode; }
    // Only an empty dictionary may change its mode (error 5 otherwise).
    Status setCompareMode(CompareMode mode);

    // Visits the entries in order.
    template <typename F>
    void forEach(F &&visit) const
    {
        for (const Entry &e : m_entries)
            if (e.alive)
                visit(e.key, e.value);
    }

private:
    // What a key is compared by: its sort (text, number, Boolean, date,
    // object, Null, Empty) and a text: a text key's own (case-folded in
    // Text mode), a number's exact digits, an object's address.
    struct Token {
        quint8 kind = 0;
        QStringView text;
        QString owned; // the text, when it is not the key's own
    };

    struct Entry {
        Variant key;
        Variant value;
        QString token; // the compared text when it is not the key's own text
        size_t hash = 0;
        quint8 tokenKind = 0;
        bool alive = true;
    };

    Token tokenOf(const Variant &key) const;
    static size_t hashOf(const Token &token);
    QStringView tokenText(const Entry &e) const
    {
        return e.tokenKind == 1 && m_mode == CompareMode::Binary ? QStringView(e.key.stringValue()) : e.token;
    }
    // The slot of the index holding the key's entry, or, when absent, -1
    // with `*free` set to the slot it would take.
    qsizetype slotOf(const Token &token, size_t hash, qsizetype *free = nullptr) const;
    // Adds an entry for a key known to be absent, at `free` (a slot from slotOf).
    Entry &insert(qsizetype free, const Variant &key, Token &&token, size_t hash, Variant value);
    // Rebuilds the index with room for `n` entries (tombstones go).
    void rebuildIndex(qsizetype n);
    void compact();

    // The entries in the order their keys came; removed ones stay, dead,
    // until compact(). The index is open addressing over positions in
    // m_entries: kFree, kGone (a removed entry's slot) or a position.
    static constexpr qint32 kFree = -1;
    static constexpr qint32 kGone = -2;
    QVector<Entry> m_entries;
    QVector<qint32> m_slots;
    qsizetype m_live = 0;
    qsizetype m_filled = 0; // slots not free: positions and tombstones
    qsizetype m_dead = 0;
    CompareMode m_mode = CompareMode::Binary;
};

} // namespace sorvane

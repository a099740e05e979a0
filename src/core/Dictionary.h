#pragma once

#include "core/HostObject.h"
#include "core/Variant.h"

#include <QVector>

#include <memory>
#include <vector>

namespace sorvane {

// Makes the values a dictionary keeps in a compact form until one is read:
// a cue table holds a long text for each of up to 86,400 keys, few of which
// are ever read.
class DeferredValues {
public:
    virtual ~DeferredValues() = default;
    virtual Variant valueAt(qint32 index) const = 0;
};

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
    // The source of the values setDeferredTextItem() names. Values still
    // deferred to an earlier source are made before it goes.
    void setDeferredValues(std::shared_ptr<const DeferredValues> source);
    // A text key with the hash of its exact text taken once, for writing
    // the same key into several dictionaries.
    struct TextKey {
        QString text;
        size_t hash = 0;
    };
    static TextKey textKey(QString text)
    {
        const size_t hash = hashOf(1, text);
        return {std::move(text), hash};
    }
    // setTextItem() with the source's value `index`, made when first read;
    // reading it gives what setTextItem() with that value would have.
    void setDeferredTextItem(const TextKey &key, qint32 index);
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
                visit(e.key, valueOf(e));
    }

private:
    // What keys compare by: the kind of key and a text of it (the key's own
    // string for exact string keys, so that no copy is made).
    struct Token {
        quint8 kind = 0;
        QString text;
        bool operator==(const Token &) const = default;
    };

    struct Entry {
        Entry() = default;
        Entry(Variant &&k, const Variant &v, QString &&text, size_t h, quint8 kind, bool ownText)
            : key(std::move(k)), value(v), tokenText(std::move(text)), hash(quint32(h)), kind(kind), ownText(ownText)
        {
        }
        QStringView text() const { return ownText ? QStringView(key.stringValue()) : QStringView(tokenText); }
        bool matches(quint8 k, QStringView t) const { return kind == k && text() == t; }

        Variant key;
        // For a deferred value, its index in the deferred source until it
        // is first read.
        mutable Variant value;
        // The token's text, unless it is the key's own string (exact string
        // keys): then it is not kept twice.
        QString tokenText;
        // The low bits of the token's hash: all the index ever uses.
        quint32 hash = 0;
        quint8 kind = 0;
        bool ownText = false;
        bool alive = true;
        mutable bool deferred = false;
    };

    // The entry's value, made first when it is deferred.
    const Variant &valueOf(const Entry &e) const
    {
        if (e.deferred)
            makeValue(e);
        return e.value;
    }
    void makeValue(const Entry &e) const;
    // `exactHash`: hashOf(1, key) when the caller has it.
    void setTextEntry(const QString &key, const size_t *exactHash, const Variant &value, bool deferred);

    // A slot of the index: the low bits of an entry's hash and its position
    // plus one; zero marks a free slot.
    struct Slot {
        quint32 hash = 0;
        quint32 entry = 0;
    };

    Token tokenOf(const Variant &key) const;
    static size_t hashOf(quint8 kind, QStringView text);
    static size_t hashOf(const Token &token) { return hashOf(token.kind, token.text); }
    // The slot holding the token, or the free slot where it would go.
    qsizetype slotOf(quint8 kind, QStringView text, size_t hash) const;
    qsizetype slotOf(const Token &token, size_t hash) const { return slotOf(token.kind, token.text, hash); }
    // Adds a new entry whose token is not present.
    void insertNew(qsizetype slot, Variant key, const Variant &value, Token &&token, size_t hash);
    void eraseSlot(qsizetype slot);
    void rebuildIndex(qsizetype minimumSlots);
    void compact();

    std::vector<Entry> m_entries;
    // Open addressing with linear probing, at most half full; a power of two
    // long, or empty before the first key.
    QVector<Slot> m_slots;
    std::shared_ptr<const DeferredValues> m_deferred;
    qsizetype m_live = 0;
    qsizetype m_dead = 0;
    CompareMode m_mode = CompareMode::Binary;
};

} // namespace sorvane

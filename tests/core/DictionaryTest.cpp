#include "core/Dictionary.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace sorvane;

namespace {

QStringList keyTexts(const Dictionary &d)
{
    QStringList out;
    for (const Variant &k : d.keys())
        out << k.text();
    return out;
}

TEST(Dictionary, KeysCompareExactly)
{
    Dictionary d;
    d.setItem("Color", "cyan");
    EXPECT_TRUE(d.exists("Color"));
    EXPECT_FALSE(d.exists("color"));
    // Reading an absent key adds it, empty, at the end.
    EXPECT_TRUE(d.item("color").isEmpty());
    EXPECT_EQ(keyTexts(d), (QStringList{"Color", "color"}));
    EXPECT_EQ(d.item("Color"), Variant("cyan"));
}

TEST(Dictionary, ReplacingKeepsTheKeysPlace)
{
    Dictionary d;
    d.setItem("a", 1);
    d.setItem("b", 2);
    d.setItem("a", 3);
    EXPECT_EQ(keyTexts(d), (QStringList{"a", "b"}));
    EXPECT_EQ(d.items(), (QVector<Variant>{3, 2}));
    EXPECT_EQ(d.count(), 2);
}

TEST(Dictionary, ErrorsOfTheScriptsDictionary)
{
    Dictionary d;
    EXPECT_TRUE(d.add("k", 1).ok());
    EXPECT_EQ(d.add("k", 2).error().number, 457);
    EXPECT_EQ(d.item("k"), Variant(1));
    EXPECT_EQ(d.remove("missing").error().number, 32811);
    EXPECT_EQ(d.renameKey("missing", "x").error().number, 32811);
    d.setItem("other", 0);
    EXPECT_EQ(d.renameKey("k", "other").error().number, 457);
    EXPECT_EQ(d.setCompareMode(Dictionary::CompareMode::Text).error().number, 5);
}

TEST(Dictionary, RemoveAndRenameKeepOrder)
{
    Dictionary d;
    for (int i = 0; i < 200; ++i)
        d.setItem(QString::number(i), i);
    for (int i = 0; i < 200; i += 2)
        ASSERT_TRUE(d.remove(QString::number(i)).ok());
    ASSERT_EQ(d.count(), 100);
    EXPECT_EQ(d.keys().first(), Variant("1"));
    EXPECT_EQ(d.keys().last(), Variant("199"));
    EXPECT_EQ(d.item("101"), Variant(101));
    ASSERT_TRUE(d.renameKey("3", "three").ok());
    EXPECT_EQ(d.keys()[1], Variant("three"));
    EXPECT_FALSE(d.exists("3"));
    d.removeAll();
    EXPECT_EQ(d.count(), 0);
    EXPECT_TRUE(d.keys().isEmpty());
}

TEST(Dictionary, KeyKinds)
{
    Dictionary d;
    d.setItem(1, "long");
    EXPECT_TRUE(d.exists(1.0));
    EXPECT_TRUE(d.exists(Variant::fromInteger(1)));
    EXPECT_FALSE(d.exists("1"));
    d.setItem("1", "text");
    EXPECT_EQ(d.count(), 2);
    EXPECT_EQ(d.keys()[0], Variant(1)); // the key keeps its kind
}

TEST(Dictionary, TextModeIgnoresCase)
{
    Dictionary d;
    ASSERT_TRUE(d.setCompareMode(Dictionary::CompareMode::Text).ok());
    d.setItem("Größe", 1);
    EXPECT_TRUE(d.exists("GRÖßE"));
    d.setItem("ABC", 2);
    EXPECT_EQ(d.item("abc"), Variant(2));
    EXPECT_EQ(d.count(), 2);
}

// The text-key write gives the same table as setItem() with a text Variant,
// in both compare modes, with or without room reserved first.
TEST(Dictionary, TextKeyWriteMatchesVariantKeyWrite)
{
    struct Case {
        Dictionary::CompareMode mode;
        qsizetype reserved;
    };
    const Case cases[] = {{Dictionary::CompareMode::Binary, 0},
                          {Dictionary::CompareMode::Binary, 100},
                          {Dictionary::CompareMode::Text, 0},
                          {Dictionary::CompareMode::Text, 3}};
    const QList<QPair<QString, int>> writes = {{"b", 1}, {"A", 2}, {"a", 3}, {"b", 4}, {"1", 5}, {"Größe", 6}, {"GRÖßE", 7}};
    for (const Case &c : cases) {
        Dictionary viaVariant, viaText;
        ASSERT_TRUE(viaVariant.setCompareMode(c.mode).ok());
        ASSERT_TRUE(viaText.setCompareMode(c.mode).ok());
        viaText.reserve(c.reserved);
        viaText.setItem(1, "number"); // a number key stays apart from the text "1"
        viaVariant.setItem(1, "number");
        for (const auto &[key, value] : writes) {
            viaVariant.setItem(Variant(key), value);
            viaText.setTextItem(key, value);
        }
        EXPECT_EQ(viaText.keys(), viaVariant.keys()) << int(c.mode) << " " << c.reserved;
        EXPECT_EQ(viaText.items(), viaVariant.items()) << int(c.mode) << " " << c.reserved;
        EXPECT_EQ(viaText.count(), c.mode == Dictionary::CompareMode::Text ? 5 : 7);
        EXPECT_TRUE(viaText.exists("Größe"));
        EXPECT_TRUE(viaText.remove("b").ok());
        EXPECT_FALSE(viaText.exists("b"));
    }
}

// Deferred values: each index times a factor, plus one.
class Scaled : public DeferredValues {
public:
    explicit Scaled(int factor) : factor(factor) {}
    Variant valueAt(qint32 index) const override { return Variant(index * factor + 1); }
    int factor;
};

// Long runs of writes, removals and renames over a few hundred keys, as
// the scripts' dictionaries and the cue tables see them, checked step by
// step against a plain list of pairs: every key stays findable and in its
// place, whichever keys were removed before it, and a deferred value reads
// as its source made it, even after the source was replaced.
TEST(Dictionary, AgreesWithAPlainListOverLongRandomRuns)
{
    for (const int keySpace : {7, 60, 700}) {
        std::mt19937 random{unsigned(keySpace)};
        Dictionary d;
        auto source = std::make_shared<Scaled>(3);
        d.setDeferredValues(source);
        QList<QPair<QString, int>> model;
        auto at = [&model](const QString &key) {
            for (qsizetype i = 0; i < model.size(); ++i)
                if (model[i].first == key)
                    return i;
            return qsizetype(-1);
        };
        for (int step = 0; step < 20000; ++step) {
            const QString key = QString::number(random() % keySpace);
            const int value = int(random() % 1000);
            const qsizetype found = at(key);
            switch (random() % 8) {
            case 0:
            case 1:
                d.setItem(Variant(key), value);
                found < 0 ? model.append({key, value}) : void(model[found].second = value);
                break;
            case 2:
                if (random() % 2 == 0) {
                    d.setTextItem(key, value);
                    found < 0 ? model.append({key, value}) : void(model[found].second = value);
                    break;
                }
                d.setDeferredTextItem(Dictionary::textKey(key), value);
                found < 0 ? model.append({key, value * source->factor + 1})
                          : void(model[found].second = value * source->factor + 1);
                if (random() % 300 == 0) {
                    source = std::make_shared<Scaled>(source->factor + 2);
                    d.setDeferredValues(source);
                }
                break;
            case 3:
                ASSERT_EQ(d.add(Variant(key), value).ok(), found < 0) << step;
                if (found < 0)
                    model.append({key, value});
                break;
            case 4:
            case 5:
                ASSERT_EQ(d.remove(Variant(key)).ok(), found >= 0) << step;
                if (found >= 0)
                    model.removeAt(found);
                break;
            case 6: {
                const QString to = QString::number(random() % keySpace);
                const bool ok = found >= 0 && at(to) < 0;
                ASSERT_EQ(d.renameKey(Variant(key), Variant(to)).ok(), ok) << step;
                if (ok)
                    model[found].first = to;
                break;
            }
            case 7:
                if (random() % 500 == 0) {
                    d.removeAll();
                    model.clear();
                }
                ASSERT_EQ(d.exists(Variant(key)), at(key) >= 0) << step;
                break;
            }
            ASSERT_EQ(d.count(), model.size()) << step;
            if (step % 97 == 0) {
                QStringList keys;
                QVector<Variant> items;
                for (const auto &[k, v] : model) {
                    keys << k;
                    items << Variant(v);
                }
                ASSERT_EQ(keyTexts(d), keys) << step;
                ASSERT_EQ(d.items(), items) << step;
                for (const auto &[k, v] : model)
                    ASSERT_TRUE(d.find(Variant(k)) && *d.find(Variant(k)) == Variant(v)) << step;
            }
        }
    }
}

// An object whose end runs code, as a script class's Class_Terminate does.
class Ender : public DispatchObject {
public:
    explicit Ender(std::function<void()> atEnd) : m_atEnd(std::move(atEnd)) {}
    ~Ender() override { m_atEnd(); }
    QString typeName() const override { return QStringLiteral("Ender"); }

private:
    std::function<void()> m_atEnd;
};

// A key or value that goes may run code that reads and writes the same
// dictionary: that code finds it whole, with the entry already gone or
// replaced, and what it adds stays.
TEST(Dictionary, CodeRunByAnEndingEntryFindsTheDictionaryWhole)
{
    struct Case {
        const char *name;
        std::function<void(Dictionary &)> end;
        int countSeen; // count() when the object ends
        int countAfter;
    };
    const Case cases[] = {
        {"Remove", [](Dictionary &d) { EXPECT_TRUE(d.remove("object").ok()); }, 2, 3},
        {"RemoveAll", [](Dictionary &d) { d.removeAll(); }, 0, 1},
        {"Item =", [](Dictionary &d) { d.setItem("object", 5); }, 3, 4},
        {"text Item =", [](Dictionary &d) { d.setTextItem("object", 5); }, 3, 4},
    };
    for (const Case &c : cases) {
        Dictionary d;
        int seen = -1;
        QStringList keysSeen;
        d.setItem("a", 1);
        d.setItem("object", Variant::fromObject(std::make_shared<Ender>([&] {
            seen = d.count();
            keysSeen = keyTexts(d);
            d.setItem("added", 2);
        })));
        d.setItem("b", 3);
        c.end(d);
        EXPECT_EQ(seen, c.countSeen) << c.name;
        EXPECT_EQ(keysSeen.size(), c.countSeen) << c.name;
        EXPECT_EQ(d.count(), c.countAfter) << c.name;
        EXPECT_TRUE(d.exists("added")) << c.name;
    }

}

} // namespace

#include "text/StringPool.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

namespace sorvane {
namespace {

QString made(StringPool &pool, const QString &text)
{
    char16_t *chars = nullptr;
    QString s = pool.make(text.size(), chars);
    std::copy(text.utf16(), text.utf16() + text.size(), chars);
    return s;
}

// Strings from a pool behave as any other: their own text and end, changes
// that touch no other string, and a life of their own after the pool's.
TEST(StringPool, StringsAreOrdinaryStrings)
{
    QStringList texts;
    for (int i = 0; i < 300; ++i)
        texts << QString(i % 37, QChar(u'a' + i % 26)) + QString::number(i);
    texts << QString(5000, u'x') << QString() << u"你好<br>Hello"_qs;

    QStringList strings;
    {
        StringPool pool(512);
        for (const QString &t : texts)
            strings << made(pool, t);
    }
    ASSERT_EQ(strings, texts);
    for (const QString &s : strings)
        EXPECT_EQ(s.utf16()[s.size()], u'\0') << s.toStdString();

    // Writes to one string, whether shared or the last of its block, leave
    // the others as they were.
    QStringList changed = strings;
    for (qsizetype i = 0; i < changed.size(); i += 3) {
        changed[i].append(u"+tail"_qs);
        changed[i + 1].prepend(u'>');
        strings[i + 2].clear();
        texts[i + 2].clear();
    }
    EXPECT_EQ(strings, texts);
    for (qsizetype i = 0; i < changed.size(); i += 3) {
        EXPECT_EQ(changed[i], texts[i] + u"+tail"_qs);
        EXPECT_EQ(changed[i + 1], u'>' + texts[i + 1]);
    }
    strings.clear();
    for (qsizetype i = 0; i < changed.size(); ++i) {
        changed[i].append(u"!"_qs);
        changed[i].squeeze();
    }
    EXPECT_TRUE(std::all_of(changed.begin(), changed.end(), [](const QString &s) { return s.endsWith(u'!'); }));
}

} // namespace
} // namespace sorvane

#include "text/CharsetConverter.h"

#include <gtest/gtest.h>

#include <random>

namespace sorvane {
namespace {

// Bytes that mix long and short ASCII runs with multi-byte characters, whole
// and broken, of both sets that are decoded in pieces.
QByteArray mixedBytes(std::mt19937 &rng)
{
    static const char *const pieces[] = {
        "\xd6\xd0", "\xce\xc4", "\x95\x32\x82\x36", "\x81\x30", "\x81", "\xe4\xbd\xa0", "\xe4\xbd", "\xbd", "\xff",
        "\xc3\xa9", "\x81\x30\x81", "\xa1\x40", "0", "7", "@", "\r\n", "\xa1\xa1", "\xfe\x50", "\xfe\xfe",
        "\xa6\xd9", "\x80", "\x81\x7f", "\xd6\xff", "\x84\x31\xa4\x39", "\x90\x30\x81\x30",
    };
    QByteArray bytes;
    const int parts = int(rng() % 12);
    for (int i = 0; i < parts; ++i) {
        if (rng() % 3 == 0)
            bytes += QByteArray(int(rng() % 40), char('a' + rng() % 26));
        else
            bytes += pieces[rng() % std::size(pieces)];
    }
    return bytes;
}

TEST(CharsetConverter, DecodingInPiecesChangesNothing)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 20000; ++round) {
        const QByteArray bytes = mixedBytes(rng);
        for (const char *set : {"GB18030", "UTF-8", "GBK"}) {
            Result<CharsetConverter::Decoded> whole = CharsetConverter::decode(bytes.constData(), size_t(bytes.size()), set);
            Result<CharsetConverter::Decoded> pieces =
                CharsetConverter::decode(bytes.constData(), size_t(bytes.size()), set, 1, true);
            ASSERT_TRUE(whole.ok() && pieces.ok());
            ASSERT_EQ(whole->text, pieces->text) << set << " " << bytes.toHex(' ').toStdString();
            ASSERT_EQ(whole->clean, pieces->clean);
        }
    }
}

// Every two-byte GB18030 sequence, good or bad, after a Chinese character
// and before a byte that never belongs to a character, each in a piece of its
// own (between long ASCII runs): looked up or not, it reads as iconv reads it.
TEST(CharsetConverter, EveryGbPairDecodesAsIconvDecodesIt)
{
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        QByteArray bytes;
        for (int trail = 0x00; trail <= 0xFF; ++trail)
            bytes += QByteArray("\xd6\xd0") + char(lead) + char(trail) + "\xff" + "a long run of ASCII";
        Result<CharsetConverter::Decoded> whole = CharsetConverter::decode(bytes.constData(), size_t(bytes.size()), "GB18030");
        Result<CharsetConverter::Decoded> pieces =
            CharsetConverter::decode(bytes.constData(), size_t(bytes.size()), "GB18030", 1, true);
        ASSERT_TRUE(whole.ok() && pieces.ok());
        ASSERT_EQ(whole->text, pieces->text) << "lead " << lead;
        ASSERT_EQ(whole->clean, pieces->clean) << "lead " << lead;
    }
}

TEST(CharsetConverter, BadBytesBecomeReplacementsAndAreReported)
{
    struct Case {
        const char *set;
        size_t unit;
        QByteArray bytes;
        const char16_t *text;
        bool clean;
    } cases[] = {
        {"UTF-8", 1, "a\xe4\xbd\xa0", u"a你", true},
        {"UTF-8", 1, "a\xe4\xbd", u"a\uFFFD\uFFFD", false},
        {"UTF-8", 1, "\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD", false}, // an encoded surrogate
        {"GB18030", 1, "\x81\x30\x81\x30", u"\u0080", true},
        {"GB18030", 1, "\x81\x30z", u"\uFFFD0z", false},                 // the text after a bad start survives
        {"GB18030", 1, "\x82\x36\x40", u"\uFFFD6@", false},
        {"UTF-16LE", 2, QByteArray("\x00\xd8\x41\x00", 4), u"\uFFFDA", false},
        {"UTF-16LE", 2, QByteArray("\x41\x00\x42", 3), u"A\uFFFD", false},
    };
    for (const Case &c : cases) {
        Result<CharsetConverter::Decoded> d =
            CharsetConverter::decode(c.bytes.constData(), size_t(c.bytes.size()), c.set, c.unit);
        ASSERT_TRUE(d.ok());
        EXPECT_EQ(d->text, QString::fromUtf16(c.text)) << c.set << " " << c.bytes.toHex().toStdString();
        EXPECT_EQ(d->clean, c.clean) << c.bytes.toHex().toStdString();
    }
}

TEST(CharsetConverter, UnencodableCharactersBecomeTheSetsQuestionMark)
{
    const QString text = QString::fromUtf16(u"a\U0001F600b") + QChar(0xD800);
    EXPECT_EQ(*CharsetConverter::encode(text, "GB2312"), QByteArray("a?b?"));
    EXPECT_EQ(*CharsetConverter::encode(text, "UTF-8"), QByteArray("a\xf0\x9f\x98\x80" "b?"));
    EXPECT_EQ(CharsetConverter::encode(text, "no-such-set").error().description,
              QStringLiteral("the character set \"no-such-set\" is not supported"));
    EXPECT_FALSE(CharsetConverter::decode("x", 1, "no-such-set").ok());
}

} // namespace
} // namespace sorvane

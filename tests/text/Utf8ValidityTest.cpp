#include "text/Utf8Validity.h"

#include "text/RegExp.h"

#include <gtest/gtest.h>

#include <random>

namespace sorvane {
namespace {

// The detection's own definition: the bytes are UTF-8 when its pattern,
// case-sensitive and not global, matches nowhere in the byte string.
bool byPattern(const QString &byteString)
{
    static const Result<RegExp> re = RegExp::compile(QString::fromUtf16(kUtf8FailurePattern));
    EXPECT_TRUE(re.ok());
    Result<bool> found = re->test(byteString);
    EXPECT_TRUE(found.ok());
    return !*found;
}

QString byteString(const QByteArray &bytes) { return QString::fromLatin1(bytes); }

bool scanner(const QByteArray &bytes)
{
    const bool fromBytes = isUtf8Bytes(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size()));
    EXPECT_EQ(fromBytes, isUtf8ByteString(byteString(bytes))) << bytes.toHex(' ').toStdString();
    return fromBytes;
}

struct Crafted {
    const char *hex;
    bool utf8;
};

class Utf8Rules : public ::testing::TestWithParam<Crafted> {};

TEST_P(Utf8Rules, ScannerAndPatternAgreeWithTheRule)
{
    const QByteArray bytes = QByteArray::fromHex(GetParam().hex);
    EXPECT_EQ(scanner(bytes), GetParam().utf8) << GetParam().hex;
    EXPECT_EQ(byPattern(byteString(bytes)), GetParam().utf8) << GetParam().hex;
}

INSTANTIATE_TEST_SUITE_P(Crafted, Utf8Rules, ::testing::Values(
    Crafted{"", true},
    Crafted{"414243", true},                   // pure ASCII
    Crafted{"e4bda0e5a5bd0d0a", true},         // 你好 CR LF
    Crafted{"d6d0cec4", false},                // GBK 中文
    Crafted{"41e4bd", false},                  // ends inside a sequence (rule 2)
    Crafted{"c3", false},                      // rule 1 at the end
    Crafted{"c341", false},                    // rule 1
    Crafted{"c30a", false},                    // rule 1 with a line feed
    Crafted{"e40abda0", false},                // rule 2 with a line feed
    Crafted{"4180", false},                    // rule 3
    Crafted{"c3a9a9", false},                  // rule 4
    Crafted{"e4bda0a0", false},                // rule 4
    Crafted{"80", false},                      // rule 5
    Crafted{"ff", true},                       // FF is in no rule
    Crafted{"e4bda0ffe5a5bd", true},           // FF between sequences
    Crafted{"ff80", true},                     // a continuation after FF
    Crafted{"ff8080", true},
    Crafted{"41ff80", true},
    Crafted{"c0af", true},                     // overlong form passes
    Crafted{"f7bfbfbf", true},                 // F5..F7 pass
    Crafted{"febfbfbfbfbfbf", true},           // FE with six continuations
    Crafted{"febfbfbfbfbfbfbf", false},        // one too many (rule 4)
    Crafted{"febfbfbfbfbf", false},            // one too few
    Crafted{"fcbfbfbfbfbf41", true},
    Crafted{"f8bfbfbfbf", true},
    Crafted{"414141414141414141414141414141414180", false}, // rule 3 across a 16-byte block
    Crafted{"41414141414141414141414141414141ff80", true}));

// Random bytes drawn from the classes the rules tell apart, so that short
// inputs hit every rule and its borders.
QByteArray randomBytes(std::mt19937 &rng, int maxLength)
{
    static const unsigned char picks[] = {0x00, 0x0A, 0x0D, 0x41, 0x7F, 0x80, 0x9F, 0xBF, 0xC0, 0xDF, 0xE0, 0xEF,
                                          0xF0, 0xF7, 0xF8, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
    const int n = int(rng() % unsigned(maxLength + 1));
    QByteArray bytes;
    for (int i = 0; i < n; ++i) {
        if (rng() % 3 == 0)
            bytes += char(rng() % 256);
        else if (rng() % 2 == 0)
            bytes += char(0x80 + rng() % 0x40); // continuations often, to complete runs
        else
            bytes += char(picks[rng() % std::size(picks)]);
    }
    return bytes;
}

TEST(Utf8Differential, ScannerMatchesThePatternOnRandomBytes)
{
    std::mt19937 rng(20240305);
    for (int round = 0; round < 60000; ++round) {
        const QByteArray bytes = randomBytes(rng, round % 100 == 0 ? 200 : 24);
        ASSERT_EQ(scanner(bytes), byPattern(byteString(bytes))) << bytes.toHex(' ').toStdString();
    }
}

TEST(Utf8Differential, ScannerMatchesThePatternOnDamagedUtf8)
{
    std::mt19937 rng(99);
    const QByteArray text = QString::fromUtf16(u"字幕 subtitle 1\r\n00:01:02,500 --> 00:01:04,000\r\n你好 ünïcode 𠀀").toUtf8();
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes = text.mid(int(rng() % 8), int(rng() % unsigned(text.size())));
        const int edits = int(rng() % 3);
        for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
            const int at = int(rng() % unsigned(bytes.size()));
            switch (rng() % 3) {
            case 0: bytes[at] = char(rng() % 256); break;
            case 1: bytes.remove(at, 1); break;
            default: bytes.insert(at, char(0x80 + rng() % 0x40)); break;
            }
        }
        ASSERT_EQ(scanner(bytes), byPattern(byteString(bytes))) << bytes.toHex(' ').toStdString();
    }
}

TEST(Utf8Differential, CharactersAboveFFActLikeFF)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 5000; ++round) {
        QString s = byteString(randomBytes(rng, 20));
        for (int i = 0; i < s.size(); ++i)
            if (rng() % 5 == 0)
                s[i] = QChar(char16_t(0x100 + rng() % 0xFE00));
        ASSERT_EQ(isUtf8ByteString(s), byPattern(s));
    }
}

} // namespace
} // namespace sorvane

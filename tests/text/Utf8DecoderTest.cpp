#include "text/Utf8Decoder.h"
#include "text/Utf8Validity.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <random>

namespace sorvane {
namespace {

std::optional<QString> decode(const QByteArray &bytes) { return decodeWellFormedUtf8(bytes.constData(), bytes.size()); }

TEST(Utf8Decoder, DecodesWellFormedTextAndRefusesEverythingElse)
{
    const struct {
        QByteArray bytes;
        std::optional<QString> text;
    } cases[] = {
        {"", u""_qs},
        {"plain ASCII, longer than sixteen bytes\r\n", u"plain ASCII, longer than sixteen bytes\r\n"_qs},
        {"\xE4\xBD\xA0\xE5\xA5\xBD, world", u"你好, world"_qs},
        {"0123456789abcdef\xC3\xA9", u"0123456789abcdefé"_qs}, // a lead byte right after a block of ASCII
        {"\xF0\x9F\x98\x80!", u"\U0001F600!"_qs},
        {"\xEF\xBF\xBD", u"\uFFFD"_qs},
        {QByteArray("a\0b", 3), QString::fromUtf16(u"a\0b", 3)},
        {"\xEF\xBB\xBFtext", std::nullopt},  // a mark is left to the charset's own path
        {"a\xE4\xBD", std::nullopt},         // cut short
        {"\xE4\xBD" "a", std::nullopt},
        {"\x80" "abc", std::nullopt},         // a continuation without its lead
        {"\xC0\x80", std::nullopt},           // overlong
        {"\xE0\x80\xAF", std::nullopt},
        {"\xED\xA0\x80", std::nullopt},       // a surrogate
        {"\xF4\x90\x80\x80", std::nullopt},   // past U+10FFFF
        {"\xEF\xBF\xBE", std::nullopt},       // noncharacters
        {"\xEF\xB7\x90", std::nullopt},
        {"\xF8\x88\x80\x80\x80", std::nullopt},
        {"\xFF", std::nullopt},
        {"\xC4\xE3\xBA\xC3", std::nullopt},   // GBK
    };
    for (const auto &c : cases)
        EXPECT_EQ(decode(c.bytes), c.text) << c.bytes.toHex().toStdString();
}

// Whatever it accepts, Qt's decoder reads the same way without an error and
// the character-set detection calls UTF-8, so taking the one pass changes
// nothing but the time.
TEST(Utf8Decoder, AcceptsOnlyWhatDetectionAndQtReadAsTheSameUtf8)
{
    std::mt19937 random(7);
    const QByteArray pieces[] = {"a",          "\r\n",         "0123456789abcdef", "\xE4\xBD\xA0", "\xC3\xA9",
                                 "\xF0\x9F\x98\x80", "\x80",  "\xE4\xBD",         "\xEF\xBB\xBF", "\xFE",
                                 "\xC0\xAF",   "\xED\xB0\x80", "\xEF\xBF\xBF",     "\xF4\x8F\xBF\xBF"};
    int accepted = 0;
    for (int run = 0; run < 4000; ++run) {
        QByteArray bytes;
        const int count = int(random() % 40);
        for (int i = 0; i < count; ++i)
            bytes += pieces[random() % std::size(pieces)];
        const std::optional<QString> text = decode(bytes);
        if (!text)
            continue;
        ++accepted;
        QStringDecoder qt(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        const QString expected = qt.decode(bytes);
        EXPECT_FALSE(qt.hasError()) << bytes.toHex().toStdString();
        EXPECT_EQ(*text, expected) << bytes.toHex().toStdString();
        EXPECT_TRUE(isUtf8Bytes(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())))
            << bytes.toHex().toStdString();
    }
    EXPECT_GT(accepted, 100);
}

} // namespace
} // namespace sorvane

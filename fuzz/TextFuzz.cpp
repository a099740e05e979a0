// Arbitrary bytes through detection and decoding, and through the pattern
// utilities. The first byte picks the road; the rest is the input.

#include "core/Dictionary.h"
#include "text/CharsetConverter.h"
#include "text/RegExp.h"
#include "text/TextCodec.h"
#include "text/TextUtilities.h"
#include "text/Utf8Validity.h"
#include "text/VbFormat.h"

#include <cstdint>
#include <cstdlib>

using namespace sorvane;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void fuzzCodec(const QByteArray &bytes)
{
    TextCodec codec([](const QString &) {});
    const QString name = TextCodec::detectCharSet(bytes);
    Result<QString> text = codec.decode(bytes, name);
    check(text.ok());
    check(text->size() <= bytes.size() + 1);

    // The scanner over bytes and over the byte string agree; on short inputs
    // both agree with the detection's pattern.
    const QString byteString = QString::fromLatin1(bytes);
    const bool valid = isUtf8Bytes(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size()));
    check(valid == TextCodec::IsUtf8(byteString));
    if (bytes.size() <= 256) {
        static const Result<RegExp> pattern = RegExp::compile(QString::fromUtf16(kUtf8FailurePattern));
        Result<bool> found = pattern->test(byteString);
        check(found.ok() && *found == !valid);
    }

    // Copying ASCII runs past iconv gives what iconv alone gives.
    for (const char *set : {"GB18030", "UTF-8"}) {
        Result<CharsetConverter::Decoded> whole = CharsetConverter::decode(bytes.constData(), size_t(bytes.size()), set);
        Result<CharsetConverter::Decoded> pieces =
            CharsetConverter::decode(bytes.constData(), size_t(bytes.size()), set, 1, true);
        check(whole.ok() && pieces.ok() && whole->text == pieces->text && whole->clean == pieces->clean);
    }

    for (const char *set : {"UTF-16", "UTF-32", "GB2312", "UTF-8"}) {
        Result<QString> other = codec.decode(bytes, QString::fromLatin1(set));
        check(other.ok());
        Result<QByteArray> back = codec.encode(*other, QString::fromLatin1(set));
        check(back.ok());
    }
}

// Splits the input at the first two NUL code units into pattern, text and
// replacement.
void fuzzUtilities(const QByteArray &bytes, int road)
{
    const QString all = QString::fromUtf8(bytes);
    const QStringList parts = all.split(QChar(0));
    const QString pattern = parts.value(0);
    const QString text = parts.value(1);
    const QString replacement = parts.value(2);
    switch (road) {
    case 0:
        (void)TextUtilities::Test(pattern, text);
        (void)TextUtilities::Replace(text, pattern, replacement);
        break;
    case 1:
        (void)TextUtilities::RegExpText(text, pattern, replacement);
        break;
    case 2:
        (void)TextUtilities::GetKeyText(text, pattern, replacement);
        break;
    case 3: {
        Result<RegExp> re = RegExp::compile(pattern, RegExp::Multiline | RegExp::IgnoreCase);
        if (re) {
            Result<QVector<RegExp::Match>> all = re->matches(text, true);
            if (all)
                for (const RegExp::Match &m : *all)
                    check(m.whole.start >= 0 && m.whole.end() <= text.size());
        }
        break;
    }
    case 4:
        (void)TextUtilities::vbVal(Variant(all));
        (void)vbFormat(Variant(text), pattern);
        (void)vbFormat(Variant(double(bytes.size()) * 1.37 - 40), pattern);
        (void)vbFormat(Variant::fromDate(double(bytes.size()) * 3.7), pattern);
        check(TextUtilities::TrimSpace(all).size() <= all.size());
        break;
    default:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int road = data[0] % 6;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (road == 5)
        fuzzCodec(bytes);
    else
        fuzzUtilities(bytes, road);
    return 0;
}

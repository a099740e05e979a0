// The load path on arbitrary bytes: detection and decoding, normalisation,
// the block split and the parser of every block.
#include "core/Dictionary.h"
#include "subtitles/SubtitleParser.h"
#include "text/TextCodec.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace sorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TextCodec codec([](const QString &) {});
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Result<QString> text = codec.decode(bytes, TextCodec::detectCharSet(bytes));
    if (!text)
        return 0;
    const QString normal = SubtitleParser::normalise(*text);
    const SubtitleParser parser(QStringLiteral("font-weight:bold;"));
    BlockSplitter splitter(normal);
    QStringView block;
    qsizetype blocks = 0;
    while (splitter.next(block)) {
        ++blocks;
        if (const auto cue = parser.parseBlock(block)) {
            if (cue->start < 0 || cue->start >= 86400 || cue->end < 0 || cue->end >= 86400)
                __builtin_trap();
        }
    }
    if (blocks != BlockSplitter::count(normal))
        __builtin_trap();
    return 0;
}

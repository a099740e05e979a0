// Detection and decoding of 10 MB subtitle files, the UTF-8 scan alone, and
// the iconv command-line tool on the same GBK file for comparison.

#include "core/Dictionary.h"
#include "text/CharsetConverter.h"
#include "text/TextCodec.h"
#include "text/Utf8Validity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace sorvane;

namespace {

constexpr qsizetype kFileSize = 10 * 1024 * 1024;

// SRT blocks with Chinese and English lines, as the player loads them.
QString subtitleText()
{
    QString text;
    for (int n = 1; text.size() * 2 < kFileSize; ++n) {
        const int s = n * 3;
        text += QStringLiteral("%1\r\n%2:%3:%4,500 --> %2:%3:%5,000\r\n")
                    .arg(n)
                    .arg(s / 3600 % 24, 2, 10, QLatin1Char('0'))
                    .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(s % 60, 2, 10, QLatin1Char('0'))
                    .arg((s + 2) % 60, 2, 10, QLatin1Char('0'));
        text += QString::fromUtf16(u"第%1句字幕：他说今天的天气很好，我们一起去公园散步吧。\r\n").arg(n);
        text += QStringLiteral("Line %1: he said the weather is fine today, let us walk in the park.\r\n\r\n").arg(n);
    }
    return text;
}

struct Files {
    QTemporaryDir dir;
    QString utf8Path, gbkPath;
    QByteArray utf8Bytes;

    Files()
    {
        const QString text = subtitleText();
        utf8Bytes = text.toUtf8().left(kFileSize);
        // Cut at a line break so both files hold whole characters.
        utf8Bytes.truncate(utf8Bytes.lastIndexOf('\n') + 1);
        const QByteArray gbk = *CharsetConverter::encode(QString::fromUtf8(utf8Bytes), "GBK");
        QByteArray gbkBytes = gbk;
        while (gbkBytes.size() < kFileSize)
            gbkBytes += gbk.left(kFileSize - gbkBytes.size());
        gbkBytes.truncate(gbkBytes.lastIndexOf('\n') + 1);
        utf8Path = dir.filePath(QStringLiteral("utf8.srt"));
        gbkPath = dir.filePath(QStringLiteral("gbk.srt"));
        writeAll(utf8Path, utf8Bytes);
        writeAll(gbkPath, gbkBytes);
    }
    static void writeAll(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
};

Files &files()
{
    static Files f;
    return f;
}

void detectAndDecode(benchmark::State &state, const QString &path, const char *expected)
{
    TextCodec codec([](const QString &) { std::abort(); });
    QString charSet;
    for (auto _ : state) {
        TextCodec::TextRead read = codec.readText(path, QString());
        benchmark::DoNotOptimize(read.text.data());
        charSet = std::move(read.charSet);
    }
    if (charSet != QLatin1String(expected))
        state.SkipWithError("wrong character set detected");
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void BM_DetectDecodeUtf8File(benchmark::State &state) { detectAndDecode(state, files().utf8Path, "utf-8"); }
void BM_DetectDecodeGbkFile(benchmark::State &state) { detectAndDecode(state, files().gbkPath, "GB2312"); }

void BM_IsUtf8Scan(benchmark::State &state)
{
    const QByteArray &bytes = files().utf8Bytes;
    for (auto _ : state) {
        bool valid = isUtf8Bytes(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size()));
        benchmark::DoNotOptimize(valid);
        if (!valid)
            state.SkipWithError("the UTF-8 file failed the test");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The system's iconv tool, one process per run, output discarded.
void iconvTool(benchmark::State &state, const char *from)
{
    const QByteArray command = QByteArray("iconv -f ") + from + " -t UTF-8 '" + QFile::encodeName(files().gbkPath) +
                               "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("iconv failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(files().gbkPath).size());
}

void BM_IconvToolGbkToUtf8(benchmark::State &state) { iconvTool(state, "GBK"); }
void BM_IconvToolGb18030ToUtf8(benchmark::State &state) { iconvTool(state, "GB18030"); }

} // namespace

BENCHMARK(BM_DetectDecodeUtf8File)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DetectDecodeGbkFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IsUtf8Scan)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IconvToolGbkToUtf8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IconvToolGb18030ToUtf8)->Unit(benchmark::kMillisecond)->UseRealTime();

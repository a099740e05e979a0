#include "support/MainFixture.h"

#include <QDir>
#include <QStringEncoder>

namespace sorvane {
namespace {

using testing_support::MainFixture;

class SrtExportTest : public MainFixture {
protected:
    QByteArray read(const char *name)
    {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(SrtExportTest, RoundTripKeepsTheNormalisedBlocksInTheFilesCharacterSet)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QByteArray expected;
    };
    const QByteArray text = "\r\n1\r\n00:00:01,000 --> 00:00:02,000\r\n中文\r\n\r\n\r\n\r\n2\r\n00:00:03,000 --> "
                            "00:00:04,000\r\nB\r\n\r\n";
    const QByteArray normalised =
        "1\r\n00:00:01,000 --> 00:00:02,000\r\n中文\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nB";
    QStringEncoder gbk("GB18030");
    const Case cases[] = {
        {"plain.srt", text, normalised},
        {"marked.srt", "\xEF\xBB\xBF" + text, "\xEF\xBB\xBF" + normalised},
        {"gbk.srt", gbk.encode(QString::fromUtf8(text)), gbk.encode(QString::fromUtf8(normalised))},
    };
    for (const Case &c : cases) {
        main->CallBack(write(QString::fromLatin1(c.name), c.bytes));
        main->menuClicked("OnSrtSave");
        EXPECT_EQ(read("Format.srt"), c.expected) << c.name;
        // The export loads back to the same cues.
        const QStringList before = keys();
        main->CallBack(write("again.srt", read("Format.srt")));
        EXPECT_EQ(keys(), before);
    }
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
    EXPECT_EQ(read("Sample.txt"), "<missing>");
}

TEST_F(SrtExportTest, SampleIsWrittenBesideAndNothingLoadedWritesNothing)
{
    main->OnSrtSave();
    EXPECT_EQ(read("Format.srt"), "<missing>");
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
    main->Config->setItem(QStringLiteral("Sample"), QStringLiteral("sample"));
    main->Config->setItem(QStringLiteral("CharSet"), QStringLiteral("utf-8"));
    main->OnSrtSave();
    EXPECT_EQ(read("Sample.txt"), "sample");
    EXPECT_EQ(read("Format.srt"), "<missing>");
}

TEST_F(SrtExportTest, FailedWriteShowsTheCodecBoxAndTheSampleIsStillWritten)
{
    main->Config->setItem(QStringLiteral("Format"), QStringLiteral("x"));
    main->Config->setItem(QStringLiteral("Sample"), QStringLiteral("s"));
    main->Config->setItem(QStringLiteral("CharSet"), QStringLiteral("utf-8"));
    QDir(dir.path()).mkdir("Format.srt");
    main->OnSrtSave();
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_EQ(fake.messageBoxes[0].caption, u"系统提示");
    EXPECT_EQ(read("Sample.txt"), "s");
}

} // namespace
} // namespace sorvane

// The page's right-click menu on the fake platform: files opened by name,
// the recent list, reloading, reading a file in another character set and
// exporting it in that set, and the hotkey list.
#include "support/MainFixture.h"

#include "app/PageMenu.h"
#include "subtitles/RecentFiles.h"
#include "text/CharsetConverter.h"

#include <QDir>

namespace sorvane {
namespace {

class PageMenuTest : public testing_support::MainFixture {
protected:
    PageMenu &menu() { return main->pageMenu(); }
    QStringList boxTexts() const
    {
        QStringList out;
        for (const MessageBoxRequest &r : fake.messageBoxes)
            out << r.caption + QStringLiteral(": ") + r.text;
        return out;
    }
    QByteArray bytesOf(const QString &text, const char *charset)
    {
        Result<QByteArray> bytes = CharsetConverter::encode(text, charset);
        EXPECT_TRUE(bytes.ok());
        return bytes ? *bytes : QByteArray();
    }
};

const QString kCue = QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\n這是繁體中文\r\n");

struct UnreadableCase {
    const char *name;
    const char *why;
};

class PageMenuUnreadable : public PageMenuTest, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(PageMenuUnreadable, ShowsTheBoxNamingTheFileAndChangesNothing)
{
    const QString loaded = write(QStringLiteral("a.srt"), kCue.toUtf8());
    menu().open(loaded);
    ASSERT_TRUE(boxTexts().isEmpty());
    const QString name = QString::fromUtf8(GetParam().name);
    QString path = dir.filePath(name);
    if (name == u"folder")
        QDir().mkpath(path);
    menu().open(path);
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_EQ(fake.messageBoxes[0].caption, QStringLiteral("系统提示"));
    EXPECT_TRUE(fake.messageBoxes[0].text.contains(path)) << fake.messageBoxes[0].text.toStdString();
    EXPECT_TRUE(fake.messageBoxes[0].text.contains(QString::fromUtf8(GetParam().why)));
    EXPECT_EQ(config("FileName"), loaded);
    EXPECT_EQ(main->subtitles->count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Paths, PageMenuUnreadable,
                         ::testing::Values(UnreadableCase{"missing.srt", "does not exist"},
                                           UnreadableCase{"folder", "folder"}),
                         [](const auto &info) { return std::string(info.param.name == std::string("folder") ? "Folder" : "Missing"); });

TEST_F(PageMenuTest, AMissingFileFromTheCommandLineGetsTheBox)
{
    const QString missing = dir.filePath(QStringLiteral("gone.srt"));
    main->takeIn(QFile::encodeName(missing), FileIntake::PathSource::CommandLine);
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_TRUE(fake.messageBoxes[0].text.contains(missing));
    // A script's CallBack of a missing file stays silent, as it always was.
    main->CallBack(missing);
    EXPECT_EQ(fake.messageBoxes.size(), 1);
}

TEST_F(PageMenuTest, LoadedFilesAreRecentNewestFirstAndTheDialogStartsBesideTheLast)
{
    EXPECT_EQ(menu().dialogFolder(), QString());
    const QString a = write(QStringLiteral("a.srt"), kCue.toUtf8());
    QDir().mkpath(dir.filePath(QStringLiteral("sub")));
    const QString b = write(QStringLiteral("sub/b.srt"), kCue.toUtf8());
    menu().open(a);
    main->takeIn(QFile::encodeName(b), FileIntake::PathSource::Drop);
    menu().open(a);
    EXPECT_EQ(menu().recentFiles(), (QStringList{a, b}));
    EXPECT_EQ(menu().dialogFolder(), dir.path());
    // Only subtitle files are kept.
    const QString script = writeText(QStringLiteral("s.js"), QStringLiteral("Main.showOut = 7;"));
    menu().open(script);
    EXPECT_EQ(main->showOut, 7);
    EXPECT_EQ(menu().recentFiles(), (QStringList{a, b}));
}

TEST_F(PageMenuTest, AFileThatCouldNotBeReadIsNotRecent)
{
    const QString good = write(QStringLiteral("good.srt"), kCue.toUtf8());
    const QString pipe = dir.filePath(QStringLiteral("pipe.srt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    menu().open(good);
    for (const QString &path : {pipe, dir.filePath(QStringLiteral("gone.srt"))})
        menu().open(path);
    main->takeIn(QFile::encodeName(pipe), FileIntake::PathSource::Drop);
    EXPECT_EQ(fake.messageBoxes.size(), 3) << "each failure is told";
    EXPECT_EQ(menu().recentFiles(), QStringList{good});
}

TEST_F(PageMenuTest, ReloadReadsTheCurrentFileAgain)
{
    menu().reload(); // nothing loaded: nothing happens
    EXPECT_TRUE(boxTexts().isEmpty());
    const QString a = write(QStringLiteral("a.srt"), kCue.toUtf8());
    menu().open(a);
    write(QStringLiteral("a.srt"), QStringLiteral("1\r\n00:00:05,000 --> 00:00:05,500\r\nnew\r\n").toUtf8());
    menu().reload();
    EXPECT_EQ(keys(), QStringList{QStringLiteral("00:00:05")});
}

TEST_F(PageMenuTest, AChosenCharacterSetReadsAndExportsTheFileInItUntilAnotherFileIsOpened)
{
    // Too little text for detection: read as GB2312, which garbles Big5.
    const QString kCue = QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\n這個\r\n");
    const QString big5 = write(QStringLiteral("big5.srt"), bytesOf(kCue, "BIG5"));
    menu().open(big5);
    EXPECT_EQ(config("CharSet"), QStringLiteral("GB2312"));
    EXPECT_NE(cue("00:00:01"), QStringLiteral("這個"));

    menu().readIn(QStringLiteral("BIG5"));
    EXPECT_EQ(config("CharSet"), QStringLiteral("BIG5"));
    EXPECT_EQ(cue("00:00:01"), QStringLiteral("這個"));
    EXPECT_EQ(menu().chosenCharSet(), QStringLiteral("BIG5"));
    menu().reload();
    EXPECT_EQ(cue("00:00:01"), QStringLiteral("這個"));

    // The export writes the text back in the set it was read in.
    main->OnSrtSave();
    QFile exported(config("Path") + QStringLiteral("Format.srt"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().contains(bytesOf(QStringLiteral("這個"), "BIG5")));

    const QString other = write(QStringLiteral("other.srt"), bytesOf(kCue, "BIG5"));
    menu().open(other);
    EXPECT_EQ(config("CharSet"), QStringLiteral("GB2312"));
    EXPECT_EQ(menu().chosenCharSet(), QString());

    menu().open(big5);
    menu().readIn(QString()); // 自动检测
    EXPECT_EQ(config("CharSet"), QStringLiteral("GB2312"));
}

TEST_F(PageMenuTest, EveryOfferedCharacterSetIsOneTheCodecKnows)
{
    const QString a = write(QStringLiteral("a.srt"), QByteArray("1\r\n00:00:01,000 --> 00:00:02,000\r\nabc\r\n"));
    menu().open(a);
    for (const PageMenu::CharSet &set : PageMenu::charSets()) {
        menu().readIn(set.name);
        EXPECT_TRUE(boxTexts().isEmpty()) << set.name.toStdString();
        fake.messageBoxes.clear();
    }
}

TEST_F(PageMenuTest, TheHotkeyListNamesEveryKeyWithItsCommandAndModes)
{
    const QStringList lines = menu().hotkeys();
    ASSERT_EQ(lines.size(), 10);
    for (const QString &line : lines)
        EXPECT_EQ(line.count(u'\t'), 2) << line.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Esc\t")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Ctrl+=\t秒+\t无边框的两种模式")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Ctrl+Alt+Enter\t开始\t无边框的两种模式")));
}

} // namespace
} // namespace sorvane

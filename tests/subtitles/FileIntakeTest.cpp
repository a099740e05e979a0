#include "support/MainFixture.h"

#include "subtitles/FileIntake.h"
#include "text/ShellLink.h"

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvane {
namespace {

using testing_support::MainFixture;

// A shell link whose link info carries `target` as its local base path,
// in ANSI and, when `unicode`, also in UTF-16.
QByteArray shellLink(const QString &target, bool unicode, bool idList = true)
{
    auto u32 = [](QByteArray &b, quint32 v) {
        for (int i = 0; i < 4; ++i)
            b.append(char(v >> (8 * i)));
    };
    QByteArray link;
    u32(link, 0x4C);
    const char clsid[] = "\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46";
    link.append(clsid, 16);
    u32(link, (idList ? 0x1 : 0) | 0x2 | (unicode ? 0x80 : 0));
    link.append(QByteArray(0x4C - link.size(), '\0'));
    if (idList) {
        link.append("\x04\x00", 2);
        link.append("\x02\x00\x00\x00", 4);
    }
    const QByteArray ansi = target.toUtf8() + '\0';
    QByteArray wide;
    for (QChar c : target + QChar(0)) {
        wide.append(char(c.unicode() & 0xFF));
        wide.append(char(c.unicode() >> 8));
    }
    const quint32 header = unicode ? 0x24 : 0x1C;
    const quint32 baseOffset = header;
    const quint32 suffixOffset = baseOffset + quint32(ansi.size());
    const quint32 wideOffset = suffixOffset + 1;
    const quint32 wideSuffix = wideOffset + (unicode ? quint32(wide.size()) : 0);
    const quint32 size = wideSuffix + (unicode ? 2 : 0);
    QByteArray info;
    u32(info, size);
    u32(info, header);
    u32(info, 0x1);
    u32(info, 0); // no volume id needed to read the path
    u32(info, baseOffset);
    u32(info, 0);
    u32(info, suffixOffset);
    if (unicode) {
        u32(info, wideOffset);
        u32(info, wideSuffix);
    }
    info.append(ansi);
    info.append('\0');
    if (unicode) {
        info.append(wide);
        info.append("\0\0", 2);
    }
    return link + info;
}

class FileIntakeTest : public MainFixture {};

TEST_F(FileIntakeTest, SubtitleFileIsTakenInWithItsPartsAndAResetClock)
{
    const QString path = write("Movie.SRT", srt({"1", "00:00:00,000 --> 00:00:01,000", "cue"}));
    main->Timer1.setEnabled(true);
    main->NewTime = "00:05:00";
    fake.now = 1234;
    main->CallBack(path);
    EXPECT_FALSE(main->Timer1.enabled());
    EXPECT_EQ(caption("OnPlayer"), u"开始");
    EXPECT_EQ(caption("showTimer"), u"00:00:00,000");
    EXPECT_EQ(main->SavTime.toDouble().valueOr(0), 1234);
    EXPECT_EQ(main->NewTime, u"00:00:00");
    EXPECT_EQ(config("FileName"), path);
    EXPECT_EQ(config("Parent"), dir.path());
    EXPECT_EQ(config("File"), u"Movie.SRT");
    EXPECT_EQ(config("Base"), u"Movie");
    EXPECT_EQ(config("Extension"), u"srt");
    EXPECT_EQ(fake.caption, u"Sorvane - Movie.SRT - （快捷键 ESC 显示/隐藏）");
    EXPECT_EQ(cue("00:00:00"), QStringLiteral("<span style='") + config("English") + QStringLiteral("'>cue</span>"));
    EXPECT_TRUE(main->menu.at(main->menu.find("OnGetSrt")).enabled);
}

struct DispatchCase {
    const char *extension;
    FileIntake::Kind kind;
};

class Dispatch : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(Dispatch, ByExtensionInAnyCase)
{
    EXPECT_EQ(FileIntake::kindOf(QString::fromLatin1(GetParam().extension)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    FileIntake, Dispatch,
    ::testing::Values(DispatchCase{"srt", FileIntake::Kind::Subtitle}, DispatchCase{"SSA", FileIntake::Kind::Subtitle},
                      DispatchCase{"Ass", FileIntake::Kind::Subtitle}, DispatchCase{"idx", FileIntake::Kind::Subtitle},
                      DispatchCase{"sub", FileIntake::Kind::Subtitle}, DispatchCase{"LRC", FileIntake::Kind::Subtitle},
                      DispatchCase{"Vtt", FileIntake::Kind::Subtitle},
                      DispatchCase{"js", FileIntake::Kind::JavaScript}, DispatchCase{"VBS", FileIntake::Kind::VBScript},
                      DispatchCase{"txt", FileIntake::Kind::Refused}, DispatchCase{"", FileIntake::Kind::Refused},
                      DispatchCase{"lnk", FileIntake::Kind::Refused}, DispatchCase{"srt ", FileIntake::Kind::Refused}));

TEST_F(FileIntakeTest, PathPartsFollowTheLastSlashAndDot)
{
    EXPECT_EQ(FileIntake::parentFolder("/a/b.c/d.e.srt"), u"/a/b.c");
    EXPECT_EQ(FileIntake::baseName("/a/b.c/d.e.srt"), u"d.e");
    EXPECT_EQ(FileIntake::extension("/a/b.c/d"), u"");
    EXPECT_EQ(FileIntake::extension("/a/b.c/.srt"), u"srt");
    EXPECT_EQ(FileIntake::parentFolder("/x.srt"), u"/");
}

TEST_F(FileIntakeTest, RefusedTypeShowsTheNoteAndTheTimedBoxAndChangesNothingElse)
{
    main->CallBack(write("a.srt", srt({"1", "00:00:02,000 --> 00:00:02,000", "cue"})));
    main->NewTime = "00:00:09";
    for (const char *name : {"notes.txt", "noextension"}) {
        const QString ext = FileIntake::extension(QString::fromLatin1(name)).toUpper();
        main->CallBack(write(QString::fromLatin1(name), "x"));
        EXPECT_EQ(code(), QStringLiteral("<span style='font-family:Microsoft Yahei;font-Weight:bold;font-size:14px;"
                                         "line-height:24px;color:'>暂不支持 ") +
                              ext + QStringLiteral(" 格式文件,请转换成 SRT/SSA/ASS/LRC/SUB/VTT 格式</span>"));
        ASSERT_FALSE(fake.messageBoxes.isEmpty());
        EXPECT_EQ(fake.messageBoxes.last().caption, u"字幕文件类型");
        EXPECT_EQ(fake.messageBoxes.last().text, u"字幕文件 (*.srt;*.ssa;*.ass;*.idx;*.sub;*.lrc;*.vtt)");
        EXPECT_EQ(fake.messageBoxes.last().timeoutMs, 5000);
        EXPECT_EQ(fake.messageBoxes.last().type & BoxType::IconMask, BoxType::IconExclamation);
    }
    EXPECT_EQ(fake.messageBoxes.size(), 2);
    EXPECT_EQ(main->NewTime, u"00:00:09");
    EXPECT_EQ(main->subtitles->count(), 1);
    EXPECT_TRUE(config("File") == u"a.srt");
}

TEST_F(FileIntakeTest, MissingPathsFoldersAndUnreadableLinksDoNothing)
{
    QDir(dir.path()).mkdir("folder.srt");
    const QString brokenLink = write("broken.lnk", "not a link at all");
    const QString nowhere = write("nowhere.lnk", shellLink(dir.filePath("gone.srt"), true));
    const QString dangling = dir.filePath("dangling.srt");
    ASSERT_TRUE(QFile::link(dir.filePath("gone.srt"), dangling));
    const QString paths[] = {dir.filePath("gone.srt"), dir.filePath("folder.srt"), brokenLink, nowhere, dangling, QString()};
    // Given to CallBack by a script, or dropped on the window.
    for (const QString &path : paths) {
        main->CallBack(path);
        if (!path.isEmpty())
            main->takeIn(QFile::encodeName(path), FileIntake::PathSource::Drop);
    }
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
    EXPECT_EQ(code(), u"");
    EXPECT_EQ(config("FileName"), u"");
    // Named on the command line, the path that names nothing gets the box.
    main->takeIn(QFile::encodeName(dir.filePath("folder.srt")), FileIntake::PathSource::CommandLine);
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_TRUE(fake.messageBoxes[0].text.contains(QStringLiteral("folder")));
    EXPECT_EQ(config("FileName"), u"");
}

TEST_F(FileIntakeTest, ShortcutIsFollowedOneLevel)
{
    const QString target = write("movie.ass", srt({"1", "00:00:03,000 --> 00:00:03,000", "ass cue"}));
    for (bool unicode : {true, false}) {
        main->CallBack(write("movie.lnk", shellLink(target, unicode)));
        EXPECT_EQ(config("FileName"), target);
        EXPECT_EQ(config("Extension"), u"ass");
        EXPECT_EQ(config("Base"), u"movie");
        EXPECT_EQ(main->subtitles->count(), 1);
        main->Config->setItem(QStringLiteral("FileName"), QString());
    }
    // A link to a link is not followed further: the second link is refused.
    const QString inner = write("inner.lnk", shellLink(target, true, false));
    main->CallBack(write("outer.lnk", shellLink(inner, true)));
    EXPECT_TRUE(code().contains(u"暂不支持 LNK"));
    EXPECT_EQ(config("FileName"), u"");
}

TEST_F(FileIntakeTest, ShellLinkReaderRejectsDamage)
{
    const QByteArray good = shellLink(QStringLiteral("/t/a.srt"), true);
    ASSERT_TRUE(ShellLink::targetPath(good).ok());
    EXPECT_EQ(*ShellLink::targetPath(good), u"/t/a.srt");
    for (qsizetype cut = 0; cut < good.size(); cut += 3)
        EXPECT_FALSE(ShellLink::targetPath(good.left(cut)).ok()) << cut;
    QByteArray huge = good;
    huge[0x4C] = char(0xFF);
    huge[0x4D] = char(0xFF);
    EXPECT_FALSE(ShellLink::targetPath(huge).ok());
}

TEST_F(FileIntakeTest, LongPathIsTakenWhole)
{
    QString folder = dir.path();
    while (folder.size() < 280) {
        folder += QStringLiteral("/") + QString(40, u'd');
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    const QString path = folder + QStringLiteral("/long.srt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(srt({"1", "00:00:04,000 --> 00:00:04,000", "deep"}));
    f.close();
    ASSERT_GT(path.size(), 300);
    main->CallBack(path);
    EXPECT_EQ(config("FileName"), path);
    EXPECT_EQ(main->subtitles->count(), 1);
}

TEST_F(FileIntakeTest, DroppedScriptRunsWithoutTouchingCuesOrClock)
{
    main->CallBack(write("a.srt", srt({"1", "00:00:02,000 --> 00:00:02,000", "cue"})));
    main->NewTime = "00:00:09";
    main->CallBack(write("tool.js", "var x = 1;"));
    for (const MessageBoxRequest &box : fake.messageBoxes)
        ADD_FAILURE() << box.text.toStdString();
    main->CallBack(write("tool.VBS", "x = 1"));
    EXPECT_EQ(main->NewTime, u"00:00:09");
    EXPECT_EQ(config("File"), u"a.srt");
    EXPECT_EQ(main->subtitles->count(), 1);
    EXPECT_FALSE(code().contains(u"暂不支持"));
}

TEST_F(FileIntakeTest, ReloadParsesAgainAndDoesNothingWhenTheFileIsGone)
{
    EXPECT_FALSE(main->menu.at(main->menu.find("OnGetSrt")).enabled);
    main->OnGetSrt();
    EXPECT_EQ(code(), u"");
    const QString path = write("a.srt", srt({"1", "00:00:02,000 --> 00:00:02,000", "cue"}));
    main->CallBack(path);
    write("a.srt", srt({"1", "00:00:05,000 --> 00:00:06,000", "new"}));
    main->NewTime = "00:00:09";
    main->menuClicked("OnGetSrt");
    EXPECT_EQ(keys(), QStringList({"00:00:05", "00:00:06"}));
    EXPECT_EQ(main->NewTime, u"00:00:00");
    QFile::remove(path);
    main->NewTime = "00:00:09";
    main->OnGetSrt();
    EXPECT_EQ(main->NewTime, u"00:00:09");
    EXPECT_EQ(main->subtitles->count(), 2);
}

// A pipe or a device is refused at once with the box of a file that cannot
// be read, named directly or through a shortcut; nothing waits on it.
TEST_F(FileIntakeTest, WhatIsNoRegularFileGetsTheUnreadableBox)
{
    const QString fifo = dir.filePath("pipe.srt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.srt");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString fifoLink = write("pipe.lnk", shellLink(fifo, true));
    const QString pipeNamedLink = dir.filePath("pipe2.lnk");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipeNamedLink).constData(), 0600), 0);
    for (const QString &path : {fifo, zero, fifoLink}) {
        fake.messageBoxes.clear();
        main->CallBack(path);
        ASSERT_EQ(fake.messageBoxes.size(), 1) << path.toStdString();
        EXPECT_EQ(fake.messageBoxes[0].caption, QStringLiteral("系统提示"));
        EXPECT_TRUE(fake.messageBoxes[0].text.contains(QStringLiteral("not a regular file")));
        EXPECT_EQ(main->subtitles->count(), 0);
    }
    fake.messageBoxes.clear();
    main->CallBack(pipeNamedLink); // a link that is a pipe names nothing
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

TEST_F(FileIntakeTest, ANameThatIsNoValidTextGetsTheUnreadableBox)
{
    const QString good = write("好.srt", srt({"1", "00:00:02,000 --> 00:00:02,000", "cue"}));
    main->takeIn(QFile::encodeName(good), FileIntake::PathSource::Drop);
    EXPECT_EQ(config("FileName"), good);
    EXPECT_EQ(main->subtitles->count(), 1);

    const QByteArray bad = QFile::encodeName(dir.path()) + "/bad\xff\xfe.srt";
    const int fd = ::open(bad.constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    main->takeIn(bad, FileIntake::PathSource::Drop);
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_EQ(fake.messageBoxes[0].caption, QStringLiteral("系统提示"));
    EXPECT_TRUE(fake.messageBoxes[0].text.contains(QStringLiteral("not valid"))) << fake.messageBoxes[0].text.toStdString();
    EXPECT_EQ(config("FileName"), good) << "nothing else changes";
}

} // namespace
} // namespace sorvane

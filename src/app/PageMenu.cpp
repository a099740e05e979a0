#include "app/PageMenu.h"

#include "core/Dictionary.h"
#include "playback/Hotkeys.h"
#include "state/WindowState.h"
#include "subtitles/FileIntake.h"
#include "subtitles/RecentFiles.h"
#include "subtitles/SubtitleLoader.h"

namespace sorvane {

const QVector<PageMenu::CharSet> &PageMenu::charSets()
{
    static const QVector<CharSet> sets = {
        {QStringLiteral("自动检测"), QString()},
        {QStringLiteral("UTF-8"), QStringLiteral("utf-8")},
        {QStringLiteral("UTF-16 LE"), QStringLiteral("UTF-16LE")},
        {QStringLiteral("UTF-16 BE"), QStringLiteral("UTF-16BE")},
        {QStringLiteral("简体中文 (GBK/GB18030)"), QStringLiteral("GB2312")},
        {QStringLiteral("繁體中文 (Big5)"), QStringLiteral("BIG5")},
        {QStringLiteral("日本語 (Shift_JIS)"), QStringLiteral("SHIFT_JIS")},
        {QStringLiteral("日本語 (EUC-JP)"), QStringLiteral("EUC-JP")},
        {QStringLiteral("한국어 (EUC-KR/CP949)"), QStringLiteral("CP949")},
        {QStringLiteral("西欧 (Windows-1252)"), QStringLiteral("WINDOWS-1252")},
        {QStringLiteral("中欧 (Windows-1250)"), QStringLiteral("WINDOWS-1250")},
        {QStringLiteral("西里尔 (Windows-1251)"), QStringLiteral("WINDOWS-1251")},
        {QStringLiteral("西里尔 (KOI8-R)"), QStringLiteral("KOI8-R")},
        {QStringLiteral("希腊 (ISO-8859-7)"), QStringLiteral("ISO-8859-7")},
        {QStringLiteral("土耳其 (Windows-1254)"), QStringLiteral("WINDOWS-1254")},
        {QStringLiteral("希伯来 (Windows-1255)"), QStringLiteral("WINDOWS-1255")},
        {QStringLiteral("阿拉伯 (Windows-1256)"), QStringLiteral("WINDOWS-1256")},
        {QStringLiteral("泰语 (TIS-620)"), QStringLiteral("TIS-620")},
    };
    return sets;
}

QString PageMenu::fileFilter()
{
    return QStringLiteral("字幕文件 (*.srt *.ssa *.ass *.lrc *.sub *.vtt *.idx *.SRT *.SSA *.ASS *.LRC *.SUB *.VTT *.IDX);;"
                          "脚本 (*.js *.vbs);;所有文件 (*)");
}

QString PageMenu::currentFile() const
{
    const Variant *file = m_state.Config ? m_state.Config->find(QStringLiteral("FileName")) : nullptr;
    return file ? file->text() : QString();
}

QString PageMenu::dialogFolder() const
{
    const QString file = currentFile().isEmpty() ? recentFiles().value(0) : currentFile();
    return file.isEmpty() ? QString() : FileIntake::parentFolder(file);
}

QStringList PageMenu::recentFiles() const
{
    return RecentFiles(m_registry).files();
}

QString PageMenu::chosenCharSet() const
{
    return m_loader.charSetOf(currentFile());
}

void PageMenu::open(const QString &path)
{
    m_intake.open(path);
}

void PageMenu::reload()
{
    open(currentFile());
}

void PageMenu::readIn(const QString &name)
{
    const QString file = currentFile();
    if (file.isEmpty())
        return;
    m_loader.setCharSet(file, name);
    reload();
}

QStringList PageMenu::hotkeys() const
{
    return Hotkeys::help(m_state.menu);
}

} // namespace sorvane

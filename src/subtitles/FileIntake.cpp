#include "subtitles/FileIntake.h"

#include "core/Dictionary.h"
#include "dialogs/Dialogs.h"
#include "page/PageWrite.h"
#include "state/ScriptRunner.h"
#include "state/WindowCommands.h"
#include "state/WindowState.h"
#include "subtitles/SubtitleLoader.h"
#include "text/ShellLink.h"
#include "subtitles/RecentFiles.h"
#include "text/TextCodec.h"

#include <QFile>
#include <QFileInfo>

namespace sorvane {
namespace {

struct Dispatch {
    const char *extension;
    FileIntake::Kind kind;
};

constexpr Dispatch kDispatch[] = {
    {"srt", FileIntake::Kind::Subtitle},  {"ssa", FileIntake::Kind::Subtitle},
    {"ass", FileIntake::Kind::Subtitle},  {"idx", FileIntake::Kind::Subtitle},
    {"sub", FileIntake::Kind::Subtitle},  {"lrc", FileIntake::Kind::Subtitle},
    {"vtt", FileIntake::Kind::Subtitle},
    {"js", FileIntake::Kind::JavaScript}, {"vbs", FileIntake::Kind::VBScript},
};

qsizetype nameStart(const QString &path)
{
    return path.lastIndexOf(u'/') + 1;
}

} // namespace

FileIntake::Kind FileIntake::kindOf(const QString &extension)
{
    for (const Dispatch &d : kDispatch)
        if (extension.compare(QLatin1String(d.extension), Qt::CaseInsensitive) == 0)
            return d.kind;
    return Kind::Refused;
}

QString FileIntake::parentFolder(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString FileIntake::fileName(const QString &path)
{
    return path.mid(nameStart(path));
}

QString FileIntake::baseName(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString FileIntake::extension(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

void FileIntake::CallBack(const QString &path)
{
    QString target = path;
    if (extension(target).toLower() == u"lnk") {
        // One level only; a link that cannot be read names nothing.
        const Result<QString> linked = ShellLink::readTarget(target);
        target = linked ? *linked : QString();
    }
    if (!TextCodec::fileExists(target))
        return;

    const QString ext = extension(target).toLower();
    switch (kindOf(ext)) {
    case Kind::Subtitle:
        loadSubtitles(target);
        break;
    case Kind::JavaScript:
        m_scripts.RunScript(m_codec.GetFileText(target), QStringLiteral("javascript"), true);
        break;
    case Kind::VBScript:
        m_scripts.RunScript(m_codec.GetFileText(target), QStringLiteral("vbscript"), true);
        break;
    case Kind::Refused:
        refuse(ext);
        break;
    }
}

void FileIntake::open(const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    QString why;
    if (!info.exists())
        why = QStringLiteral("the file does not exist");
    else if (info.isDir())
        why = QStringLiteral("it is a folder");
    else if (!info.isReadable())
        why = QStringLiteral("permission denied");
    if (!why.isEmpty()) {
        m_codec.reportReadFailure(path, why);
        return;
    }
    CallBack(path);
}

void FileIntake::takeIn(const QByteArray &nativePath, PathSource source)
{
    const QString path = QFile::decodeName(nativePath);
    if (QFile::encodeName(path) == nativePath) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (source == PathSource::CommandLine)
            open(absolute);
        else
            CallBack(absolute);
        return;
    }
    m_codec.reportReadFailure(path, QStringLiteral("its name is not valid in the system's character set"));
}

void FileIntake::loadSubtitles(const QString &path)
{
    Dictionary &config = *m_state.Config;
    config.setItem(QStringLiteral("FileName"), path);
    config.setItem(QStringLiteral("Parent"), parentFolder(path));
    config.setItem(QStringLiteral("File"), fileName(path));
    config.setItem(QStringLiteral("Base"), baseName(path));
    config.setItem(QStringLiteral("Extension"), extension(path).toLower());

    MenuModel &menu = m_state.menu;
    m_state.Timer1.setEnabled(false);
    menu.setCaption(menu.find(QStringLiteral("OnPlayer")), QStringLiteral("开始"));

    m_state.SavTime = Variant::fromDouble(m_platform.clock->milliseconds());
    m_state.NewTime = QStringLiteral("00:00:00");
    m_state.showTime = QStringLiteral("00:00:00");
    menu.setCaption(menu.find(QStringLiteral("showTimer")), QStringLiteral("00:00:00,000"));
    PageWrite::text(m_state.document, QStringLiteral("TimeBox"), m_state.NewTime + QStringLiteral(" / ") + m_state.stopTime);

    const Variant *caption = config.find(QStringLiteral("Caption"));
    m_commands.setCaption((caption ? caption->text() : QString()) + QStringLiteral(" - ") + fileName(path) +
                      QStringLiteral(" - （快捷键 ESC 显示/隐藏）"));
    // Only a file that could be read is offered again.
    if (m_loader.load(path))
        RecentFiles(m_platform.registry).add(path);
    menu.setEnabled(menu.find(QStringLiteral("OnGetSrt")), true);
}

void FileIntake::refuse(const QString &ext)
{
    PageWrite::html(m_state.document, QStringLiteral("code"),
                    QStringLiteral("<span style='font-family:Microsoft "
                                   "Yahei;font-Weight:bold;font-size:14px;line-height:24px;color:'>暂不支持 ") +
                        ext.toUpper() + QStringLiteral(" 格式文件,请转换成 SRT/SSA/ASS/LRC/SUB/VTT 格式</span>"));
    m_dialogs.MessageBoxTimeout(m_platform.window->windowId(),
                                QStringLiteral("字幕文件 (*.srt;*.ssa;*.ass;*.idx;*.sub;*.lrc;*.vtt)"),
                             QStringLiteral("字幕文件类型"), 48, 0, 5000);
}

void FileIntake::OnGetSrt()
{
    const Variant *file = m_state.Config->find(QStringLiteral("FileName"));
    const QString path = file ? file->text() : QString();
    if (!path.isEmpty() && TextCodec::fileExists(path))
        CallBack(path);
}

} // namespace sorvane

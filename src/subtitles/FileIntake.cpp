#include "subtitles/FileIntake.h"

#include "app/Main.h"
#include "core/Dictionary.h"
#include "subtitles/PageWrite.h"
#include "subtitles/ShellLink.h"
#include "text/TextCodec.h"

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
        m_main.RunScript(m_main.textCodec().GetFileText(target), QStringLiteral("javascript"), true);
        break;
    case Kind::VBScript:
        m_main.RunScript(m_main.textCodec().GetFileText(target), QStringLiteral("vbscript"), true);
        break;
    case Kind::Refused:
        refuse(ext);
        break;
    }
}

void FileIntake::loadSubtitles(const QString &path)
{
    Dictionary &config = *m_main.Config;
    config.setItem(QStringLiteral("FileName"), path);
    config.setItem(QStringLiteral("Parent"), parentFolder(path));
    config.setItem(QStringLiteral("File"), fileName(path));
    config.setItem(QStringLiteral("Base"), baseName(path));
    config.setItem(QStringLiteral("Extension"), extension(path).toLower());

    MenuModel &menu = m_main.menu;
    m_main.Timer1.setEnabled(false);
    menu.setCaption(menu.find(QStringLiteral("OnPlayer")), QStringLiteral("开始"));

    m_main.SavTime = Variant::fromDouble(m_main.platform().clock->milliseconds());
    m_main.NewTime = QStringLiteral("00:00:00");
    m_main.showTime = QStringLiteral("00:00:00");
    menu.setCaption(menu.find(QStringLiteral("showTimer")), QStringLiteral("00:00:00,000"));
    PageWrite::text(m_main.document, QStringLiteral("TimeBox"), m_main.NewTime + QStringLiteral(" / ") + m_main.stopTime);

    const Variant *caption = config.find(QStringLiteral("Caption"));
    m_main.setCaption((caption ? caption->text() : QString()) + QStringLiteral(" - ") + fileName(path) +
                      QStringLiteral(" - （快捷键 ESC 显示/隐藏）"));
    m_main.Addsubtitles(path);
    menu.setEnabled(menu.find(QStringLiteral("OnGetSrt")), true);
}

void FileIntake::refuse(const QString &ext)
{
    PageWrite::html(m_main.document, QStringLiteral("code"),
                    QStringLiteral("<span style='font-family:Microsoft "
                                   "Yahei;font-Weight:bold;font-size:14px;line-height:24px;color:'>暂不支持 ") +
                        ext.toUpper() + QStringLiteral(" 格式文件,请转换成 SRT/SSA/ASS 格式</span>"));
    m_main.MessageBoxTimeout(m_main.platform().window->windowId(),
                             QStringLiteral("字幕文件 (*.srt;*.ssa;*.ass;*.idx;*.sub;*.lrc)"),
                             QStringLiteral("字幕文件类型"), 48, 0, 5000);
}

void FileIntake::OnGetSrt()
{
    const Variant *file = m_main.Config->find(QStringLiteral("FileName"));
    const QString path = file ? file->text() : QString();
    if (!path.isEmpty() && TextCodec::fileExists(path))
        CallBack(path);
}

} // namespace sorvane

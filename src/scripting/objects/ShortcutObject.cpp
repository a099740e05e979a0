#include "scripting/objects/ShortcutObject.h"

#include "text/ShellLink.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QSaveFile>

namespace sorvane {
namespace {

// "path,index" into its parts; a text without a comma is all path.
void splitIcon(const QString &location, QString &path, qint32 &index)
{
    const qsizetype comma = location.lastIndexOf(QLatin1Char(','));
    bool ok = false;
    const qint32 n = comma < 0 ? 0 : location.mid(comma + 1).trimmed().toInt(&ok);
    path = comma >= 0 && ok ? location.left(comma) : location;
    index = ok ? n : 0;
}

using Sc = ShortcutObject;

template <QString Sc::*Field>
HostMember<Sc> textMember(const char *name)
{
    return {name, MemberKind::Property, 0, 0, [](Sc &s, Arguments &) -> Result<Variant> { return Variant(s.*Field); },
            [](Sc &s, Arguments &, const Variant &v) -> Status {
                QString text = TRY(v.toString());
                s.*Field = text;
                return {};
            }};
}

} // namespace

ShortcutObject::ShortcutObject(QString name) : fullName(std::move(name))
{
    QFile file(fullName);
    if (file.open(QIODevice::ReadOnly) && file.size() <= ShellLink::kMaxLinkSize)
        decode(file.readAll());
}

const MemberTable<ShortcutObject> &ShortcutObject::members()
{
    using M = HostMember<Sc>;
    static const MemberTable<Sc> table(
        {
            M{"FullName", MemberKind::Property, 0, 0,
              [](Sc &s, Arguments &) -> Result<Variant> { return Variant(s.fullName); }, nullptr},
            textMember<&Sc::targetPath>("TargetPath"),
            textMember<&Sc::arguments>("Arguments"),
            textMember<&Sc::workingDirectory>("WorkingDirectory"),
            textMember<&Sc::description>("Description"),
            textMember<&Sc::iconLocation>("IconLocation"),
            M{"WindowStyle", MemberKind::Property, 0, 0,
              [](Sc &s, Arguments &) -> Result<Variant> { return Variant::fromLong(s.windowStyle); },
              [](Sc &s, Arguments &, const Variant &v) -> Status {
                  qint32 style = TRY(v.toLong());
                  s.windowStyle = style;
                  return {};
              }},
            M{"Save", MemberKind::Method, 0, 0,
              [](Sc &s, Arguments &) -> Result<Variant> {
                  TRY(s.save());
                  return Variant();
              },
              nullptr},
        },
        "FullName");
    return table;
}

Result<QByteArray> ShortcutObject::encode() const
{
    ShellLink::Link link;
    link.targetPath = targetPath;
    link.arguments = arguments;
    link.workingDirectory = workingDirectory;
    link.description = description;
    splitIcon(iconLocation, link.iconPath, link.iconIndex);
    link.showCommand = windowStyle;
    return ShellLink::encode(link);
}

bool ShortcutObject::decode(const QByteArray &data)
{
    const std::optional<ShellLink::Link> link = ShellLink::decode(data);
    if (!link)
        return false;
    targetPath = link->targetPath;
    description = link->description;
    workingDirectory = link->workingDirectory;
    arguments = link->arguments;
    iconLocation = link->iconPath + QLatin1Char(',') + QString::number(link->iconIndex);
    windowStyle = link->showCommand;
    return true;
}

Status ShortcutObject::save() const
{
    QByteArray bytes = TRY(encode());
    if (!QFileInfo(fullName).absoluteDir().exists())
        return scriptError(ErrorNumber::PathNotFound);
    QSaveFile file(fullName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return scriptError(ErrorNumber::PermissionDenied);
    return {};
}

} // namespace sorvane

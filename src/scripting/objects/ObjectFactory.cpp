#include "scripting/objects/ObjectFactory.h"

#include "core/Dictionary.h"
#include "scripting/objects/FileSystemObject.h"
#include "scripting/objects/RegExpObject.h"
#include "scripting/objects/ShellObject.h"
#include "scripting/objects/StreamObject.h"

#include <QStringList>

#include <iterator>
#include <memory>

namespace sorvane {
namespace {

using Constructor = Result<Variant> (*)(const ObjectContext &);

struct Creatable {
    const char *progId;
    Constructor create;
};

const Creatable kCreatable[] = {
    {"Scripting.Dictionary",
     [](const ObjectContext &) -> Result<Variant> { return Variant::fromObject(std::make_shared<Dictionary>()); }},
    {"Scripting.FileSystemObject",
     [](const ObjectContext &c) -> Result<Variant> {
         return Variant::fromObject(std::make_shared<FileSystemObject>(c.currentFolder));
     }},
    {"VBScript.RegExp",
     [](const ObjectContext &) -> Result<Variant> { return Variant::fromObject(std::make_shared<RegExpObject>()); }},
    // Text in named character sets needs the program's codec.
    {"ADODB.Stream",
     [](const ObjectContext &c) -> Result<Variant> {
         if (!c.codec)
             return scriptError(ErrorNumber::CannotCreateObject);
         return Variant::fromObject(std::make_shared<StreamObject>(c.codec));
     }},
    // Boxes and programs need their services; the registry may be absent.
    {"WScript.Shell",
     [](const ObjectContext &c) -> Result<Variant> {
         if (!c.platform.dialogs || !c.platform.shell)
             return scriptError(ErrorNumber::CannotCreateObject);
         return Variant::fromObject(
             std::make_shared<ShellObject>(*c.platform.dialogs, *c.platform.shell,
                                         c.registry ? c.registry : c.platform.registry, c.currentFolder,
                                         c.platform.window, c.onWait));
     }},
};

} // namespace

Result<Variant> createObject(const QString &progId, const ObjectContext &context)
{
    for (const Creatable &c : kCreatable)
        if (progId.compare(QLatin1String(c.progId), Qt::CaseInsensitive) == 0)
            return c.create(context);
    return scriptError(ErrorNumber::CannotCreateObject);
}

QStringList creatableObjects()
{
    QStringList names;
    for (const Creatable &c : kCreatable)
        names << QString::fromLatin1(c.progId);
    return names;
}

} // namespace sorvane

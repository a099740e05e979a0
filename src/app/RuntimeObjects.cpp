#include "app/RuntimeObjects.h"

#include "app/Main.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include <unistd.h>

namespace sorvane {
namespace {

template <typename T>
using M = HostMember<T>;

constexpr int kTwipsPerPixel = 15;

Result<Variant> constant(const Variant &value)
{
    return value;
}

} // namespace

const MemberTable<AppObject> &AppObject::members()
{
    using T = AppObject;
    static const MemberTable<T> table({
        // The folder without its closing separator, except for the root.
        M<T>{"Path", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> {
                 QString folder = o.main().Folder;
                 if (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
                     folder.chop(1);
                 return Variant(folder);
             },
             nullptr},
        M<T>{"EXEName", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> {
                 return Variant(QFileInfo(o.main().platform().system->programFilePath()).completeBaseName());
             },
             nullptr},
        M<T>{"hInstance", MemberKind::Property, 0, 0,
             [](T &, Arguments &) -> Result<Variant> { return Variant::fromLong(qint32(::getpid())); }, nullptr},
        M<T>{"ThreadID", MemberKind::Property, 0, 0,
             [](T &, Arguments &) -> Result<Variant> { return Variant::fromLong(qint32(::gettid())); }, nullptr},
        M<T>{"Title", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant("Sorvane"); }, nullptr},
        M<T>{"ProductName", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant("Sorvane"); },
             nullptr},
        M<T>{"PrevInstance", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(false); }, nullptr},
        M<T>{"StartMode", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(Variant::fromLong(0)); },
             nullptr},
        M<T>{"LogMode", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(Variant::fromLong(0)); },
             nullptr},
        M<T>{"Major", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(Variant::fromInteger(0)); },
             nullptr},
        M<T>{"Minor", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(Variant::fromInteger(1)); },
             nullptr},
        M<T>{"Revision", MemberKind::Property, 0, 0,
             [](T &, Arguments &) { return constant(Variant::fromInteger(0)); }, nullptr},
    });
    return table;
}

const MemberTable<ClipboardObject> &ClipboardObject::members()
{
    using T = ClipboardObject;
    static const MemberTable<T> table({
        M<T>{"GetText", MemberKind::Method, 0, 1,
             [](T &o, Arguments &) -> Result<Variant> {
                 return Variant(o.main().platform().clipboard->clipboardText());
             },
             nullptr},
        M<T>{"SetText", MemberKind::Method, 1, 2,
             [](T &o, Arguments &a) -> Result<Variant> {
                 QString text = TRY(a.text(0));
                 o.main().platform().clipboard->setClipboardText(text);
                 return Variant();
             },
             nullptr},
        M<T>{"Clear", MemberKind::Method, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> {
                 o.main().platform().clipboard->setClipboardText(QString());
                 return Variant();
             },
             nullptr},
    });
    return table;
}

const MemberTable<ScreenObject> &ScreenObject::members()
{
    using T = ScreenObject;
    static const MemberTable<T> table({
        M<T>{"Width", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> {
                 return Variant::fromSingle(float(o.main().platform().system->screenSize().width * kTwipsPerPixel));
             },
             nullptr},
        M<T>{"Height", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> {
                 return Variant::fromSingle(float(o.main().platform().system->screenSize().height * kTwipsPerPixel));
             },
             nullptr},
        M<T>{"TwipsPerPixelX", MemberKind::Property, 0, 0,
             [](T &, Arguments &) { return constant(Variant::fromSingle(kTwipsPerPixel)); }, nullptr},
        M<T>{"TwipsPerPixelY", MemberKind::Property, 0, 0,
             [](T &, Arguments &) { return constant(Variant::fromSingle(kTwipsPerPixel)); }, nullptr},
        M<T>{"ActiveForm", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant::fromObject(o.main().scriptObject()); },
             nullptr},
        M<T>{"MousePointer", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant::fromInteger(qint16(o.mousePointer)); },
             [](T &o, Arguments &, const Variant &v) -> Status {
                 qint32 pointer = TRY(v.toLong());
                 o.mousePointer = pointer;
                 return {};
             }},
    });
    return table;
}

const MemberTable<PrinterObject> &PrinterObject::members()
{
    using T = PrinterObject;
    static const MemberTable<T> table({
        M<T>{"DeviceName", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(QString()); }, nullptr},
        M<T>{"DriverName", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(QString()); }, nullptr},
        M<T>{"Port", MemberKind::Property, 0, 0, [](T &, Arguments &) { return constant(QString()); }, nullptr},
    });
    return table;
}

} // namespace sorvane

#include "app/MainObject.h"

#include "app/ControlObjects.h"
#include "app/Main.h"
#include "app/RuntimeObjects.h"
#include "app/WindowPlacement.h"
#include "core/Dictionary.h"
#include "scripting/objects/PageObjects.h"
#include "text/TextCodec.h"
#include "text/TextUtilities.h"
#include "text/VbFormat.h"

#include <array>

namespace sorvane {
namespace {

using namespace TextUtilities;
using T = MainObject;
using M = HostMember<T>;

Result<Variant> none()
{
    return Variant();
}

// Text arguments of a call, converted in order; the first failure wins.
template <int N>
Result<std::array<QString, N>> texts(Arguments &a)
{
    std::array<QString, N> out;
    for (int i = 0; i < N; ++i) {
        QString t = TRY(a.text(i));
        out[i] = t;
    }
    return out;
}

template <typename F>
Result<Variant> callWithBool(Arguments &a, F f)
{
    bool b = TRY(a.toBool(0));
    f(b);
    return none();
}

template <typename F>
Result<Variant> callWithText(Arguments &a, F f)
{
    QString t = TRY(a.text(0));
    f(t);
    return none();
}

Result<Variant> dictionaryVariant(const std::shared_ptr<Dictionary> &d)
{
    return d ? Variant::fromObject(d) : Variant::nothing();
}

Status setDictionary(std::shared_ptr<Dictionary> &target, const Variant &value)
{
    if (!value.isObject())
        return scriptError(ErrorNumber::ObjectRequired);
    auto d = std::dynamic_pointer_cast<Dictionary>(value.objectValue());
    if (!d)
        return scriptError(ErrorNumber::TypeMismatch);
    target = d;
    return {};
}

#define SORVANE_TEXT_VARIABLE(NAME)                                                                                  \
    M                                                                                                                  \
    {                                                                                                                  \
        #NAME, MemberKind::Property, 0, 0, [](T &o, Arguments &) -> Result<Variant> { return Variant(o.main().NAME); }, \
            [](T &o, Arguments &, const Variant &v) -> Status {                                                        \
                o.main().NAME = TRY(v.toString());                                                                     \
                return {};                                                                                             \
            }                                                                                                          \
    }

#define SORVANE_LONG_VARIABLE(NAME)                                                                                  \
    M                                                                                                                  \
    {                                                                                                                  \
        #NAME, MemberKind::Property, 0, 0,                                                                             \
            [](T &o, Arguments &) -> Result<Variant> { return Variant::fromLong(o.main().NAME); },                     \
            [](T &o, Arguments &, const Variant &v) -> Status {                                                        \
                o.main().NAME = TRY(v.toLong());                                                                       \
                return {};                                                                                             \
            }                                                                                                          \
    }

// An edge or the size of the window, in twips.
#define SORVANE_PLACEMENT(NAME, GET, SET)                                                                            \
    M                                                                                                                  \
    {                                                                                                                  \
        #NAME, MemberKind::Property, 0, 0,                                                                             \
            [](T &o, Arguments &) -> Result<Variant> {                                                                 \
                return Variant::fromSingle(float(o.main().placement().GET()));                                         \
            },                                                                                                         \
            [](T &o, Arguments &, const Variant &v) -> Status {                                                        \
                const double twips = TRY(v.toDouble());                                                                \
                return o.main().placement().SET(twips);                                                                \
            }                                                                                                          \
    }

#define SORVANE_DICTIONARY_VARIABLE(NAME)                                                                            \
    M                                                                                                                  \
    {                                                                                                                  \
        #NAME, MemberKind::Property, 0, 0, [](T &o, Arguments &) { return dictionaryVariant(o.main().NAME); },          \
            [](T &o, Arguments &, const Variant &v) { return setDictionary(o.main().NAME, v); }                        \
    }

} // namespace

const QStringList &MainObject::controlNames()
{
    static const QStringList names = {
        "OnInfo",       "OnTitle",      "OnSetTime",   "OnFontFamily",  "Timer1",     "WebBrowser1",
        "OnMenu",       "OnSrting",     "OnFontSizeA", "OnSetColor",    "OnFontWeight", "OnSystem",
        "OnSetTimeB",   "OnTransparent", "OnSetTimeA", "OnGetSrt",      "OnShadow",   "OnMsKeys",
        "OnWeight",     "OpenScript",   "showTimer",   "EvalScript",    "OnSrtSave",  "OnPlayer",
        "Timer2",       "OnScript",     "OnEnglish",   "OnTop",         "OnEnabled",  "OnFontSizeB",
        "OnSorting",    "dsffsdfdsfsd", "dsfdfbdfgfd", "dasjhfgjfd",    "fdgdfgfdf",  "dsfgfdfgsafew",
        "dsfsdafsda32fasd3", "dsfd2s313fds1", "dfgdfgdf",
    };
    return names;
}

Variant MainObject::control(const QString &name)
{
    const QString key = name.toCaseFolded();
    auto cached = m_controls.constFind(key);
    if (cached != m_controls.cend())
        return *cached;
    const int index = controlIndex(name);
    if (index < 0)
        return Variant::nothing();
    const QString &canonical = controlNames()[index];

    std::shared_ptr<DispatchObject> object;
    if (canonical == QLatin1String("Timer1"))
        object = std::make_shared<TimerObject>(m_main.Timer1, canonical);
    else if (canonical == QLatin1String("Timer2"))
        object = std::make_shared<TimerObject>(m_main.Timer2, canonical);
    else if (canonical == QLatin1String("WebBrowser1"))
        object = std::make_shared<WebBrowserObject>(m_main);
    else if (!m_main.menu.group(canonical).isEmpty())
        object = std::make_shared<MenuGroupObject>(m_main, canonical);
    else
        object = std::make_shared<MenuItemObject>(m_main, m_main.menu.find(canonical));
    const Variant v = Variant::fromObject(object);
    m_controls.insert(key, v);
    return v;
}

int MainObject::controlIndex(const QString &name)
{
    const QStringList &names = controlNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

namespace {

// A control is read as a property; an index given with it indexes the
// control's value (its default member).
Result<Variant> controlValue(const Variant &control, CallKind kind, QVector<Variant> &args)
{
    if (kind != CallKind::Get)
        return scriptError(ErrorNumber::WrongArgumentCount);
    return args.isEmpty() ? Result<Variant>(control) : indexValue(control, args);
}

} // namespace

Result<Variant> MainObject::invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value)
{
    if (!name.isEmpty() && !T::members().find(name)) {
        const Variant c = control(name);
        if (!c.isNothing())
            return controlValue(c, kind, args);
    }
    return HostObject<MainObject>::invoke(name, kind, args, value);
}

int MainObject::memberNumber(const QString &name) const
{
    const int number = T::members().indexOf(name);
    if (number >= 0 || name.isEmpty())
        return number;
    const int c = controlIndex(name);
    return c < 0 ? -1 : T::members().size() + c;
}

Result<Variant> MainObject::invokeNumber(int number, CallKind kind, QVector<Variant> &args, const Variant &value)
{
    const int c = number - T::members().size();
    if (c >= 0 && c < controlNames().size())
        return controlValue(control(controlNames()[c]), kind, args);
    return HostObject<MainObject>::invokeNumber(number, kind, args, value);
}

std::optional<MemberInfo> MainObject::member(const QString &name) const
{
    if (auto info = HostObject<MainObject>::member(name))
        return info;
    if (controlIndex(name) >= 0)
        return MemberInfo{MemberKind::Property, 0, 0};
    return std::nullopt;
}

QStringList MainObject::memberNames() const
{
    return T::members().names() + controlNames();
}

const MemberTable<MainObject> &MainObject::members()
{
    static const MemberTable<T> table({
        // Window variables.
        M{"document", MemberKind::Property, 0, 0,
          [](T &o, Arguments &) -> Result<Variant> { return documentVariant(o.main().document); }, nullptr},
        SORVANE_TEXT_VARIABLE(Folder),
        SORVANE_TEXT_VARIABLE(ScriptPath),
        SORVANE_DICTIONARY_VARIABLE(subtitles),
        SORVANE_DICTIONARY_VARIABLE(subtitlesSort),
        SORVANE_DICTIONARY_VARIABLE(Config),
        SORVANE_LONG_VARIABLE(MSID),
        SORVANE_LONG_VARIABLE(Mode),
        M{"SavTime", MemberKind::Property, 0, 0, [](T &o, Arguments &) -> Result<Variant> { return o.main().SavTime; },
          [](T &o, Arguments &, const Variant &v) -> Status {
              o.main().SavTime = v;
              return {};
          }},
        SORVANE_TEXT_VARIABLE(NewTime),
        SORVANE_TEXT_VARIABLE(showTime),
        SORVANE_TEXT_VARIABLE(stopTime),
        SORVANE_LONG_VARIABLE(showOut),
        M{"shortcuts", MemberKind::Property, 0, 0,
          [](T &o, Arguments &) -> Result<Variant> { return Variant(o.main().shortcuts); },
          [](T &o, Arguments &, const Variant &v) -> Status {
              bool b = TRY(v.toBool());
              o.main().shortcuts = b;
              return {};
          }},

        // The form itself.
        M{"Caption", MemberKind::Property, 0, 0,
          [](T &o, Arguments &) -> Result<Variant> { return Variant(o.main().caption()); },
          [](T &o, Arguments &, const Variant &v) -> Status {
              QString s = TRY(v.toString());
              o.main().setCaption(s);
              return {};
          }},
        SORVANE_PLACEMENT(Left, left, setLeft),
        SORVANE_PLACEMENT(Top, top, setTop),
        SORVANE_PLACEMENT(Width, width, setWidth),
        SORVANE_PLACEMENT(Height, height, setHeight),
        M{"WindowState", MemberKind::Property, 0, 0,
          [](T &o, Arguments &) -> Result<Variant> {
              return Variant::fromInteger(qint16(o.main().placement().windowState()));
          },
          [](T &o, Arguments &, const Variant &v) -> Status {
              const qint32 state = TRY(v.toLong());
              return o.main().placement().setWindowState(state);
          }},
        M{"hWnd", MemberKind::Property, 0, 0,
          [](T &o, Arguments &) -> Result<Variant> {
              return Variant::fromLong(qint32(o.main().platform().window->windowId()));
          },
          nullptr},
        M{"Name", MemberKind::Property, 0, 0, [](T &, Arguments &) -> Result<Variant> { return Variant("Main"); },
          nullptr},

        // Window placement.
        M{"SetTopCenter", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) -> Result<Variant> {
              qint32 offset = TRY(a.toLong(0));
              o.main().SetTopCenter(offset);
              return none();
          },
          nullptr},

        M{"Web_Hwnd", MemberKind::Property, 0, 0,
          [](T &o, Arguments &) -> Result<Variant> { return Variant::fromLong(qint32(o.main().Web_Hwnd())); },
          nullptr},
        M{"IE_Hwnd", MemberKind::Property, 0, 0,
          [](T &o, Arguments &) -> Result<Variant> { return Variant::fromLong(qint32(o.main().IE_Hwnd())); },
          nullptr},
        M{"SetMenuVisible", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) { return callWithBool(a, [&o](bool b) { o.main().SetMenuVisible(b); }); }, nullptr},
        M{"Transparent", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) { return callWithBool(a, [&o](bool b) { o.main().Transparent(b); }); }, nullptr},
        M{"SetInternetExplorerVersion", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) {
              return callWithText(a, [&o](const QString &keys) { o.main().SetInternetExplorerVersion(keys); });
          },
          nullptr},

        // Subtitles and playback.
        M{"Addsubtitles", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) -> Result<Variant> {
              QString file = TRY(a.text(0));
              return Variant(o.main().Addsubtitles(file));
          },
          nullptr},
        M{"CallBack", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) {
              return callWithText(a, [&o](const QString &file) { o.main().CallBack(file); });
          },
          nullptr},
        M{"SetMsIndex", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) -> Result<Variant> {
              qint32 index = TRY(a.toLong(0));
              o.main().SetMsIndex(index);
              return none();
          },
          nullptr},

        // Text style.
        M{"SetTextShadow", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) { return callWithBool(a, [&o](bool b) { o.main().SetTextShadow(b); }); }, nullptr},
        M{"SetFontWeight", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) {
              return callWithText(a, [&o](const QString &keys) { o.main().SetFontWeight(keys); });
          },
          nullptr},

        // Text files.
        M{"IsUtf8", MemberKind::Method, 1, 1,
          [](T &, Arguments &a) -> Result<Variant> {
              QString bytes = TRY(a.text(0));
              return Variant(TextCodec::IsUtf8(bytes));
          },
          nullptr},
        M{"GetBytes", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) -> Result<Variant> {
              QString file = TRY(a.text(0));
              return wrap(o.main().textCodec().GetBytes(file));
          },
          nullptr},
        M{"GetFileHeader", MemberKind::Method, 4, 4,
          [](T &o, Arguments &a) -> Result<Variant> {
              QString file = TRY(a.text(0));
              qint32 addr = TRY(a.toLong(1));
              qint32 count = TRY(a.toLong(2));
              QString separator = TRY(a.text(3));
              return wrap(o.main().textCodec().GetFileHeader(file, addr, count, separator));
          },
          nullptr},
        M{"GetStrText", MemberKind::Method, 2, 2,
          [](T &o, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<2>(a));
              TextCodec::TextRead read = o.main().textCodec().readText(t[0], t[1]);
              if (!read.charSet.isEmpty())
                  o.main().Config->setItem(QStringLiteral("CharSet"), read.charSet);
              return Variant(std::move(read.text));
          },
          nullptr},
        M{"PutStrText", MemberKind::Method, 3, 3,
          [](T &o, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<3>(a));
              o.main().textCodec().PutStrText(t[0], t[1], t[2]);
              return none();
          },
          nullptr},
        M{"GetFileText", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) -> Result<Variant> {
              QString file = TRY(a.text(0));
              return Variant(o.main().textCodec().GetFileText(file));
          },
          nullptr},
        M{"SetFileText", MemberKind::Method, 2, 2,
          [](T &o, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<2>(a));
              TRY(o.main().textCodec().SetFileText(t[0], t[1]));
              return none();
          },
          nullptr},

        // Text and pattern utilities.
        M{"Trim", MemberKind::Method, 1, 1, [](T &, Arguments &a) { return wrap(Trim(a[0])); }, nullptr},
        M{"Test", MemberKind::Method, 2, 2,
          [](T &, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<2>(a));
              return wrap(Test(t[0], t[1]));
          },
          nullptr},
        M{"Replace", MemberKind::Method, 3, 3,
          [](T &, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<3>(a));
              return wrap(Replace(t[0], t[1], t[2]));
          },
          nullptr},
        M{"RegExpText", MemberKind::Method, 3, 3,
          [](T &, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<3>(a));
              return wrap(RegExpText(t[0], t[1], t[2]));
          },
          nullptr},
        M{"GetCount", MemberKind::Method, 1, 1,
          [](T &, Arguments &a) -> Result<Variant> { return Variant::fromLong(GetCount(a[0])); }, nullptr},
        // The array is passed by reference and grows in place.
        M{"Push", MemberKind::Method, 2, 2,
          [](T &, Arguments &a) -> Result<Variant> {
              Push(a.ref(0), a[1]);
              return none();
          },
          nullptr},
        M{"GetKeyText", MemberKind::Method, 3, 3,
          [](T &, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<3>(a));
              return GetKeyText(t[0], t[1], t[2]);
          },
          nullptr},
        M{"vbVal", MemberKind::Method, 1, 1,
          [](T &, Arguments &a) -> Result<Variant> {
              qint32 n = TRY(vbVal(a[0]));
              return Variant::fromLong(n);
          },
          nullptr},
        M{"vbFormat", MemberKind::Method, 2, 2,
          [](T &, Arguments &a) -> Result<Variant> {
              QString format = TRY(a.text(1));
              return wrap(vbFormat(a[0], format));
          },
          nullptr},

        // Boxes.
        M{"MsgBoxInfoB", MemberKind::Method, 4, 4,
          [](T &o, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<4>(a));
              return Variant(o.main().MsgBoxInfoB(t[0], t[1], t[2], t[3]));
          },
          nullptr},
        M{"MsgBoxB", MemberKind::Method, 3, 3,
          [](T &o, Arguments &a) -> Result<Variant> {
              QString text = TRY(a.text(0));
              qint32 type = TRY(a.toLong(1));
              QString caption = TRY(a.text(2));
              return Variant::fromLong(o.main().MsgBoxB(text, type, caption));
          },
          nullptr},
        M{"InputBoxB", MemberKind::Method, 3, 3,
          [](T &o, Arguments &a) -> Result<Variant> {
              auto t = TRY(texts<3>(a));
              return Variant(o.main().InputBoxB(t[0], t[1], t[2]));
          },
          nullptr},
        M{"MessageBoxTimeout", MemberKind::Method, 6, 6,
          [](T &o, Arguments &a) -> Result<Variant> {
              qint32 owner = TRY(a.toLong(0));
              qint32 type = TRY(a.toLong(3));
              qint32 language = TRY(a.toLong(4));
              qint32 timeout = TRY(a.toLong(5));
              QString text = TRY(a.text(1));
              QString caption = TRY(a.text(2));
              return Variant::fromLong(
                  o.main().MessageBoxTimeout(quintptr(quint32(owner)), text, caption, type, language, timeout));
          },
          nullptr},
        // The choosers, for scripts only.
        M{"ChooseColor", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) -> Result<Variant> {
              QString initial = TRY(a.text(0));
              return Variant(o.main().ChooseColor(initial));
          },
          nullptr},
        M{"ChooseFont", MemberKind::Method, 1, 1,
          [](T &o, Arguments &a) -> Result<Variant> {
              QString family = TRY(a.text(0));
              return Variant(o.main().ChooseFont(family));
          },
          nullptr},
    });
    return table;
}

void MainObject::exposeProgramObjects(Main &main,
                                      const std::function<void(const QString &name, const Variant &value)> &expose)
{
    expose(QStringLiteral("App"), Variant::fromObject(std::make_shared<AppObject>(main)));
    expose(QStringLiteral("Clipboard"), Variant::fromObject(std::make_shared<ClipboardObject>(main)));
    expose(QStringLiteral("Screen"), Variant::fromObject(std::make_shared<ScreenObject>(main)));
    expose(QStringLiteral("Printer"), Variant::fromObject(std::make_shared<PrinterObject>()));

    auto filter = std::make_shared<Dictionary>();
    auto mainObject = std::static_pointer_cast<MainObject>(main.scriptObject());
    expose(QStringLiteral("Main"), Variant::fromObject(mainObject));
    filter->setItem(QStringLiteral("Main"), true);
    for (const QString &name : controlNames()) {
        if (filter->exists(name))
            continue;
        expose(name, mainObject->control(name));
        filter->setItem(name, true);
    }
    expose(QStringLiteral("filter"), Variant::fromObject(filter));
}

} // namespace sorvane

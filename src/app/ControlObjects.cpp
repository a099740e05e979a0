#include "app/ControlObjects.h"

#include "app/Main.h"
#include "scripting/objects/PageObjects.h"

#include <algorithm>

namespace sorvane {
namespace {

template <typename T>
using M = HostMember<T>;

Status setMenuFlag(MenuItemObject &item, const Variant &value, void (MenuModel::*setter)(int, bool))
{
    bool flag = TRY(value.toBool());
    (item.main().menu.*setter)(item.position(), flag);
    return {};
}

const MenuItem &itemOf(const MenuItemObject &o)
{
    return o.main().menu.at(o.position());
}

} // namespace

const MemberTable<MenuItemObject> &MenuItemObject::members()
{
    using T = MenuItemObject;
    static const MemberTable<T> table({
        M<T>{"Caption", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant(itemOf(o).caption); },
             [](T &o, Arguments &, const Variant &v) -> Status {
                 QString text = TRY(v.toString());
                 o.main().menu.setCaption(o.position(), text);
                 return {};
             }},
        M<T>{"Checked", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant(itemOf(o).checked); },
             [](T &o, Arguments &, const Variant &v) { return setMenuFlag(o, v, &MenuModel::setChecked); }},
        M<T>{"Enabled", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant(itemOf(o).enabled); },
             [](T &o, Arguments &, const Variant &v) { return setMenuFlag(o, v, &MenuModel::setEnabled); }},
        M<T>{"Visible", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant(itemOf(o).visible); },
             [](T &o, Arguments &, const Variant &v) { return setMenuFlag(o, v, &MenuModel::setVisible); }},
        M<T>{"Name", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant(itemOf(o).name); }, nullptr},
        M<T>{"Index", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> {
                 const int index = itemOf(o).index;
                 if (index < 0)
                     return scriptError(ErrorNumber::ObjectNotAnArray);
                 return Variant::fromInteger(qint16(index));
             },
             nullptr},
    });
    return table;
}

QVector<int> MenuGroupObject::positions() const
{
    return m_main.menu.group(m_name);
}

Result<Variant> MenuGroupObject::item(const Variant &index)
{
    qint32 i = TRY(index.toLong());
    for (int position : positions())
        if (m_main.menu.at(position).index == i)
            return Variant::fromObject(std::make_shared<MenuItemObject>(m_main, position));
    return scriptError(ErrorNumber::ControlArrayElementMissing);
}

qint32 MenuGroupObject::bound(bool upper) const
{
    QVector<int> indexes;
    for (int position : positions())
        indexes.append(m_main.menu.at(position).index);
    if (indexes.isEmpty())
        return upper ? -1 : 0;
    return upper ? *std::max_element(indexes.begin(), indexes.end()) : *std::min_element(indexes.begin(), indexes.end());
}

Result<QVector<Variant>> MenuGroupObject::elements()
{
    QVector<Variant> out;
    for (int position : positions())
        out.append(Variant::fromObject(std::make_shared<MenuItemObject>(m_main, position)));
    return out;
}

const MemberTable<MenuGroupObject> &MenuGroupObject::members()
{
    using T = MenuGroupObject;
    static const MemberTable<T> table(
        {
            M<T>{"Item", MemberKind::Indexed, 1, 1, [](T &o, Arguments &a) { return o.item(a[0]); }, nullptr},
            M<T>{"Count", MemberKind::Property, 0, 0,
                 [](T &o, Arguments &) -> Result<Variant> { return Variant::fromLong(qint32(o.positions().size())); },
                 nullptr},
            M<T>{"LBound", MemberKind::Property, 0, 0,
                 [](T &o, Arguments &) -> Result<Variant> { return Variant::fromLong(o.bound(false)); }, nullptr},
            M<T>{"UBound", MemberKind::Property, 0, 0,
                 [](T &o, Arguments &) -> Result<Variant> { return Variant::fromLong(o.bound(true)); }, nullptr},
        },
        "Item");
    return table;
}

const MemberTable<TimerObject> &TimerObject::members()
{
    using T = TimerObject;
    static const MemberTable<T> table({
        M<T>{"Enabled", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant(o.timer().enabled()); },
             [](T &o, Arguments &, const Variant &v) -> Status {
                 bool on = TRY(v.toBool());
                 o.timer().setEnabled(on);
                 return {};
             }},
        M<T>{"Interval", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return Variant::fromLong(o.timer().interval()); },
             [](T &o, Arguments &, const Variant &v) -> Status {
                 qint32 ms = TRY(v.toLong());
                 if (ms < 0 || ms > 65535)
                     return scriptError(ErrorNumber::InvalidPropertyValue, QStringLiteral("Invalid property value"));
                 o.timer().setInterval(ms);
                 return {};
             }},
        M<T>{"Name", MemberKind::Property, 0, 0, [](T &o, Arguments &) -> Result<Variant> { return Variant(o.name()); },
             nullptr},
    });
    return table;
}

const MemberTable<WebBrowserObject> &WebBrowserObject::members()
{
    using T = WebBrowserObject;
    static const MemberTable<T> table({
        M<T>{"Document", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> { return documentVariant(o.main().document); }, nullptr},
        M<T>{"Name", MemberKind::Property, 0, 0,
             [](T &, Arguments &) -> Result<Variant> { return Variant("WebBrowser1"); }, nullptr},
        M<T>{"LocationURL", MemberKind::Property, 0, 0,
             [](T &, Arguments &) -> Result<Variant> { return Variant("about:blank"); }, nullptr},
        M<T>{"Silent", MemberKind::Property, 0, 0, [](T &, Arguments &) -> Result<Variant> { return Variant(true); },
             nullptr},
    });
    return table;
}

} // namespace sorvane

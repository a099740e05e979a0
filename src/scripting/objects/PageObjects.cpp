#include "scripting/objects/PageObjects.h"

#include "page/PageDocument.h"

namespace sorvane {
namespace {

template <typename T>
using M = HostMember<T>;

Status setText(ElementObject &o, const Variant &value, void (PageElement::*setter)(const QString &))
{
    PageElement *e = TRY(o.element());
    // Null and Empty write an empty text, as the page does.
    const QString text = value.text();
    (e->*setter)(text);
    return {};
}

Result<Variant> readElement(const ElementObject &o, QString (PageElement::*getter)() const)
{
    PageElement *e = TRY(o.element());
    return Variant((e->*getter)());
}

} // namespace

Variant documentVariant(const std::shared_ptr<PageDocument> &document)
{
    if (!document)
        return Variant::nothing();
    return Variant::fromObject(std::make_shared<DocumentObject>(document));
}

const MemberTable<DocumentObject> &DocumentObject::members()
{
    using T = DocumentObject;
    static const MemberTable<T> table({
        M<T>{"getElementById", MemberKind::Method, 1, 1,
             [](T &o, Arguments &a) -> Result<Variant> {
                 QString id = TRY(a.text(0));
                 if (!o.document()->getElementById(id))
                     return Variant::nothing();
                 return Variant::fromObject(std::make_shared<ElementObject>(o.document(), id));
             },
             nullptr},
        M<T>{"title", MemberKind::Property, 0, 0,
             [](T &, Arguments &) -> Result<Variant> { return Variant("Internet Explorer_Server"); }, nullptr},
    });
    return table;
}

Result<PageElement *> ElementObject::element() const
{
    PageElement *e = m_document->getElementById(m_id);
    if (!e)
        return scriptError(ErrorNumber::ObjectRequired);
    return e;
}

const MemberTable<ElementObject> &ElementObject::members()
{
    using T = ElementObject;
    static const MemberTable<T> table({
        M<T>{"innerHTML", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) { return readElement(o, &PageElement::innerHTML); },
             [](T &o, Arguments &, const Variant &v) { return setText(o, v, &PageElement::setInnerHTML); }},
        M<T>{"innerText", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) { return readElement(o, &PageElement::innerText); },
             [](T &o, Arguments &, const Variant &v) { return setText(o, v, &PageElement::setInnerText); }},
        M<T>{"outerHTML", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) { return readElement(o, &PageElement::outerHTML); }, nullptr},
        M<T>{"id", MemberKind::Property, 0, 0, [](T &o, Arguments &) -> Result<Variant> { return Variant(o.id()); },
             nullptr},
        M<T>{"tagName", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) { return readElement(o, &PageElement::tagName); }, nullptr},
        M<T>{"className", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) { return readElement(o, &PageElement::className); }, nullptr},
        M<T>{"style", MemberKind::Property, 0, 0,
             [](T &o, Arguments &) -> Result<Variant> {
                 TRY(o.element());
                 return Variant::fromObject(std::make_shared<StyleObject>(o.document(), o.id()));
             },
             nullptr},
    });
    return table;
}

Result<Variant> StyleObject::invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value)
{
    PageElement *e = TRY(m_element.element());
    PageStyle &style = e->style();
    const bool whole = name.compare(QLatin1String("cssText"), Qt::CaseInsensitive) == 0;
    if (name.isEmpty() || !args.isEmpty())
        return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
    if (kind == CallKind::Get)
        return Variant(whole ? style.cssText() : style.property(name));
    if (kind == CallKind::Set)
        return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
    const QString text = value.text();
    if (whole)
        style.setCssText(text);
    else
        style.setProperty(name, text);
    return Variant();
}

std::optional<MemberInfo> StyleObject::member(const QString &name) const
{
    if (name.isEmpty())
        return std::nullopt;
    return MemberInfo{MemberKind::Property, 0, 0};
}

QStringList StyleObject::memberNames() const
{
    QStringList names{QStringLiteral("cssText")};
    Result<PageElement *> e = m_element.element();
    if (e)
        for (const PageStyle::Declaration &d : (*e)->style().declarations())
            names << d.name;
    return names;
}

} // namespace sorvane

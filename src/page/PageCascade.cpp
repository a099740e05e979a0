#include "page/PageCascade.h"

#include "page/PageDocument.h"

#include <algorithm>
#include <cmath>

namespace sorvane {

PageCascade::PageCascade(const PageDocument &document, const PageElement &element)
    : m_document(document), m_element(element)
{
    for (const QString &name : element.className().split(u' ', Qt::SkipEmptyParts))
        m_classRules << &document.classRule(name);
}

QString PageCascade::own(const QString &property) const
{
    QString value = m_element.style().property(property);
    for (auto it = m_classRules.crbegin(); value.isEmpty() && it != m_classRules.crend(); ++it)
        value = (*it)->property(property);
    return value;
}

QString PageCascade::body(const QString &property) const
{
    return m_document.bodyStyle().property(property);
}

QString PageCascade::inherited(const QString &property) const
{
    const QString value = own(property);
    return value.isEmpty() ? body(property) : value;
}

TextLook PageCascade::textLook() const
{
    using namespace CssValue;
    const double parentSize = fontSize(body(u"font-size"_qs), kDefaultFontPx);
    const int parentWeight = fontWeight(body(u"font-weight"_qs), kDefaultWeight);
    TextLook look;
    const double size = fontSize(own(u"font-size"_qs), parentSize);
    look.families = fontFamilies(inherited(u"font-family"_qs));
    if (look.families.isEmpty())
        look.families << u"Times New Roman"_qs << u"serif"_qs;
    look.pixelSize = std::max(1, int(std::lround(size)));
    look.weight = fontWeight(own(u"font-weight"_qs), parentWeight);
    const QString style = inherited(u"font-style"_qs).toLower();
    look.italic = style == u"italic"_qs || style == u"oblique"_qs;
    look.color = CssValue::color(inherited(u"color"_qs)).value_or(CssColor{});
    look.align = textAlign(inherited(u"text-align"_qs));
    const QString lineHeight = inherited(u"line-height"_qs).trimmed();
    bool unitless = false;
    const double factor = lineHeight.toDouble(&unitless);
    if (unitless)
        look.lineHeight = factor * size;
    else if (auto px = length(lineHeight, size, size))
        look.lineHeight = *px;
    return look;
}

BoxEdges PageCascade::padding(double containerWidth, double em) const
{
    BoxEdges edges;
    auto length = [&](const QString &v) { return std::max(0.0, CssValue::length(v, containerWidth, em).value_or(0)); };
    const QStringList parts = own(u"padding"_qs).simplified().split(u' ', Qt::SkipEmptyParts);
    if (!parts.isEmpty()) {
        edges.top = length(parts[0]);
        edges.right = parts.size() > 1 ? length(parts[1]) : edges.top;
        edges.bottom = parts.size() > 2 ? length(parts[2]) : edges.top;
        edges.left = parts.size() > 3 ? length(parts[3]) : edges.right;
    }
    if (const QString v = own(u"padding-top"_qs); !v.isEmpty())
        edges.top = length(v);
    if (const QString v = own(u"padding-right"_qs); !v.isEmpty())
        edges.right = length(v);
    if (const QString v = own(u"padding-bottom"_qs); !v.isEmpty())
        edges.bottom = length(v);
    if (const QString v = own(u"padding-left"_qs); !v.isEmpty())
        edges.left = length(v);
    return edges;
}

std::optional<CssColor> PageCascade::background() const
{
    if (std::optional<CssColor> color = CssValue::color(own(u"background-color"_qs)))
        return color;
    return CssValue::color(own(u"background"_qs));
}

} // namespace sorvane

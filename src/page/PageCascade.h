#pragma once

#include "page/CssValue.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <qnamespace.h>

#include <optional>

namespace sorvane {

class PageDocument;
class PageElement;
class PageStyle;

// The look of an element's text after the cascade.
struct TextLook {
    QStringList families;
    int pixelSize = 16; // whole pixels, at least 1
    int weight = CssValue::kDefaultWeight;
    bool italic = false;
    CssColor color;
    Qt::Alignment align = Qt::AlignLeft;
    std::optional<double> lineHeight;
};

// Lengths on the four sides of a box, in pixels.
struct BoxEdges {
    double top = 0, right = 0, bottom = 0, left = 0;
    bool operator==(const BoxEdges &) const = default;
};

// The specified values of one element: its inline style, then the rules of
// its classes (the last class first), then what it inherits from the body.
class PageCascade {
public:
    PageCascade(const PageDocument &document, const PageElement &element);

    // The element's own specified value, "" when it has none.
    QString own(const QString &property) const;
    QString body(const QString &property) const;
    // Own value, else the body's: for inherited properties.
    QString inherited(const QString &property) const;

    // Font, colour (black when unset), alignment and line height; families
    // fall back to "Times New Roman", serif.
    TextLook textLook() const;
    // The padding shorthand, then its longhands; lengths never negative.
    BoxEdges padding(double containerWidth, double em) const;
    // background-color, else the background shorthand's colour.
    std::optional<CssColor> background() const;

private:
    const PageDocument &m_document;
    const PageElement &m_element;
    QVector<const PageStyle *> m_classRules;
};

} // namespace sorvane

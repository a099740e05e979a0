#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>
#include <qnamespace.h>

#include <optional>

namespace sorvane {

// A CSS colour in 16-bit channels, as the painter takes it; alpha 0 is
// fully transparent.
struct CssColor {
    quint16 red = 0;
    quint16 green = 0;
    quint16 blue = 0;
    quint16 alpha = 0xFFFF;
    bool operator==(const CssColor &) const = default;
};

// One item of a text-shadow list; no colour means the text's colour.
struct CssShadow {
    QPointF offset;
    double blur = 0;
    std::optional<CssColor> color;
    bool operator==(const CssShadow &) const = default;
};

// The values of the CSS properties the page draws, read the way a browser
// reads them. One CSS pixel is one pixel.
namespace CssValue {

// What a browser uses where the page sets nothing.
constexpr double kDefaultFontPx = 16;
constexpr int kDefaultWeight = 400;

// A length in pixels: px, pt, em (of `emBase`), % (of `percentBase`) or a
// bare number; nothing for "auto", keywords and malformed values.
std::optional<double> length(const QString &value, double percentBase, double emBase);
// Colour names, #rgb, #rrggbb, #aarrggbb, #rrrgggbbb, #rrrrggggbbbb, rgb()
// and rgba(), and the bare hex digits that pages without a doctype accept;
// nothing for anything else.
std::optional<CssColor> color(const QString &value);
// The families of a font-family list, quotes removed, empty items left out.
QStringList fontFamilies(const QString &list);
// A font-weight from 1 to 1000; keywords and bolder/lighter relative to
// `inherited`, which is also what an unset or malformed value gives.
int fontWeight(const QString &value, int inherited);
// A font-size in pixels: keywords, larger/smaller and lengths relative to
// `inherited`, which is also what an unset, malformed or non-positive value
// gives.
double fontSize(const QString &value, double inherited);
// Left unless the value is center, right or justify.
Qt::Alignment textAlign(const QString &value);
// "x y [blur] [colour]" items separated by commas outside parentheses;
// malformed items are left out, "none" and "" give none.
QVector<CssShadow> textShadows(const QString &value, double em);
// `html` with the size attribute of each <font size=N> tag turned into the
// browser's pixel size in its style (N from 1 to 7; "+N" and "-N" count
// from 3).
QString browserFontSizes(const QString &html);

} // namespace CssValue
} // namespace sorvane

#include "page/CssValue.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace sorvane::CssValue {
namespace {

struct NamedColor {
    const char *name;
    int red, green, blue;
};

// The CSS colour keywords, sorted by name.
constexpr NamedColor kNamedColors[] = {
    {"aliceblue", 240, 248, 255},
    {"antiquewhite", 250, 235, 215},
    {"aqua", 0, 255, 255},
    {"aquamarine", 127, 255, 212},
    {"azure", 240, 255, 255},
    {"beige", 245, 245, 220},
    {"bisque", 255, 228, 196},
    {"black", 0, 0, 0},
    {"blanchedalmond", 255, 235, 205},
    {"blue", 0, 0, 255},
    {"blueviolet", 138, 43, 226},
    {"brown", 165, 42, 42},
    {"burlywood", 222, 184, 135},
    {"cadetblue", 95, 158, 160},
    {"chartreuse", 127, 255, 0},
    {"chocolate", 210, 105, 30},
    {"coral", 255, 127, 80},
    {"cornflowerblue", 100, 149, 237},
    {"cornsilk", 255, 248, 220},
    {"crimson", 220, 20, 60},
    {"cyan", 0, 255, 255},
    {"darkblue", 0, 0, 139},
    {"darkcyan", 0, 139, 139},
    {"darkgoldenrod", 184, 134, 11},
    {"darkgray", 169, 169, 169},
    {"darkgreen", 0, 100, 0},
    {"darkgrey", 169, 169, 169},
    {"darkkhaki", 189, 183, 107},
    {"darkmagenta", 139, 0, 139},
    {"darkolivegreen", 85, 107, 47},
    {"darkorange", 255, 140, 0},
    {"darkorchid", 153, 50, 204},
    {"darkred", 139, 0, 0},
    {"darksalmon", 233, 150, 122},
    {"darkseagreen", 143, 188, 143},
    {"darkslateblue", 72, 61, 139},
    {"darkslategray", 47, 79, 79},
    {"darkslategrey", 47, 79, 79},
    {"darkturquoise", 0, 206, 209},
    {"darkviolet", 148, 0, 211},
    {"deeppink", 255, 20, 147},
    {"deepskyblue", 0, 191, 255},
    {"dimgray", 105, 105, 105},
    {"dimgrey", 105, 105, 105},
    {"dodgerblue", 30, 144, 255},
    {"firebrick", 178, 34, 34},
    {"floralwhite", 255, 250, 240},
    {"forestgreen", 34, 139, 34},
    {"fuchsia", 255, 0, 255},
    {"gainsboro", 220, 220, 220},
    {"ghostwhite", 248, 248, 255},
    {"gold", 255, 215, 0},
    {"goldenrod", 218, 165, 32},
    {"gray", 128, 128, 128},
    {"green", 0, 128, 0},
    {"greenyellow", 173, 255, 47},
    {"grey", 128, 128, 128},
    {"honeydew", 240, 255, 240},
    {"hotpink", 255, 105, 180},
    {"indianred", 205, 92, 92},
    {"indigo", 75, 0, 130},
    {"ivory", 255, 255, 240},
    {"khaki", 240, 230, 140},
    {"lavender", 230, 230, 250},
    {"lavenderblush", 255, 240, 245},
    {"lawngreen", 124, 252, 0},
    {"lemonchiffon", 255, 250, 205},
    {"lightblue", 173, 216, 230},
    {"lightcoral", 240, 128, 128},
    {"lightcyan", 224, 255, 255},
    {"lightgoldenrodyellow", 250, 250, 210},
    {"lightgray", 211, 211, 211},
    {"lightgreen", 144, 238, 144},
    {"lightgrey", 211, 211, 211},
    {"lightpink", 255, 182, 193},
    {"lightsalmon", 255, 160, 122},
    {"lightseagreen", 32, 178, 170},
    {"lightskyblue", 135, 206, 250},
    {"lightslategray", 119, 136, 153},
    {"lightslategrey", 119, 136, 153},
    {"lightsteelblue", 176, 196, 222},
    {"lightyellow", 255, 255, 224},
    {"lime", 0, 255, 0},
    {"limegreen", 50, 205, 50},
    {"linen", 250, 240, 230},
    {"magenta", 255, 0, 255},
    {"maroon", 128, 0, 0},
    {"mediumaquamarine", 102, 205, 170},
    {"mediumblue", 0, 0, 205},
    {"mediumorchid", 186, 85, 211},
    {"mediumpurple", 147, 112, 219},
    {"mediumseagreen", 60, 179, 113},
    {"mediumslateblue", 123, 104, 238},
    {"mediumspringgreen", 0, 250, 154},
    {"mediumturquoise", 72, 209, 204},
    {"mediumvioletred", 199, 21, 133},
    {"midnightblue", 25, 25, 112},
    {"mintcream", 245, 255, 250},
    {"mistyrose", 255, 228, 225},
    {"moccasin", 255, 228, 181},
    {"navajowhite", 255, 222, 173},
    {"navy", 0, 0, 128},
    {"oldlace", 253, 245, 230},
    {"olive", 128, 128, 0},
    {"olivedrab", 107, 142, 35},
    {"orange", 255, 165, 0},
    {"orangered", 255, 69, 0},
    {"orchid", 218, 112, 214},
    {"palegoldenrod", 238, 232, 170},
    {"palegreen", 152, 251, 152},
    {"paleturquoise", 175, 238, 238},
    {"palevioletred", 219, 112, 147},
    {"papayawhip", 255, 239, 213},
    {"peachpuff", 255, 218, 185},
    {"peru", 205, 133, 63},
    {"pink", 255, 192, 203},
    {"plum", 221, 160, 221},
    {"powderblue", 176, 224, 230},
    {"purple", 128, 0, 128},
    {"red", 255, 0, 0},
    {"rosybrown", 188, 143, 143},
    {"royalblue", 65, 105, 225},
    {"saddlebrown", 139, 69, 19},
    {"salmon", 250, 128, 114},
    {"sandybrown", 244, 164, 96},
    {"seagreen", 46, 139, 87},
    {"seashell", 255, 245, 238},
    {"sienna", 160, 82, 45},
    {"silver", 192, 192, 192},
    {"skyblue", 135, 206, 235},
    {"slateblue", 106, 90, 205},
    {"slategray", 112, 128, 144},
    {"slategrey", 112, 128, 144},
    {"snow", 255, 250, 250},
    {"springgreen", 0, 255, 127},
    {"steelblue", 70, 130, 180},
    {"tan", 210, 180, 140},
    {"teal", 0, 128, 128},
    {"thistle", 216, 191, 216},
    {"tomato", 255, 99, 71},
    {"turquoise", 64, 224, 208},
    {"violet", 238, 130, 238},
    {"wheat", 245, 222, 179},
    {"white", 255, 255, 255},
    {"whitesmoke", 245, 245, 245},
    {"yellow", 255, 255, 0},
    {"yellowgreen", 154, 205, 50},
};

quint16 wide(int channel8) { return quint16(channel8 * 0x101); }

CssColor opaque(int red, int green, int blue) { return CssColor{wide(red), wide(green), wide(blue), 0xFFFF}; }

// Names compare without regard to case and spaces ("Light Blue").
std::optional<CssColor> namedColor(const QString &value)
{
    QByteArray key = value.toLatin1().toLower();
    key.replace(' ', QByteArray());
    if (key == "transparent")
        return CssColor{0, 0, 0, 0};
    const auto *end = std::end(kNamedColors);
    const auto *found = std::lower_bound(std::begin(kNamedColors), end, key.constData(),
                                         [](const NamedColor &c, const char *k) { return std::strcmp(c.name, k) < 0; });
    if (found == end || key != found->name)
        return std::nullopt;
    return opaque(found->red, found->green, found->blue);
}

// "#" and 3, 6, 8 (alpha first), 9 or 12 hex digits.
std::optional<CssColor> hexColor(const QString &value)
{
    if (!value.startsWith(u'#'))
        return std::nullopt;
    const QStringView digits = QStringView(value).mid(1);
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return std::nullopt;
    }
    auto field = [&](int index, int width) { return digits.mid(index * width, width).toUInt(nullptr, 16); };
    switch (digits.size()) {
    case 3:
        return opaque(field(0, 1) * 17, field(1, 1) * 17, field(2, 1) * 17);
    case 6:
        return opaque(field(0, 2), field(1, 2), field(2, 2));
    case 8:
        return CssColor{wide(field(1, 2)), wide(field(2, 2)), wide(field(3, 2)), wide(field(0, 2))};
    case 9: {
        auto twelve = [&](int index) { const uint v = field(index, 3); return quint16((v << 4) | (v >> 8)); };
        return CssColor{twelve(0), twelve(1), twelve(2), 0xFFFF};
    }
    case 12:
        return CssColor{quint16(field(0, 4)), quint16(field(1, 4)), quint16(field(2, 4)), 0xFFFF};
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<double> length(const QString &value, double percentBase, double emBase)
{
    static const QRegularExpression pattern(
        u"^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+))\\s*(px|pt|em|%|)\\s*$"_qs,
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(value);
    if (!m.hasMatch())
        return std::nullopt;
    const double number = m.captured(1).toDouble();
    const QString unit = m.captured(2).toLower();
    if (unit == u"%"_qs)
        return number * percentBase / 100.0;
    if (unit == u"em"_qs)
        return number * emBase;
    if (unit == u"pt"_qs)
        return number * 96.0 / 72.0;
    return number;
}

std::optional<CssColor> color(const QString &text)
{
    const QString value = text.trimmed();
    if (value.isEmpty())
        return std::nullopt;
    static const QRegularExpression functional(
        u"^rgba?\\(\\s*(\\d+)\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*(?:,\\s*([\\d.]+)\\s*)?\\)$"_qs,
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = functional.match(value); m.hasMatch()) {
        CssColor c = opaque(qBound(0, m.captured(1).toInt(), 255), qBound(0, m.captured(2).toInt(), 255),
                            qBound(0, m.captured(3).toInt(), 255));
        if (!m.captured(4).isEmpty())
            c.alpha = quint16(qRound(qBound(0.0, m.captured(4).toDouble(), 1.0) * 0xFFFF));
        return c;
    }
    if (std::optional<CssColor> c = value.startsWith(u'#') ? hexColor(value) : namedColor(value))
        return c;
    static const QRegularExpression bareHex(u"^(?:[0-9a-fA-F]{3}|[0-9a-fA-F]{6})$"_qs);
    if (bareHex.match(value).hasMatch())
        return hexColor(u'#' + value);
    return std::nullopt;
}

QStringList fontFamilies(const QString &list)
{
    QStringList families;
    for (QString family : list.split(u',')) {
        family = family.trimmed();
        if (family.size() >= 2 && (family.front() == u'\'' || family.front() == u'"')
            && family.back() == family.front())
            family = family.mid(1, family.size() - 2).trimmed();
        if (!family.isEmpty())
            families << family;
    }
    return families;
}

int fontWeight(const QString &value, int inherited)
{
    const QString v = value.trimmed().toLower();
    if (v.isEmpty())
        return inherited;
    if (v == u"normal"_qs)
        return 400;
    if (v == u"bold"_qs)
        return 700;
    if (v == u"bolder"_qs)
        return inherited < 350 ? 400 : inherited < 550 ? 700 : 900;
    if (v == u"lighter"_qs)
        return inherited < 100 ? inherited : inherited < 550 ? 100 : inherited < 750 ? 400 : 700;
    bool ok = false;
    const int number = v.toInt(&ok);
    return ok && number >= 1 && number <= 1000 ? number : inherited;
}

double fontSize(const QString &value, double inherited)
{
    static const QHash<QString, double> keywords = {
        {u"xx-small"_qs, 9}, {u"x-small"_qs, 10}, {u"small"_qs, 13},   {u"medium"_qs, 16},
        {u"large"_qs, 18},   {u"x-large"_qs, 24}, {u"xx-large"_qs, 32}};
    const QString v = value.trimmed().toLower();
    if (auto it = keywords.constFind(v); it != keywords.cend())
        return *it;
    if (v == u"larger"_qs)
        return inherited * 1.2;
    if (v == u"smaller"_qs)
        return inherited / 1.2;
    const auto px = length(v, inherited, inherited);
    return px && *px > 0 ? *px : inherited;
}

Qt::Alignment textAlign(const QString &value)
{
    const QString v = value.trimmed().toLower();
    if (v == u"center"_qs)
        return Qt::AlignHCenter;
    if (v == u"right"_qs)
        return Qt::AlignRight;
    if (v == u"justify"_qs)
        return Qt::AlignJustify;
    return Qt::AlignLeft;
}

QVector<CssShadow> textShadows(const QString &value, double em)
{
    QVector<CssShadow> shadows;
    if (value.isEmpty() || value.compare(u"none"_qs, Qt::CaseInsensitive) == 0)
        return shadows;
    QStringList items{QString()};
    int depth = 0;
    for (QChar c : value) {
        if (c == u'(')
            ++depth;
        else if (c == u')')
            depth = std::max(0, depth - 1);
        if (c == u',' && depth == 0)
            items << QString();
        else
            items.last() += c;
    }
    static const QRegularExpression token(u"(?:rgba?\\([^)]*\\)|[^\\s]+)"_qs);
    for (const QString &item : items) {
        QVector<double> lengths;
        CssShadow shadow;
        bool valid = true;
        auto tokens = token.globalMatch(item);
        while (tokens.hasNext()) {
            const QString t = tokens.next().captured(0);
            if (auto px = length(t, em, em))
                lengths << *px;
            else if (std::optional<CssColor> c = color(t))
                shadow.color = c;
            else
                valid = false;
        }
        if (!valid || lengths.size() < 2 || lengths.size() > 4)
            continue;
        shadow.offset = QPointF(lengths[0], lengths[1]);
        shadow.blur = lengths.size() > 2 ? std::max(0.0, lengths[2]) : 0;
        shadows << shadow;
    }
    return shadows;
}

QString browserFontSizes(const QString &html)
{
    static const QRegularExpression fontTag(u"<font\\b([^>]*)>"_qs, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression sizeAttr(u"\\bsize\\s*=\\s*([\"']?)\\s*([+-]?\\d+)\\s*\\1"_qs,
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression styleAttr(u"\\bstyle\\s*=\\s*([\"'])"_qs,
                                              QRegularExpression::CaseInsensitiveOption);
    static const int pixels[] = {10, 13, 16, 18, 24, 32, 48};
    if (!html.contains(u"font"_qs, Qt::CaseInsensitive))
        return html;
    QString out;
    qsizetype last = 0;
    auto tags = fontTag.globalMatch(html);
    while (tags.hasNext()) {
        const auto tag = tags.next();
        QString attributes = tag.captured(1);
        const auto size = sizeAttr.match(attributes);
        if (!size.hasMatch())
            continue;
        const QString number = size.captured(2);
        int n = number.toInt();
        if (number.startsWith(u'+') || number.startsWith(u'-'))
            n += 3;
        const QString declaration = u"font-size:%1px;"_qs.arg(pixels[qBound(1, n, 7) - 1]);
        attributes.remove(size.capturedStart(), size.capturedLength());
        if (const auto style = styleAttr.match(attributes); style.hasMatch())
            attributes.insert(style.capturedEnd(), declaration);
        else
            attributes += u" style='"_qs + declaration + u'\'';
        out += QStringView(html).mid(last, tag.capturedStart() - last);
        out += u"<font"_qs + attributes + u'>';
        last = tag.capturedEnd();
    }
    out += QStringView(html).mid(last);
    return out;
}

} // namespace sorvane::CssValue

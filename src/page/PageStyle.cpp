#include "page/PageStyle.h"

#include "page/PageElement.h"

namespace sorvane {
namespace {

// Splits at `separator` outside quotes and parentheses.
QStringList splitOutside(const QString &text, QChar separator)
{
    QStringList parts;
    QString current;
    QChar quote;
    int depth = 0;
    for (QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            depth = qMax(0, depth - 1);
        } else if (c == separator && depth == 0) {
            parts << current;
            current.clear();
            continue;
        }
        current += c;
    }
    parts << current;
    return parts;
}

bool isFontSizeToken(const QString &token)
{
    static const QStringList keywords = {
        u"xx-small"_qs, u"x-small"_qs, u"small"_qs, u"medium"_qs, u"large"_qs,
        u"x-large"_qs, u"xx-large"_qs, u"smaller"_qs, u"larger"_qs};
    if (token.isEmpty())
        return false;
    if (token[0].isDigit() || token[0] == u'.')
        return true;
    return keywords.contains(token.section(u'/', 0, 0), Qt::CaseInsensitive);
}

bool isFontWeightToken(const QString &token)
{
    static const QStringList keywords = {u"bold"_qs, u"bolder"_qs, u"lighter"_qs};
    if (keywords.contains(token, Qt::CaseInsensitive))
        return true;
    bool number = false;
    int weight = token.toInt(&number);
    return number && weight >= 1 && weight <= 1000;
}

// The "font" shorthand: [style || variant || weight] size[/line-height] family.
// Returns false for a value without size or family, which sets nothing.
bool expandFont(const QString &value, QVector<PageStyle::Declaration> &out)
{
    QString style = u"normal"_qs, variant = u"normal"_qs, weight = u"normal"_qs;
    QString size, lineHeight = u"normal"_qs;
    int pos = 0;
    const int n = int(value.size());
    while (pos < n) {
        while (pos < n && value[pos].isSpace())
            ++pos;
        int start = pos;
        while (pos < n && !value[pos].isSpace())
            ++pos;
        const QString token = value.mid(start, pos - start);
        if (token.isEmpty())
            break;
        if (isFontWeightToken(token) && !token[0].isDigit()) {
            weight = token;
        } else if (isFontSizeToken(token)) {
            if (token[0].isDigit() && !token.contains(u'/') && isFontWeightToken(token)
                && pos < n && !value.mid(pos).trimmed().startsWith(u'/')) {
                // A bare number before the size is a weight.
                weight = token;
                continue;
            }
            size = token.section(u'/', 0, 0);
            QString height = token.section(u'/', 1);
            QString rest = value.mid(pos).trimmed();
            if (!token.contains(u'/') && rest.startsWith(u'/')) {
                rest = rest.mid(1).trimmed();
                int end = 0;
                while (end < rest.size() && !rest[end].isSpace())
                    ++end;
                height = rest.left(end);
                rest = rest.mid(end).trimmed();
            } else if (token.endsWith(u'/')) {
                int end = 0;
                while (end < rest.size() && !rest[end].isSpace())
                    ++end;
                height = rest.left(end);
                rest = rest.mid(end).trimmed();
            }
            if (!height.isEmpty())
                lineHeight = height;
            if (rest.isEmpty())
                return false;
            out = {{u"font-style"_qs, style},   {u"font-variant"_qs, variant},
                   {u"font-weight"_qs, weight}, {u"font-size"_qs, size},
                   {u"line-height"_qs, lineHeight}, {u"font-family"_qs, rest}};
            return true;
        } else if (token.compare(u"italic"_qs, Qt::CaseInsensitive) == 0
                   || token.compare(u"oblique"_qs, Qt::CaseInsensitive) == 0) {
            style = token;
        } else if (token.compare(u"small-caps"_qs, Qt::CaseInsensitive) == 0) {
            variant = token;
        }
        // "normal" and the stretch keywords leave the defaults.
    }
    return false;
}

} // namespace

PageStyle::PageStyle(const PageStyle &other) : m_declarations(other.m_declarations) {}

PageStyle &PageStyle::operator=(const PageStyle &other)
{
    if (this != &other)
        replace(other.m_declarations);
    return *this;
}

QString PageStyle::cssName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.contains(u'-'))
        return trimmed.toLower();
    QString css;
    css.reserve(trimmed.size() + 4);
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c.isUpper() && i > 0 && (trimmed[i - 1].isLower() || trimmed[i - 1].isDigit()))
            css += u'-';
        css += c.toLower();
    }
    return css;
}

QString PageStyle::property(const QString &name) const
{
    const QString css = cssName(name);
    for (const Declaration &d : m_declarations)
        if (d.name == css)
            return d.value;
    return {};
}

void PageStyle::setProperty(const QString &name, const QString &value)
{
    QVector<Declaration> list = m_declarations;
    put(list, cssName(name), value.trimmed());
    replace(std::move(list));
}

QString PageStyle::cssText() const
{
    QStringList parts;
    for (const Declaration &d : m_declarations)
        parts << d.name + u": "_qs + d.value + u';';
    return parts.join(u' ');
}

void PageStyle::setCssText(const QString &text)
{
    QVector<Declaration> list;
    apply(list, text);
    replace(std::move(list));
}

void PageStyle::apply(QVector<Declaration> &list, const QString &text)
{
    for (const QString &part : splitOutside(text, u';')) {
        const int colon = int(part.indexOf(u':'));
        if (colon <= 0)
            continue;
        const QString name = part.left(colon).trimmed();
        const QString value = part.mid(colon + 1).trimmed();
        if (name.isEmpty() || value.isEmpty())
            continue;
        put(list, name.toLower(), value);
    }
}

void PageStyle::put(QVector<Declaration> &list, const QString &cssName, const QString &value)
{
    if (cssName == u"font"_qs && !value.isEmpty()) {
        QVector<Declaration> longhands;
        if (expandFont(value, longhands))
            for (const Declaration &d : longhands)
                put(list, d.name, d.value);
        return;
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].name == cssName) {
            if (value.isEmpty())
                list.removeAt(i);
            else
                list[i].value = value;
            return;
        }
    }
    if (!value.isEmpty())
        list.append({cssName, value});
}

void PageStyle::replace(QVector<Declaration> list)
{
    if (list == m_declarations)
        return;
    m_declarations = std::move(list);
    if (m_owner)
        m_owner->changed(true);
}

} // namespace sorvane

#include "page/PageElement.h"

#include "page/PageDocument.h"

#include <QHash>

#include <algorithm>

namespace sorvane {
namespace {

// Whether the letters "id" occur, in any case.
bool mayHoldId(const QString &html)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(html.constData());
    for (qsizetype i = 1, n = html.size(); i < n; ++i)
        if ((p[i] | 0x20) == u'd' && (p[i - 1] | 0x20) == u'i')
            return true;
    return false;
}

QString quoted(const QString &value)
{
    const QChar quote = value.contains(u'\'') ? u'"' : u'\'';
    return quote + value + quote;
}

bool isBlockTag(const QString &name)
{
    static const QStringList blocks = {
        u"p"_qs,  u"div"_qs, u"tr"_qs, u"li"_qs, u"ul"_qs, u"ol"_qs, u"table"_qs,
        u"h1"_qs, u"h2"_qs,  u"h3"_qs, u"h4"_qs, u"h5"_qs, u"h6"_qs, u"center"_qs};
    return blocks.contains(name, Qt::CaseInsensitive);
}

} // namespace

QString PageElement::attribute(const QString &name) const
{
    for (const auto &[key, value] : m_attributes)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QString PageElement::innerHTML() const
{
    if (m_content.size() == 1 && !m_content[0].child)
        return m_content[0].html;
    QString html;
    for (const Segment &segment : m_content)
        html += segment.child ? segment.child->outerHTML() : segment.html;
    return html;
}

void PageElement::setInnerHTML(const QString &html)
{
    if (html == innerHTML())
        return;
    detachChildren();
    m_content.clear();
    // Without the letters "id" no tag in it can carry an id, so the HTML is
    // one plain segment: notices and the clock are written this way many
    // times a second.
    if (!mayHoldId(html)) {
        if (!html.isEmpty())
            m_content.append({html, nullptr});
    } else {
        m_document->parseContent(this, html, false);
    }
    changed();
}

QString PageElement::innerText() const
{
    const QString html = innerHTML();
    QString text;
    bool blockBreakAtEnd = false;
    auto breakLine = [&](bool block) {
        while (text.endsWith(u' '))
            text.chop(1);
        if (block) {
            if (text.isEmpty() || text.endsWith(u'\n'))
                return;
            blockBreakAtEnd = true;
        } else {
            blockBreakAtEnd = false;
        }
        text += u'\n';
    };
    auto addText = [&](QStringView run) {
        QString collapsed;
        for (QChar c : run) {
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
                if (!collapsed.endsWith(u' ') && !(collapsed.isEmpty() && (text.isEmpty() || text.endsWith(u' ') || text.endsWith(u'\n'))))
                    collapsed += u' ';
            } else {
                collapsed += c;
            }
        }
        if (!collapsed.isEmpty()) {
            text += decodeEntities(collapsed);
            blockBreakAtEnd = false;
        }
    };

    qsizetype pos = 0;
    const qsizetype n = html.size();
    while (pos < n) {
        qsizetype lt = html.indexOf(u'<', pos);
        if (lt < 0) {
            addText(QStringView(html).mid(pos));
            break;
        }
        const bool isTag = lt + 1 < n
            && (html[lt + 1].isLetter() || html[lt + 1] == u'/' || html[lt + 1] == u'!');
        if (!isTag) {
            addText(QStringView(html).mid(pos, lt + 1 - pos));
            pos = lt + 1;
            continue;
        }
        addText(QStringView(html).mid(pos, lt - pos));
        if (html.mid(lt, 4) == u"<!--"_qs) {
            qsizetype end = html.indexOf(u"-->"_qs, lt + 4);
            pos = end < 0 ? n : end + 3;
            continue;
        }
        qsizetype gt = html.indexOf(u'>', lt);
        if (gt < 0)
            gt = n - 1;
        const bool closing = html[lt + 1] == u'/';
        qsizetype nameStart = lt + (closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < gt && (html[nameEnd].isLetterOrNumber() || html[nameEnd] == u'-'))
            ++nameEnd;
        const QString name = html.mid(nameStart, nameEnd - nameStart).toLower();
        pos = gt + 1;
        if (name == u"br"_qs) {
            breakLine(false);
        } else if (isBlockTag(name)) {
            breakLine(true);
        } else if (!closing && (name == u"style"_qs || name == u"script"_qs)) {
            qsizetype end = html.indexOf(u"</"_qs + name, pos, Qt::CaseInsensitive);
            pos = end < 0 ? n : end;
        }
    }
    while (text.endsWith(u' '))
        text.chop(1);
    if (blockBreakAtEnd && text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

void PageElement::setInnerText(const QString &text)
{
    const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'&' || c == u'<' || c == u'>' || c == u'\r' || c == u'\n';
    });
    if (plain) {
        setInnerHTML(text);
        return;
    }
    QString html = escapeText(text);
    html.replace(u"\r\n"_qs, u"<br>"_qs);
    html.replace(u'\r', u"<br>"_qs);
    html.replace(u'\n', u"<br>"_qs);
    setInnerHTML(html);
}

QString PageElement::outerHTML() const
{
    QString start = m_startTag;
    if (m_styleChanged) {
        start = u'<' + m_tag;
        bool styleWritten = false;
        for (const auto &[name, value] : m_attributes) {
            if (name.compare(u"style"_qs, Qt::CaseInsensitive) == 0) {
                styleWritten = true;
                if (!m_style.isEmpty())
                    start += u' ' + name + u'=' + quoted(m_style.cssText());
            } else {
                start += u' ' + name + u'=' + quoted(value);
            }
        }
        if (!styleWritten && !m_style.isEmpty())
            start += u" style="_qs + quoted(m_style.cssText());
        start += u'>';
    }
    return start + innerHTML() + m_endTag;
}

QString PageElement::decodeEntities(const QString &html)
{
    static const QHash<QString, QChar> named = {
        {u"amp"_qs, u'&'},      {u"lt"_qs, u'<'},       {u"gt"_qs, u'>'},
        {u"quot"_qs, u'"'},     {u"apos"_qs, u'\''},    {u"nbsp"_qs, QChar(0x00A0)},
        {u"copy"_qs, QChar(0x00A9)}, {u"reg"_qs, QChar(0x00AE)}, {u"middot"_qs, QChar(0x00B7)},
        {u"bull"_qs, QChar(0x2022)}, {u"hellip"_qs, QChar(0x2026)}, {u"mdash"_qs, QChar(0x2014)},
        {u"ndash"_qs, QChar(0x2013)}, {u"laquo"_qs, QChar(0x00AB)}, {u"raquo"_qs, QChar(0x00BB)},
        {u"times"_qs, QChar(0x00D7)}, {u"divide"_qs, QChar(0x00F7)}, {u"deg"_qs, QChar(0x00B0)},
        {u"yen"_qs, QChar(0x00A5)},  {u"ldquo"_qs, QChar(0x201C)}, {u"rdquo"_qs, QChar(0x201D)},
        {u"lsquo"_qs, QChar(0x2018)}, {u"rsquo"_qs, QChar(0x2019)}};
    if (!html.contains(u'&'))
        return html;
    QString out;
    out.reserve(html.size());
    qsizetype pos = 0;
    while (pos < html.size()) {
        const qsizetype amp = html.indexOf(u'&', pos);
        if (amp < 0) {
            out += QStringView(html).mid(pos);
            break;
        }
        out += QStringView(html).mid(pos, amp - pos);
        const qsizetype semi = html.indexOf(u';', amp);
        if (semi > amp + 1 && semi - amp <= 10) {
            const QString name = html.mid(amp + 1, semi - amp - 1);
            if (name.startsWith(u'#')) {
                bool ok = false;
                const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
                const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
                if (ok && code > 0 && code <= 0x10FFFF) {
                    out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
                    pos = semi + 1;
                    continue;
                }
            } else if (auto it = named.constFind(name); it != named.cend()) {
                out += *it;
                pos = semi + 1;
                continue;
            }
        }
        out += u'&';
        pos = amp + 1;
    }
    return out;
}

QString PageElement::escapeText(const QString &text)
{
    QString html;
    html.reserve(text.size());
    for (QChar c : text) {
        if (c == u'&')
            html += u"&amp;"_qs;
        else if (c == u'<')
            html += u"&lt;"_qs;
        else if (c == u'>')
            html += u"&gt;"_qs;
        else
            html += c;
    }
    return html;
}

void PageElement::changed(bool styleChanged)
{
    if (styleChanged)
        m_styleChanged = true;
    m_document->elementChanged(this);
}

void PageElement::detachChildren()
{
    for (Segment &segment : m_content) {
        if (segment.child) {
            segment.child->m_parent = nullptr;
            m_document->structureChanged();
        }
    }
}

} // namespace sorvane

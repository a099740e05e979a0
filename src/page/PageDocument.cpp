#include "page/PageDocument.h"

namespace sorvane {
namespace {

struct Tag {
    enum Kind { Start, End, Other } kind = Other;
    qsizetype start = 0;
    qsizetype end = 0; // one past '>'
    QString name;
    bool selfClosing = false;
    QVector<QPair<QString, QString>> attributes;

    QString attribute(const QString &key) const
    {
        for (const auto &[name, value] : attributes)
            if (name.compare(key, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

bool isVoidTag(const QString &name)
{
    static const QStringList names = {
        u"area"_qs, u"base"_qs, u"br"_qs,   u"col"_qs,    u"embed"_qs, u"hr"_qs,    u"img"_qs,
        u"input"_qs, u"link"_qs, u"meta"_qs, u"param"_qs, u"source"_qs, u"track"_qs, u"wbr"_qs};
    return names.contains(name, Qt::CaseInsensitive);
}

bool isRawTextTag(const QString &name)
{
    static const QStringList names = {
        u"style"_qs, u"script"_qs, u"title"_qs, u"textarea"_qs, u"xmp"_qs};
    return names.contains(name, Qt::CaseInsensitive);
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

// Reads the markup that starts with the '<' at `pos`. Returns false when
// the '<' starts no markup and is text.
bool readTag(const QString &html, qsizetype pos, Tag &tag)
{
    const qsizetype n = html.size();
    tag = Tag{};
    tag.start = pos;
    if (pos + 1 >= n)
        return false;
    const QChar next = html[pos + 1];
    if (html.mid(pos, 4) == u"<!--"_qs) {
        const qsizetype end = html.indexOf(u"-->"_qs, pos + 4);
        tag.end = end < 0 ? n : end + 3;
        return true;
    }
    if (next == u'!' || next == u'?') {
        const qsizetype end = html.indexOf(u'>', pos);
        tag.end = end < 0 ? n : end + 1;
        return true;
    }
    qsizetype i = pos + 1;
    if (next == u'/') {
        if (pos + 2 >= n || !html[pos + 2].isLetter())
            return false;
        tag.kind = Tag::End;
        i = pos + 2;
    } else if (next.isLetter()) {
        tag.kind = Tag::Start;
    } else {
        return false;
    }
    const qsizetype nameStart = i;
    while (i < n && isNameChar(html[i]))
        ++i;
    tag.name = html.mid(nameStart, i - nameStart);

    for (;;) {
        while (i < n && html[i].isSpace())
            ++i;
        if (i >= n) {
            tag.end = n;
            return true;
        }
        const QChar c = html[i];
        if (c == u'>') {
            tag.end = i + 1;
            return true;
        }
        if (c == u'/') {
            tag.selfClosing = i + 1 < n && html[i + 1] == u'>';
            ++i;
            continue;
        }
        const qsizetype keyStart = i;
        while (i < n && !html[i].isSpace() && html[i] != u'=' && html[i] != u'>'
               && !(html[i] == u'/' && i + 1 < n && html[i + 1] == u'>'))
            ++i;
        const QString key = html.mid(keyStart, i - keyStart);
        while (i < n && html[i].isSpace())
            ++i;
        QString value;
        if (i < n && html[i] == u'=') {
            ++i;
            while (i < n && html[i].isSpace())
                ++i;
            if (i < n && (html[i] == u'\'' || html[i] == u'"')) {
                const QChar quote = html[i];
                const qsizetype close = html.indexOf(quote, i + 1);
                const qsizetype end = close < 0 ? n : close;
                value = html.mid(i + 1, end - i - 1);
                i = close < 0 ? n : close + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !html[i].isSpace() && html[i] != u'>')
                    ++i;
                value = html.mid(valueStart, i - valueStart);
            }
        }
        if (tag.kind == Tag::Start && !key.isEmpty())
            tag.attributes.append({key, PageElement::decodeEntities(value)});
    }
}

// Where the content of a raw-text element (style, script, ...) ends, and
// where its end tag does; both at the end of the markup when it is missing.
struct RawText {
    qsizetype contentEnd;
    qsizetype closeEnd;
};

RawText rawTextAfter(const QString &html, const Tag &tag)
{
    const qsizetype n = html.size();
    const qsizetype close = html.indexOf(u"</"_qs + tag.name, tag.end, Qt::CaseInsensitive);
    const qsizetype gt = close < 0 ? -1 : html.indexOf(u'>', close);
    return {close < 0 ? n : close, close < 0 ? n : (gt < 0 ? n : gt + 1)};
}

} // namespace

PageDocument::PageDocument()
{
    m_elements.push_back(std::unique_ptr<PageElement>(new PageElement(this)));
    m_root = m_elements.back().get();
}

PageDocument::~PageDocument() = default;

std::shared_ptr<PageDocument> PageDocument::write(const QString &html)
{
    std::shared_ptr<PageDocument> document(new PageDocument);
    document->parseContent(document->m_root, html, true);
    return document;
}

PageElement *PageDocument::getElementById(const QString &id) const
{
    if (id.isEmpty())
        return nullptr;
    if (!m_idIndexValid) {
        m_idIndex.clear();
        for (PageElement *element : elements()) {
            const QString elementId = element->id();
            if (!elementId.isEmpty() && !m_idIndex.contains(elementId))
                m_idIndex.insert(elementId, element);
        }
        m_idIndexValid = true;
    }
    return m_idIndex.value(id);
}

QVector<PageElement *> PageDocument::elements() const
{
    QVector<PageElement *> list;
    auto visit = [&list](auto &&self, const PageElement *parent) -> void {
        for (const PageElement::Segment &segment : parent->m_content) {
            if (segment.child) {
                list.append(segment.child);
                self(self, segment.child);
            }
        }
    };
    visit(visit, m_root);
    return list;
}

const PageStyle &PageDocument::classRule(const QString &className) const
{
    return rule(u'.' + className);
}

const PageStyle &PageDocument::rule(const QString &selector) const
{
    static const PageStyle none;
    for (const auto &[key, style] : m_rules)
        if (key.compare(selector.trimmed(), Qt::CaseInsensitive) == 0)
            return style;
    return none;
}

void PageDocument::parseContent(PageElement *parent, const QString &html, bool readStyles)
{
    structureChanged();
    const QVector<ElementSpan> spans = readElements(html, readStyles);
    for (int i = 0; i < spans.size(); ++i) {
        const ElementSpan &span = spans[i];
        PageElement *element = span.element;
        element->m_startTag = html.mid(span.outerStart, span.innerStart - span.outerStart);
        element->m_endTag = html.mid(span.innerEnd, span.outerEnd - span.innerEnd);
        element->m_content = contentOf(html, spans, span.innerStart, span.innerEnd, i);
        element->m_parent = span.parent < 0 ? parent : spans[span.parent].element;
    }
    parent->m_content = contentOf(html, spans, 0, html.size(), -1);
}

QVector<PageDocument::ElementSpan> PageDocument::readElements(const QString &html, bool readStyles)
{
    QVector<ElementSpan> spans;
    QVector<OpenTag> open;
    qsizetype pos = 0;
    Tag tag;
    while ((pos = html.indexOf(u'<', pos)) >= 0) {
        if (!readTag(html, pos, tag)) {
            ++pos;
            continue;
        }
        pos = tag.end;
        if (tag.kind == Tag::Other)
            continue;
        if (tag.kind == Tag::End) {
            closeElements(open, spans, tag.name, tag.start, tag.end);
            continue;
        }

        int span = -1;
        if (!tag.attribute(u"id"_qs).isEmpty()) {
            span = int(spans.size());
            spans.append({newElement(tag.name, tag.attributes), enclosingSpan(open), tag.start, tag.end});
        }
        if (isRawTextTag(tag.name)) {
            const RawText raw = rawTextAfter(html, tag);
            if (readStyles && tag.name.compare(u"style"_qs, Qt::CaseInsensitive) == 0)
                readStyleSheet(html.mid(tag.end, raw.contentEnd - tag.end));
            if (span >= 0) {
                spans[span].innerEnd = raw.contentEnd;
                spans[span].outerEnd = raw.closeEnd;
            }
            pos = raw.closeEnd;
        } else if (tag.selfClosing || isVoidTag(tag.name)) {
            if (span >= 0)
                spans[span].innerEnd = spans[span].outerEnd = tag.end;
        } else {
            open.append({tag.name, span});
        }
    }
    for (const OpenTag &o : open) {
        if (o.span >= 0)
            spans[o.span].innerEnd = spans[o.span].outerEnd = html.size();
    }
    return spans;
}

PageElement *PageDocument::newElement(const QString &tagName, const QVector<QPair<QString, QString>> &attributes)
{
    m_elements.push_back(std::unique_ptr<PageElement>(new PageElement(this)));
    PageElement *element = m_elements.back().get();
    element->m_tag = tagName;
    element->m_attributes = attributes;
    PageStyle::apply(element->m_style.m_declarations, element->attribute(u"style"_qs));
    return element;
}

int PageDocument::enclosingSpan(const QVector<OpenTag> &open)
{
    for (qsizetype k = open.size() - 1; k >= 0; --k)
        if (open[k].span >= 0)
            return open[k].span;
    return -1;
}

void PageDocument::closeElements(QVector<OpenTag> &open, QVector<ElementSpan> &spans, const QString &name,
                                 qsizetype start, qsizetype end)
{
    qsizetype k = open.size() - 1;
    while (k >= 0 && open[k].name.compare(name, Qt::CaseInsensitive) != 0)
        --k;
    if (k < 0)
        return; // a stray end tag closes nothing
    while (open.size() > k) {
        const OpenTag closed = open.takeLast();
        if (closed.span < 0)
            continue;
        ElementSpan &span = spans[closed.span];
        span.innerEnd = start;
        // Elements left open inside end where the enclosing one ends.
        span.outerEnd = open.size() == k ? end : start;
    }
}

QVector<PageElement::Segment> PageDocument::contentOf(const QString &html, const QVector<ElementSpan> &spans,
                                                      qsizetype innerStart, qsizetype innerEnd, int self)
{
    QVector<PageElement::Segment> segments;
    qsizetype cursor = innerStart;
    for (const ElementSpan &child : spans) {
        if (child.parent != self)
            continue;
        if (child.outerStart > cursor)
            segments.append({html.mid(cursor, child.outerStart - cursor), nullptr});
        segments.append({QString(), child.element});
        cursor = child.outerEnd;
    }
    if (innerEnd > cursor)
        segments.append({html.mid(cursor, innerEnd - cursor), nullptr});
    return segments;
}

void PageDocument::readStyleSheet(const QString &css)
{
    QString text = css;
    for (qsizetype open = text.indexOf(u"/*"_qs); open >= 0; open = text.indexOf(u"/*"_qs, open)) {
        const qsizetype close = text.indexOf(u"*/"_qs, open + 2);
        text.remove(open, close < 0 ? text.size() - open : close + 2 - open);
    }
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype brace = text.indexOf(u'{', pos);
        if (brace < 0)
            break;
        qsizetype close = text.indexOf(u'}', brace);
        if (close < 0)
            close = text.size();
        const QString declarations = text.mid(brace + 1, close - brace - 1);
        for (QString selector : text.mid(pos, brace - pos).split(u',')) {
            selector = selector.simplified();
            if (selector.isEmpty())
                continue;
            qsizetype k = 0;
            while (k < m_rules.size() && m_rules[k].first.compare(selector, Qt::CaseInsensitive) != 0)
                ++k;
            if (k == m_rules.size())
                m_rules.append({selector, PageStyle()});
            PageStyle::apply(m_rules[k].second.m_declarations, declarations);
        }
        pos = close + 1;
    }
}

void PageDocument::elementChanged(PageElement *element)
{
    ++m_revision;
    for (PageElement *e = element; e; e = e->m_parent)
        e->m_revision = m_revision;
    if (m_listener)
        m_listener();
}

} // namespace sorvane

#pragma once

#include "page/PageStyle.h"

#include <QPair>
#include <QString>
#include <QVector>

namespace sorvane {

class PageDocument;

// One element of the page that carries an id. Its inner HTML is kept as
// written: the renderer reads fragments such as <font size=2 color=yellow>
// exactly as the writer gave them. Elements with ids inside it are elements
// of their own, found by the document and written back into the inner HTML
// when it is read.
class PageElement {
public:
    PageElement(const PageElement &) = delete;
    PageElement &operator=(const PageElement &) = delete;

    QString id() const { return attribute(u"id"_qs); }
    // Upper case, as the document object model reports it ("LABEL", "DIV").
    QString tagName() const { return m_tag.toUpper(); }
    QString className() const { return attribute(u"class"_qs); }
    // An attribute as written in the page; "" when absent. Names compare
    // without regard to case.
    QString attribute(const QString &name) const;

    QString innerHTML() const;
    // Replaces the content; elements with ids in the new HTML become
    // elements of the document, those of the old content leave it.
    void setInnerHTML(const QString &html);

    // The content as shown text: tags removed, <br> as a line break, runs of
    // white space as one space, entities decoded.
    QString innerText() const;
    // Shows `text` as plain text: markup characters are escaped and line
    // breaks become <br>.
    void setInnerText(const QString &text);

    // The element with its start and end tags; the start tag is rebuilt
    // once the inline style has changed.
    QString outerHTML() const;

    PageStyle &style() { return m_style; }
    const PageStyle &style() const { return m_style; }

    PageDocument *document() const { return m_document; }
    // The document's revision at this element's last change.
    quint64 revision() const { return m_revision; }

    // Decodes the character entities of an HTML text.
    static QString decodeEntities(const QString &html);
    // Escapes &, < and > so that `text` shows as written.
    static QString escapeText(const QString &text);

private:
    friend class PageDocument;
    friend class PageStyle;

    struct Segment {
        QString html;
        PageElement *child = nullptr;
    };

    explicit PageElement(PageDocument *document) : m_document(document) { m_style.m_owner = this; }
    // Raises the revision of this element and of the elements around it.
    void changed(bool styleChanged = false);
    void detachChildren();

    PageDocument *m_document;
    QString m_tag; // as written
    QVector<QPair<QString, QString>> m_attributes;
    QString m_startTag;
    QString m_endTag;
    bool m_styleChanged = false;
    QVector<Segment> m_content;
    PageElement *m_parent = nullptr;
    PageStyle m_style;
    quint64 m_revision = 0;
};

} // namespace sorvane

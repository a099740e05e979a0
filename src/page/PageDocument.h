#pragma once

#include "page/PageElement.h"
#include "page/PageStyle.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace sorvane {

// The overlay's page: the rules of its style sheet and the elements that
// carry an id, each with its inline style and inner HTML. The page is
// written once; afterwards only the elements' contents and styles change,
// and every change raises the revision and calls the change listener.
// Reading markup is tolerant and small: tags, attributes, comments and the
// raw text of style, script and title; no other HTML rule is applied.
class PageDocument {
public:
    PageDocument(const PageDocument &) = delete;
    PageDocument &operator=(const PageDocument &) = delete;
    ~PageDocument();

    // The document a browser would hold after writing `html` into a blank page.
    static std::shared_ptr<PageDocument> write(const QString &html);

    // The first element in document order with exactly this id; nullptr
    // when there is none.
    PageElement *getElementById(const QString &id) const;
    // The elements with ids, in document order.
    QVector<PageElement *> elements() const;

    const PageStyle &bodyStyle() const { return rule(u"body"_qs); }
    // The rule of ".className"; an empty style when the sheet has none.
    const PageStyle &classRule(const QString &className) const;
    // The merged declarations of every rule for one selector, compared
    // without regard to case; an empty style when there is none.
    const PageStyle &rule(const QString &selector) const;

    quint64 revision() const { return m_revision; }
    // Called after each change of an element's content or style.
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    friend class PageElement;

    PageDocument();
    // Where one element read from markup lies in it.
    struct ElementSpan {
        PageElement *element;
        int parent; // index of the enclosing span, -1 for the element read into
        qsizetype outerStart, innerStart, innerEnd = -1, outerEnd = -1;
    };
    // A start tag not yet closed, with its span (-1: a tag without id).
    struct OpenTag {
        QString name;
        int span;
    };

    // Reads `html` as the content of `parent`, making elements of the
    // tags with ids; style sheets are read only when `readStyles` is set.
    void parseContent(PageElement *parent, const QString &html, bool readStyles);
    // Makes the elements of the tags with ids and finds where each lies.
    QVector<ElementSpan> readElements(const QString &html, bool readStyles);
    PageElement *newElement(const QString &tagName, const QVector<QPair<QString, QString>> &attributes);
    static int enclosingSpan(const QVector<OpenTag> &open);
    // An end tag closes the innermost open tag of its name and every tag
    // opened inside it; a stray one closes nothing.
    static void closeElements(QVector<OpenTag> &open, QVector<ElementSpan> &spans, const QString &name,
                              qsizetype start, qsizetype end);
    // The content between `innerStart` and `innerEnd` of the span at `self`
    // (-1: the markup itself): its text and its child elements, in order.
    static QVector<PageElement::Segment> contentOf(const QString &html, const QVector<ElementSpan> &spans,
                                                   qsizetype innerStart, qsizetype innerEnd, int self);
    void readStyleSheet(const QString &css);
    void elementChanged(PageElement *element);
    // Called whenever elements join or leave the tree.
    void structureChanged() { m_idIndexValid = false; }

    std::vector<std::unique_ptr<PageElement>> m_elements; // owns detached ones too
    PageElement *m_root = nullptr;
    QVector<QPair<QString, PageStyle>> m_rules;
    quint64 m_revision = 0;
    std::function<void()> m_listener;
    // First element in document order per id; the loader and the clock look
    // elements up several times a second, the tree changes rarely.
    mutable QHash<QString, PageElement *> m_idIndex;
    mutable bool m_idIndexValid = false;
};

} // namespace sorvane

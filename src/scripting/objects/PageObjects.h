#pragma once

#include "core/HostObject.h"

#include <memory>

namespace sorvane {

class PageDocument;
class PageElement;

// The page as scripts see it: the document with getElementById, its
// elements with innerHTML, innerText and style, and the style's
// properties by their script names (fontSize, color, cssText, ...).
class DocumentObject : public HostObject<DocumentObject> {
public:
    explicit DocumentObject(std::shared_ptr<PageDocument> document) : m_document(std::move(document)) {}
    QString typeName() const override { return QStringLiteral("HTMLDocument"); }
    static const MemberTable<DocumentObject> &members();

    const std::shared_ptr<PageDocument> &document() const { return m_document; }

private:
    std::shared_ptr<PageDocument> m_document;
};

// An element is found again by its id at every use, so a script holding it
// never reaches an element the page has dropped.
class ElementObject : public HostObject<ElementObject> {
public:
    ElementObject(std::shared_ptr<PageDocument> document, const QString &id)
        : m_document(std::move(document)), m_id(id)
    {
    }
    QString typeName() const override { return QStringLiteral("HTMLElement"); }
    static const MemberTable<ElementObject> &members();

    Result<PageElement *> element() const;
    const std::shared_ptr<PageDocument> &document() const { return m_document; }
    const QString &id() const { return m_id; }

private:
    std::shared_ptr<PageDocument> m_document;
    QString m_id;
};

// Any property name is a member: the style keeps every declaration by name.
class StyleObject : public DispatchObject {
public:
    StyleObject(std::shared_ptr<PageDocument> document, const QString &id) : m_element(std::move(document), id) {}
    QString typeName() const override { return QStringLiteral("CSSStyleDeclaration"); }

    Result<Variant> invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value) override;
    std::optional<MemberInfo> member(const QString &name) const override;
    QStringList memberNames() const override;

private:
    ElementObject m_element;
};

// The script value of a page document: its object, or Nothing before the page exists.
Variant documentVariant(const std::shared_ptr<PageDocument> &document);

} // namespace sorvane

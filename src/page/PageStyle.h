#pragma once

#include <QString>
#include <QVector>

namespace sorvane {

class PageElement;

// The CSS declarations of one inline style or one style-sheet rule, in the
// order they were given. Property names compare without regard to case and
// are kept in their CSS form; a script's camelCase name (fontSize,
// backgroundColor) names the same property as its hyphenated form.
// Writing a value equal to the current one is no change.
class PageStyle {
public:
    struct Declaration {
        QString name; // CSS form, lower case
        QString value;
        bool operator==(const Declaration &) const = default;
    };

    PageStyle() = default;
    // A copy carries the declarations only; it belongs to no element.
    PageStyle(const PageStyle &other);
    // Assigning to an element's style is one change of that element.
    PageStyle &operator=(const PageStyle &other);

    // The CSS form of a property name: "fontSize" and "font-Size" both give
    // "font-size".
    static QString cssName(const QString &name);

    // The value of a property given by camelCase or CSS name; "" when unset.
    QString property(const QString &name) const;
    // Sets a property; an empty value removes it. The shorthand "font" is
    // expanded into its longhands.
    void setProperty(const QString &name, const QString &value);

    // "name: value;" for every declaration, separated by spaces.
    QString cssText() const;
    // Replaces every declaration by those of "a:b;c:d". Declarations
    // without a name or a value are dropped; a later one wins.
    void setCssText(const QString &text);

    const QVector<Declaration> &declarations() const { return m_declarations; }
    bool isEmpty() const { return m_declarations.isEmpty(); }

private:
    friend class PageElement;
    friend class PageDocument;

    // Adds the declarations of a style text to `list`.
    static void apply(QVector<Declaration> &list, const QString &text);
    static void put(QVector<Declaration> &list, const QString &cssName, const QString &value);
    void replace(QVector<Declaration> list);

    QVector<Declaration> m_declarations;
    PageElement *m_owner = nullptr;
};

} // namespace sorvane

#pragma once

#include "core/HostObject.h"
#include "text/RegExp.h"

#include <QString>
#include <QVector>

namespace sorvane {

// "VBScript.RegExp": a pattern with its three options, compiled when it is
// used (error 5017 for a pattern the dialect rejects). Test ignores Global;
// Replace and Execute take the first match, or every match with Global.
class RegExpObject : public HostObject<RegExpObject> {
public:
    QString typeName() const override { return QStringLiteral("IRegExp2"); }
    static const MemberTable<RegExpObject> &members();

    QString pattern;
    bool global = false;
    bool ignoreCase = false;
    bool multiline = false;

    Result<bool> test(const QString &text) const;
    Result<QString> replace(const QString &text, const QString &replacement) const;
    // The Matches collection.
    Result<Variant> execute(const QString &text) const;

private:
    Result<RegExp> compiled() const;
};

// "Match": one match with its groups; Value is the default member.
class MatchObject : public HostObject<MatchObject> {
public:
    MatchObject(const QString &subject, const RegExp::Match &match);

    QString typeName() const override { return QStringLiteral("IMatch2"); }
    static const MemberTable<MatchObject> &members();

    const QString &value() const { return m_value; }
    qint32 firstIndex() const { return m_firstIndex; }
    // The groups' texts; Empty for a group that took no part.
    const QVector<Variant> &subMatches() const { return m_groups; }

private:
    QString m_value;
    qint32 m_firstIndex = 0;
    QVector<Variant> m_groups;
};

// "Matches" and "SubMatches": a fixed list read by a 0-based index (error 5
// out of range), Item being the default member; For Each visits the items.
class MatchList : public HostObject<MatchList> {
public:
    MatchList(QString typeName, QVector<Variant> items) : m_typeName(std::move(typeName)), m_items(std::move(items)) {}

    QString typeName() const override { return m_typeName; }
    static const MemberTable<MatchList> &members();
    Result<QVector<Variant>> elements() override { return m_items; }

    int count() const { return int(m_items.size()); }
    Result<Variant> item(qint32 index) const;

private:
    QString m_typeName;
    QVector<Variant> m_items;
};

} // namespace sorvane

#include "scripting/objects/RegExpObject.h"

namespace sorvane {
namespace {

template <bool RegExpObject::*Flag>
HostMember<RegExpObject> flagMember(const char *name)
{
    return {name, MemberKind::Property, 0, 0,
            [](RegExpObject &r, Arguments &) -> Result<Variant> { return Variant(r.*Flag); },
            [](RegExpObject &r, Arguments &, const Variant &v) -> Status {
                bool on = TRY(v.toBool());
                r.*Flag = on;
                return {};
            }};
}

// Runs a member that takes one text.
template <typename T, typename F>
Result<Variant> onText(Arguments &a, int i, F &&f)
{
    QString text = TRY(a.text(i));
    T r = TRY(f(text));
    return Variant(r);
}

} // namespace

const MemberTable<RegExpObject> &RegExpObject::members()
{
    using M = HostMember<RegExpObject>;
    using R = RegExpObject;
    static const MemberTable<RegExpObject> table({
        M{"Pattern", MemberKind::Property, 0, 0, [](R &r, Arguments &) -> Result<Variant> { return Variant(r.pattern); },
          [](R &r, Arguments &, const Variant &v) -> Status {
              QString text = TRY(v.toString());
              r.pattern = text;
              return {};
          }},
        flagMember<&R::global>("Global"),
        flagMember<&R::ignoreCase>("IgnoreCase"),
        flagMember<&R::multiline>("Multiline"),
        M{"Test", MemberKind::Method, 1, 1,
          [](R &r, Arguments &a) { return onText<bool>(a, 0, [&](const QString &t) { return r.test(t); }); }, nullptr},
        M{"Replace", MemberKind::Method, 2, 2,
          [](R &r, Arguments &a) -> Result<Variant> {
              QString replacement = TRY(a.text(1));
              return onText<QString>(a, 0, [&](const QString &t) { return r.replace(t, replacement); });
          },
          nullptr},
        M{"Execute", MemberKind::Method, 1, 1,
          [](R &r, Arguments &a) -> Result<Variant> {
              QString text = TRY(a.text(0));
              return r.execute(text);
          },
          nullptr},
    });
    return table;
}

Result<RegExp> RegExpObject::compiled() const
{
    unsigned options = RegExp::NoOptions;
    if (ignoreCase)
        options |= RegExp::IgnoreCase;
    if (multiline)
        options |= RegExp::Multiline;
    return RegExp::compile(pattern, options);
}

Result<bool> RegExpObject::test(const QString &text) const
{
    RegExp re = TRY(compiled());
    return re.test(text);
}

Result<QString> RegExpObject::replace(const QString &text, const QString &replacement) const
{
    RegExp re = TRY(compiled());
    return re.replace(text, replacement, global);
}

Result<Variant> RegExpObject::execute(const QString &text) const
{
    RegExp re = TRY(compiled());
    QVector<RegExp::Match> found = TRY(re.matches(text, global));
    QVector<Variant> items;
    items.reserve(found.size());
    for (const RegExp::Match &m : found)
        items << Variant::fromObject(std::make_shared<MatchObject>(text, m));
    return Variant::fromObject(std::make_shared<MatchList>(QStringLiteral("IMatchCollection2"), std::move(items)));
}

MatchObject::MatchObject(const QString &subject, const RegExp::Match &match)
    : m_value(match.value(subject)), m_firstIndex(qint32(match.whole.start))
{
    m_groups.reserve(match.groups.size());
    for (const RegExp::Span &g : match.groups)
        m_groups << (g.matched() ? Variant(subject.mid(g.start, g.length)) : Variant());
}

const MemberTable<MatchObject> &MatchObject::members()
{
    using M = HostMember<MatchObject>;
    using T = MatchObject;
    static const MemberTable<MatchObject> table(
        {
            M{"Value", MemberKind::Property, 0, 0, [](T &m, Arguments &) -> Result<Variant> { return Variant(m.value()); },
              nullptr},
            M{"FirstIndex", MemberKind::Property, 0, 0,
              [](T &m, Arguments &) -> Result<Variant> { return Variant::fromLong(m.firstIndex()); }, nullptr},
            M{"Length", MemberKind::Property, 0, 0,
              [](T &m, Arguments &) -> Result<Variant> { return Variant::fromLong(qint32(m.value().size())); },
              nullptr},
            M{"SubMatches", MemberKind::Property, 0, 0,
              [](T &m, Arguments &) -> Result<Variant> {
                  return Variant::fromObject(std::make_shared<MatchList>(QStringLiteral("ISubMatches"), m.subMatches()));
              },
              nullptr},
        },
        "Value");
    return table;
}

Result<Variant> MatchList::item(qint32 index) const
{
    if (index < 0 || index >= m_items.size())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return m_items[index];
}

const MemberTable<MatchList> &MatchList::members()
{
    using M = HostMember<MatchList>;
    using L = MatchList;
    static const MemberTable<MatchList> table(
        {
            M{"Item", MemberKind::Indexed, 1, 1,
              [](L &l, Arguments &a) -> Result<Variant> {
                  qint32 index = TRY(a.toLong(0));
                  return l.item(index);
              },
              nullptr},
            M{"Count", MemberKind::Property, 0, 0,
              [](L &l, Arguments &) -> Result<Variant> { return Variant::fromLong(l.count()); }, nullptr},
        },
        "Item");
    return table;
}

} // namespace sorvane

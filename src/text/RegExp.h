#pragma once

#include "core/ScriptError.h"

#include <QString>
#include <QVector>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace sorvane {

// The one regular-expression engine of the program: the scripts' dialect
// (ECMAScript rules as "VBScript.RegExp" applies them) on PCRE2 over the
// UTF-16 code units of a QString.
//
// Dialect rules kept here and nowhere else:
// - "." matches any code unit but line feed;
// - without Multiline, "^" and "$" match only at the very start and end of
//   the text; with it, also after and before CR, LF, U+2028 and U+2029;
// - \s is ECMAScript white space (including U+00A0, U+3000 and U+FEFF),
//   \d, \w and \b are ASCII-only; \uXXXX, \xHH and \0 name code units;
//   an escaped letter without a meaning stands for itself;
// - a back reference to a group that took no part matches the empty text;
// - IgnoreCase folds case by Unicode rules.
//
// A compiled pattern is shared by every RegExp made from the same pattern and
// options, so call sites that repeat a pattern compile it once.
class RegExp {
public:
    enum Option : unsigned { NoOptions = 0, IgnoreCase = 1, Multiline = 2 };

    // A piece of the subject: start index and length in code units.
    // A group that took no part in the match has start -1.
    struct Span {
        qsizetype start = -1;
        qsizetype length = 0;
        bool matched() const { return start >= 0; }
        qsizetype end() const { return start + length; }
    };

    struct Match {
        Span whole;
        QVector<Span> groups; // groups 1..n at indexes 0..n-1

        QString value(const QString &subject) const { return subject.mid(whole.start, whole.length); }
        // Text of group n (1-based); empty when it took no part or does not exist.
        QString group(const QString &subject, int n) const;
    };

    // Error 5017 when the pattern is not valid in the dialect.
    static Result<RegExp> compile(const QString &pattern, unsigned options = NoOptions);

    const QString &pattern() const;
    unsigned options() const;
    int groupCount() const;

    // The first match that starts at or after `from`. Fails (error 28) when
    // the pattern backtracks beyond the match limit from one start position,
    // or when the call as a whole (here and in matches and replace: every
    // search they make) takes longer than its limit, 10 seconds.
    Result<std::optional<Match>> match(const QString &subject, qsizetype from = 0) const;
    Result<bool> test(const QString &subject) const;
    // The first match, or every match left to right when `global` is set;
    // after an empty match the search goes on one code unit further.
    Result<QVector<Match>> matches(const QString &subject, bool global) const;
    // `replacement` may name $1..$9, $& (the match), $` and $' (the text
    // before and after it) and $$ (a dollar sign); any other "$" stays as is.
    Result<QString> replace(const QString &subject, const QString &replacement, bool global) const;

    static QString expandReplacement(const QString &replacement, const QString &subject, const Match &match);

    // The PCRE2 pattern a dialect pattern becomes (exposed for tests).
    static QString translate(const QString &pattern, bool multiline);

    // The time limit of one call on this thread, and the steady time it is
    // measured in (the system's when empty); for tests.
    using Now = std::function<std::chrono::milliseconds()>;
    static void setCallLimit(std::chrono::milliseconds limit, Now now);
    static void resetCallLimit();

    struct Compiled;

private:
    explicit RegExp(std::shared_ptr<const Compiled> compiled) : m_compiled(std::move(compiled)) {}
    // A search within the call under way (its time already started).
    Result<std::optional<Match>> matchFrom(const QString &subject, qsizetype from) const;
    std::shared_ptr<const Compiled> m_compiled;
};

} // namespace sorvane

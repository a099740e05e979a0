#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"

#include <QString>
#include <QVector>

namespace sorvane::vb {

// The language's reserved and context words; None for a plain identifier.
enum class Keyword : quint8 {
    None, And, ByRef, ByVal, Call, Case, Class, Const, Default, Dim, Do, Each, Else, ElseIf, Empty, End, Eqv,
    Erase, Error, Exit, Explicit, False, For, Function, Get, GoTo, If, Imp, In, Is, Let, Loop, Me, Mod, New,
    Next, Not, Nothing, Null, On, Option, Or, Preserve, Private, Property, Public, ReDim, Resume, Select, Set,
    Step, Sub, Then, To, True, Until, Wend, While, With, Xor
};

enum class TokenKind : quint8 { End, LineEnd, Colon, Name, Literal, Punct };

struct Token {
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None;
    bool spaceBefore = false;
    int line = 1;    // 1-based
    int column = 0;  // 0-based
    QString text;    // a name as written, or the punctuation
    Variant value;   // a literal's value
};

// Splits source text into tokens: line continuations joined, comments
// dropped, literals read with their kinds (Integer, Long, Double, String,
// Date). The first fault ends the list with the language's compile error.
Result<QVector<Token>> tokenize(const QString &source);

// Words that are keywords only where a statement expects them; elsewhere
// they name variables and members.
bool isContextWord(Keyword keyword);

} // namespace sorvane::vb

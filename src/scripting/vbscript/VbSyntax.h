#pragma once

#include "core/Variant.h"
#include "scripting/vbscript/VbBuiltins.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace sorvane::vb {

struct ClassInfo;
struct Procedure;
struct Program;

enum class Op : quint8 {
    Neg, Not, Pow, Mul, Div, IntDiv, Mod, Add, Sub, Concat,
    Eq, Ne, Lt, Gt, Le, Ge, Is, And, Or, Xor, Eqv, Imp
};

// What a name stands for, decided before the program runs.
enum class Binding : quint8 {
    Unbound,
    Local,      // a slot of the running procedure's frame
    Global,     // a slot of the engine's globals
    Field,      // a variable of the running procedure's object (Me)
    Member,     // a procedure or property of Me's class
    Procedure,  // a global Sub or Function
    Constant,   // a value fixed at compile time
    Function,   // a built-in or host-registered function
    Intrinsic,  // Eval, Execute, ExecuteGlobal, GetRef
    Undefined,  // not declared under Option Explicit: error 500 when reached
    Dynamic,    // not declared anywhere yet: looked up when reached, as code run later may declare it
};

enum class Intrinsic : quint8 { Eval, Execute, ExecuteGlobal, GetRef };

enum class ExprKind : quint8 { Literal, Name, Member, Call, Unary, Binary, New, Me, Missing, Paren };

// Where a value is read from without running anything, set when bound: a
// literal or constant (`value`), a local, global or field slot; or None.
enum class Access : quint8 { None, Value, Local, Global, Field };

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    ExprKind kind = ExprKind::Literal;
    Op op = Op::Add;
    Binding binding = Binding::Unbound;
    Access access = Access::None;
    Intrinsic intrinsic = Intrinsic::Eval;
    bool readOnly = false;  // constants and exposed names
    bool hasParens = false; // a call written with an argument list
    int line = 0;
    int column = 0;
    int index = -1;         // slot, field or member index
    int height = 1;         // levels of operands below and including this node
    Variant value;          // a literal or a constant's value
    QString name;
    ExprPtr left, right;    // operands; a member's object; a call's target
    std::vector<ExprPtr> args;
    Procedure *procedure = nullptr;
    const BuiltinInfo *builtin = nullptr;
    Variant *global = nullptr; // a Global's slot (globals stay where they are)
    bool mayRunCode = false;   // a Function that may run script code: one the host gave, MsgBox, InputBox
    bool readsDefaults = false; // a built-in that reads an object argument through its default member
    // A call of a host object's member through here: the member's number in
    // the member table met last, for the next call to skip the name lookup.
    mutable const void *siteTable = nullptr;
    mutable int siteNumber = -1;
};

enum class StmtKind : quint8 {
    Call, Assign, Set, Dim, ReDim, If, Select, For, ForEach, Do, While, Exit, OnErrorResume, OnErrorGoto0, With,
    Erase, Nothing
};

enum class ExitKind : quint8 { None, For, Do, Procedure };

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct DimItem {
    ExprPtr target;              // a Name
    std::vector<ExprPtr> bounds; // upper bounds; none for a plain variable
    bool isArray = false;        // `Dim a()` declares a dynamic array
    bool fixedTarget = false;    // ReDim of a name declared with its size: error 10
};

struct CaseItem {
    ExprPtr from, to;     // `from To to`, or just `from`
    Op compare = Op::Eq;  // `Is <op> from`
};

struct CaseClause {
    std::vector<CaseItem> items;
    Block body;
};

struct Stmt {
    StmtKind kind = StmtKind::Nothing;
    int line = 0;
    int column = 0;
    ExitKind exit = ExitKind::None;
    bool preserve = false;
    bool testAtTop = true;
    bool until = false;
    bool appendInPlace = false; // `s = s & x`: the text grows where it is
    bool fixedArray = false;    // Erase of a name declared with its size: its elements are cleared
    ExprPtr target, value, limit, step;
    std::vector<DimItem> dims;
    std::vector<std::pair<ExprPtr, Block>> branches;
    std::vector<CaseClause> cases;
    Block body, elseBody;
    bool hasElse = false;
};

enum class ProcKind : quint8 { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Param {
    QString name;
    bool byRef = true;
    bool isArray = false;
};

struct Procedure {
    QString name;
    ProcKind kind = ProcKind::Sub;
    bool isPublic = true;
    bool isDefault = false;
    int line = 0;
    int column = 0;
    std::vector<Param> params;
    Block body;
    // Filled when bound: slot 0 is the result, then the parameters, then locals.
    int slotCount = 0;
    QHash<QString, int> localSlots;
    QSet<int> fixedSlots; // locals declared with their size (`Dim a(3)`)
    QHash<QString, Variant> constants;
    ClassInfo *owner = nullptr;
    Program *program = nullptr;
    bool returnsValue() const { return kind == ProcKind::Function || kind == ProcKind::PropertyGet; }
};

struct FieldDecl {
    QString name;
    bool isPublic = true;
    std::vector<ExprPtr> bounds;
    bool isArray = false;
};

// A class as written; members are bound into a ClassInfo.
struct ClassDecl {
    QString name;
    int line = 0;
    int column = 0;
    std::vector<FieldDecl> fields;
    std::vector<std::unique_ptr<Procedure>> procedures;
};

struct ClassMember {
    QString name;
    bool isPublic = true;
    int field = -1;
    bool fixedArray = false;     // a field declared with its size
    Procedure *method = nullptr; // a Sub or Function
    Procedure *get = nullptr;
    Procedure *let = nullptr;
    Procedure *set = nullptr;
};

struct ClassInfo {
    QString name;
    ClassDecl *decl = nullptr;
    std::vector<ClassMember> members;
    QHash<QString, int> memberIndex; // case-folded name
    int defaultMember = -1;
    int fieldCount = 0;
    Procedure *initialize = nullptr;
    Procedure *terminate = nullptr;
    std::shared_ptr<Program> program; // keeps the procedures alive with the class
    int find(const QString &name) const { return memberIndex.value(name.toCaseFolded(), -1); }
};

// One compiled text: its statements, procedures and classes, and its lines
// for error reports.
struct Program {
    QStringList lines;
    bool optionExplicit = false;
    Block statements;
    std::vector<std::unique_ptr<Procedure>> procedures;
    std::vector<std::unique_ptr<ClassDecl>> classes;
    // Names the top level gives values to: variables, constants.
    std::vector<std::pair<QString, Variant>> constants;
    QStringList dims;
    QStringList fixedDims; // of those, the ones declared with their size (`Dim a(3)`)
    QStringList assigned; // names the top level assigns without declaring them

};

} // namespace sorvane::vb

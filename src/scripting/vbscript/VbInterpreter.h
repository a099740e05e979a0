#pragma once

#include "core/DispatchObject.h"
#include "scripting/vbscript/VbBuiltins.h"
#include "scripting/vbscript/VbErrObject.h"
#include "scripting/vbscript/VbGlobals.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace sorvane::vb {

class VbInstance;
struct Frame;
struct CallSetup;
struct ArrayWriteBack;

// Runs bound programs by walking their trees. Script errors travel as
// exceptions inside the walk only (so On Error Resume Next can pick them
// up at any statement) and leave it as Status/Result values.
class Interpreter : public std::enable_shared_from_this<Interpreter> {
public:
    using HostCallHook = std::function<void(bool entering)>;

    explicit Interpreter(BuiltinContext context);
    ~Interpreter();

    Status execute(const QString &code);
    Result<Variant> evaluate(const QString &code);

    // Entry points for objects handed to host code.
    Result<Variant> invokeInstance(VbInstance &object, const QString &name, CallKind kind, QVector<Variant> &args,
                                   const Variant &value);
    Result<Variant> invokeProcedure(Procedure &procedure, QVector<Variant> &args);
    void terminate(VbInstance &object);

    Globals globals;
    BuiltinContext context;
    HostCallHook hostCallHook;
    std::atomic<bool> interrupted{false};
    qint64 stepLimit = 0; // statements a run may execute; 0 for no limit
    bool closing = false;

private:
    class ArgumentList;
    struct AppendGuard;

    // Parses a program or one expression, binds its names and keeps it for
    // the engine's lifetime; a failure is the compile error as reported.
    Result<std::shared_ptr<Program>> load(const QString &code, bool expression);
    enum class Flow : quint8 { Normal, ExitFor, ExitDo, ExitProcedure };

    // statements
    Flow runBlock(const Block &block, Frame &frame);
    Flow run(const Stmt &stmt, Frame &frame);
    Flow runOther(const Stmt &stmt, Frame &frame);
    void runAssign(const Stmt &stmt, Frame &frame);
    Flow runFor(const Stmt &stmt, Frame &frame);
    Flow runForEach(const Stmt &stmt, Frame &frame);
    Flow runLoop(const Stmt &stmt, Frame &frame);
    void runDim(const Stmt &stmt, Frame &frame);
    bool caseMatches(const CaseClause &clause, const Variant &value, const Stmt &stmt, Frame &frame);
    // Counts a statement: the interrupt and the step limit are looked at
    // once per few hundred statements, the limit still exactly.
    void step()
    {
        if (--m_countdown < 0)
            stepSlowly();
    }
    void stepSlowly();
    void resetSteps();
    // Counts a nested call or run; error 28 when too deep for the stack.
    void enter();

    // expressions
    Variant eval(const Expr &expr, Frame &frame);
    Variant evalOther(const Expr &expr, Frame &frame);
    // An expression's value, an object's read through its default member.
    Variant valueOf(const Expr &expr, Frame &frame)
    {
        Variant v = eval(expr, frame);
        if (v.isObject()) [[unlikely]]
            return defaultValue(v);
        return v;
    }
    // The value of a literal, constant or variable where it is stored, when
    // reading it runs no code (it holds no object); else nullptr.
    const Variant *storedValue(const Expr &expr, Frame &frame);
    Variant evalBinaryAfterCalls(const Expr &expr, Frame &frame, const Variant *left);
    Variant evalIs(const Expr &expr, Frame &frame);
    // valueOf() with parentheses and operators taken straight to the
    // operator (whose value is no object, so needs no default member).
    Variant operandValue(const Expr &expr, Frame &frame)
    {
        const Expr *inner = &expr;
        while (inner->kind == ExprKind::Paren) [[unlikely]]
            inner = inner->left.get();
        if (inner->kind == ExprKind::Binary)
            return evalBinary(*inner, frame);
        return valueOf(*inner, frame);
    }
    Variant binaryValue(const Expr &expr, const Variant &left, const Variant &right);
    Variant otherBinaryValue(const Expr &expr, const Variant &left, const Variant &right);
    Variant defaultValue(const Variant &object);
    Variant evalName(const Expr &expr, Frame &frame);
    Variant evalCall(const Expr &expr, Frame &frame);
    Variant evalBinary(const Expr &expr, Frame &frame);
    Variant evalNew(const Expr &expr, Frame &frame);
    Variant callFunction(const Expr &name, const std::vector<ExprPtr> &args, Frame &frame);
    Variant callWithDefaults(const BuiltinInfo &info, const QVector<Variant> &values);
    // A built-in whose call may run script code or wait for the user.
    Variant callRunningCode(const BuiltinInfo &info, QVector<Variant> &values);
    Variant callIntrinsic(const Expr &name, const std::vector<ExprPtr> &args, Frame &frame);
    Variant memberCall(const Variant &object, const QString &name, const std::vector<ExprPtr> *args, Frame &frame,
                       const Expr *site = nullptr);
    Variant instanceCall(VbInstance &object, int member, const std::vector<ExprPtr> *args, Frame &frame);
    Variant indexValue(const Variant &value, const std::vector<ExprPtr> &args, Frame &frame,
                       const Expr *site = nullptr);
    // `site`, when given, is the expression the call is written as: it keeps
    // the member's number for the calls after.
    Variant hostInvoke(const std::shared_ptr<DispatchObject> &object, const QString &name, CallKind kind,
                       QVector<Variant> &args, const Variant &value, const Expr *site = nullptr);
    QVector<Variant> argumentValues(const std::vector<ExprPtr> &args, Frame &frame);
    void argumentValues(const std::vector<ExprPtr> &args, Frame &frame, ArgumentList &list);
    void copyBack(const std::vector<ExprPtr> &args, const QVector<Variant> &values, Frame &frame);
    qsizetype elementOffset(const Variant &array, const std::vector<ExprPtr> &args, Frame &frame);

    // assignment
    Variant *variableRef(const Expr &expr, Frame &frame);
    void assign(const Expr &target, Variant value, bool isSet, Frame &frame);
    void assignMember(const Variant &object, const QString &name, QVector<Variant> &args, const Variant &value,
                      bool isSet, Frame &frame);
    void assignInstance(VbInstance &object, int member, QVector<Variant> &args, const Variant &value, bool isSet,
                        Frame &frame);
    void appendInPlace(const Stmt &stmt, Frame &frame);
    // Called just before script code may run: texts being appended to and
    // values lent to a built-in are kept from what it may change.
    void codeMayRun()
    {
        if (m_appendGuard || m_lending)
            beforeCodeRuns();
    }
    void beforeCodeRuns();

    // procedures
    Variant call(Procedure &procedure, const std::vector<ExprPtr> *args, Frame &caller, VbInstance *me,
                 const Variant *extra = nullptr);
    Variant callWithValues(Procedure &procedure, QVector<Variant> &args, VbInstance *me,
                           const Variant *extra = nullptr);
    Variant runProcedure(Procedure &procedure, CallSetup &setup, VbInstance *me);
    bool mayReach(const VbInstance &object, const ClassMember &member, const Frame &frame) const;

    // code given at run time
    std::shared_ptr<Program> compile(const QString &code, bool expression, Procedure *scope, bool optionExplicit);
    const GlobalName *lateName(const Expr &expr) const;
    Status guarded(const std::function<void()> &work);

    std::vector<std::shared_ptr<Program>> m_programs;
    // Argument lists kept for calls nested up to this deep, by count.
    static constexpr int kArgumentDepths = 16;
    static constexpr size_t kArgumentCounts = 4;
    QVector<Variant> m_argumentLists[kArgumentDepths][kArgumentCounts];
    int m_argumentDepth = 0;
    AppendGuard *m_appendGuard = nullptr;
    ArgumentList *m_lending = nullptr; // the innermost list lending values
    std::shared_ptr<VbErrObject> m_err;
    int m_depth = 0;
    std::uintptr_t m_stackBase = 0;
    qint64 m_steps = 0;     // statements counted up to the current stretch
    qint64 m_stretch = 0;   // statements the current stretch allows
    qint64 m_countdown = 0; // of those, the ones left
};

} // namespace sorvane::vb

#pragma once

#include "scripting/objects/DispatchObject.h"
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
    // Parses a program or one expression, binds its names and keeps it for
    // the engine's lifetime; a failure is the compile error as reported.
    Result<std::shared_ptr<Program>> load(const QString &code, bool expression);
    enum class Flow : quint8 { Normal, ExitFor, ExitDo, ExitProcedure };

    // statements
    Flow runBlock(const Block &block, Frame &frame);
    Flow run(const Stmt &stmt, Frame &frame);
    Flow runFor(const Stmt &stmt, Frame &frame);
    Flow runForEach(const Stmt &stmt, Frame &frame);
    Flow runLoop(const Stmt &stmt, Frame &frame);
    void runDim(const Stmt &stmt, Frame &frame);
    bool caseMatches(const CaseClause &clause, const Variant &value, const Stmt &stmt, Frame &frame);
    void step();
    // Counts a nested call or run; error 28 when too deep for the stack.
    void enter();

    // expressions
    Variant eval(const Expr &expr, Frame &frame);
    Variant valueOf(const Expr &expr, Frame &frame);
    // An operand's value without a copy when it is a literal or a variable.
    const Variant &operand(const Expr &expr, Frame &frame, Variant &temp);
    Variant defaultValue(const Variant &object);
    Variant evalName(const Expr &expr, Frame &frame);
    Variant evalCall(const Expr &expr, Frame &frame);
    Variant evalBinary(const Expr &expr, Frame &frame);
    Variant evalNew(const Expr &expr, Frame &frame);
    Variant callFunction(const Expr &name, const std::vector<ExprPtr> &args, Frame &frame);
    Variant callIntrinsic(const Expr &name, const std::vector<ExprPtr> &args, Frame &frame);
    Variant memberCall(const Variant &object, const QString &name, const std::vector<ExprPtr> *args, Frame &frame);
    Variant instanceCall(VbInstance &object, int member, const std::vector<ExprPtr> *args, Frame &frame);
    Variant indexValue(const Variant &value, const std::vector<ExprPtr> &args, Frame &frame);
    Variant hostInvoke(const std::shared_ptr<DispatchObject> &object, const QString &name, CallKind kind,
                       QVector<Variant> &args, const Variant &value);
    QVector<Variant> argumentValues(const std::vector<ExprPtr> &args, Frame &frame);
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

    // procedures
    Variant call(Procedure &procedure, const std::vector<ExprPtr> *args, Frame &caller, VbInstance *me,
                 const Variant *extra = nullptr);
    Variant callWithValues(Procedure &procedure, QVector<Variant> &args, VbInstance *me,
                           const Variant *extra = nullptr);
    Variant runProcedure(Procedure &procedure, CallSetup &setup, VbInstance *me);
    std::shared_ptr<VbInstance> instanceOf(const Variant &value) const;
    bool mayReach(const VbInstance &object, const ClassMember &member, const Frame &frame) const;

    // code given at run time
    std::shared_ptr<Program> compile(const QString &code, bool expression, Procedure *scope, bool optionExplicit);
    const GlobalName *lateName(const Expr &expr) const;
    Status guarded(const std::function<void()> &work);

    std::vector<std::shared_ptr<Program>> m_programs;
    std::shared_ptr<VbErrObject> m_err;
    int m_depth = 0;
    std::uintptr_t m_stackBase = 0;
    qint64 m_steps = 0;
};

} // namespace sorvane::vb

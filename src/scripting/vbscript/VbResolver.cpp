#include "scripting/vbscript/VbResolver.h"

#include "scripting/vbscript/VbCompileError.h"

#include <algorithm>
#include <iterator>

namespace sorvane::vb {
namespace {

[[noreturn]] void nameRedefined(int line, int column)
{
    throw CompileFailure{compileError(ErrorNumber::NameRedefined, line, column)};
}

// Functions the interpreter itself provides, since they need the running program.
const std::pair<const char *, Intrinsic> kIntrinsics[] = {
    {"eval", Intrinsic::Eval},
    {"execute", Intrinsic::Execute},
    {"executeglobal", Intrinsic::ExecuteGlobal},
    {"getref", Intrinsic::GetRef},
};

// Randomize is a procedure: read for a value, as in `x = Randomize(0)`, it
// is a type mismatch.
const BuiltinInfo kProcedureReadAsValue = {"Randomize", 0, kAnyArgCount,
                                           [](BuiltinContext &, QVector<Variant> &) -> Result<Variant> {
                                               return scriptError(ErrorNumber::TypeMismatch);
                                           }};

// The built-ins that look at an object itself; the others take a number or
// a text, and read an object through its default member.
bool takesObjects(const BuiltinInfo &builtin)
{
    static const char *const names[] = {"Array",  "CreateObject", "Filter",  "IsArray",  "IsEmpty", "IsNull",
                                        "IsObject", "Join",       "LBound",  "TypeName", "UBound",  "VarType"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char *n) { return qstricmp(builtin.name, n) == 0; });
}

bool isProcedureOnly(const Expr &name)
{
    return name.builtin && qstricmp(name.builtin->name, "Randomize") == 0;
}

class Resolver {
public:
    Resolver(const std::shared_ptr<Program> &program, Globals &globals, Procedure *scope)
        : m_programRef(program), m_program(*program), m_globals(globals), m_scope(scope)
    {
    }

    void run()
    {
        // Held here, since a later class of the same name takes an earlier
        // one's place among the globals while both are still being bound.
        std::vector<std::shared_ptr<ClassInfo>> classes;
        for (auto &decl : m_program.classes)
            classes.push_back(declareClass(*decl));
        for (auto &proc : m_program.procedures) {
            const QString key = proc->name.toCaseFolded();
            auto it = m_globals.names.find(key);
            if (it != m_globals.names.end() && it->kind != GlobalName::Kind::Procedure)
                nameRedefined(proc->line, proc->column);
            m_globals.names.insert(key, GlobalName{GlobalName::Kind::Procedure, -1, proc.get()});
        }
        for (const auto &[name, value] : m_program.constants)
            m_globals.addVariable(name, value, true);
        if (!m_scope) {
            for (const QString &name : m_program.dims)
                declareGlobal(name, true);
            if (!m_program.optionExplicit)
                for (const QString &name : m_program.assigned)
                    declareGlobal(name, false);
            // Before the procedures are bound: they may Erase or ReDim one.
            for (const QString &name : m_program.fixedDims)
                if (auto it = m_globals.names.constFind(name.toCaseFolded());
                    it != m_globals.names.cend() && it->kind == GlobalName::Kind::Variable)
                    m_globals.fixedArrays.insert(it->slot);
        }

        // Procedures first: a name the top level only reads is no global of theirs.
        for (auto &proc : m_program.procedures)
            bindProcedure(*proc, nullptr);
        for (const std::shared_ptr<ClassInfo> &cls : classes)
            for (auto &proc : cls->decl->procedures)
                bindProcedure(*proc, cls.get());

        m_procedure = m_scope;
        m_class = m_scope ? m_scope->owner : nullptr;
        m_newLocals = false;
        bindBlock(m_program.statements);
    }

private:
    // Whether a bound name is a variable declared with its size (`Dim a(3)`):
    // ReDim refuses it and Erase clears its elements instead of taking them
    // away.
    bool isFixedArray(const Expr &name) const
    {
        if (name.kind != ExprKind::Name)
            return false;
        switch (name.binding) {
        case Binding::Local: return m_procedure && m_procedure->fixedSlots.contains(name.index);
        case Binding::Global: return m_globals.fixedArrays.contains(name.index);
        case Binding::Field:
            if (m_class)
                for (const ClassMember &m : m_class->members)
                    if (m.field == name.index)
                        return m.fixedArray;
            return false;
        default: return false;
        }
    }

    void declareGlobal(const QString &name, bool declared)
    {
        auto it = m_globals.names.find(name.toCaseFolded());
        if (it != m_globals.names.end() && it->kind != GlobalName::Kind::Variable) {
            if (declared)
                nameRedefined(1, 0);
            return;
        }
        m_globals.addVariable(name);
    }

    std::shared_ptr<ClassInfo> declareClass(ClassDecl &decl)
    {
        auto info = std::make_shared<ClassInfo>();
        info->name = decl.name;
        info->decl = &decl;
        auto add = [&](const QString &name, int line, int column) -> ClassMember & {
            const QString key = name.toCaseFolded();
            auto it = info->memberIndex.find(key);
            if (it != info->memberIndex.end())
                return info->members[*it];
            (void)line;
            (void)column;
            info->memberIndex.insert(key, int(info->members.size()));
            info->members.push_back(ClassMember{name});
            return info->members.back();
        };
        for (const FieldDecl &f : decl.fields) {
            if (info->memberIndex.contains(f.name.toCaseFolded()))
                nameRedefined(decl.line, decl.column);
            ClassMember &m = add(f.name, decl.line, decl.column);
            m.isPublic = f.isPublic;
            m.field = info->fieldCount++;
            m.fixedArray = f.isArray && !f.bounds.empty();
        }
        for (auto &proc : decl.procedures) {
            proc->owner = info.get();
            ClassMember &m = add(proc->name, proc->line, proc->column);
            Procedure **place = nullptr;
            switch (proc->kind) {
            case ProcKind::Sub:
            case ProcKind::Function: place = &m.method; break;
            case ProcKind::PropertyGet: place = &m.get; break;
            case ProcKind::PropertyLet: place = &m.let; break;
            case ProcKind::PropertySet: place = &m.set; break;
            }
            if (*place || m.field >= 0 || (m.method && proc->kind != ProcKind::Sub && proc->kind != ProcKind::Function) ||
                ((m.get || m.let || m.set) && (proc->kind == ProcKind::Sub || proc->kind == ProcKind::Function)))
                nameRedefined(proc->line, proc->column);
            *place = proc.get();
            m.isPublic = proc->isPublic;
            if (proc->isDefault) {
                if (info->defaultMember >= 0 && info->defaultMember != info->find(proc->name))
                    nameRedefined(proc->line, proc->column);
                info->defaultMember = info->find(proc->name);
            }
            if (proc->kind == ProcKind::Sub && proc->name.compare(QLatin1String("Class_Initialize"), Qt::CaseInsensitive) == 0)
                info->initialize = proc.get();
            if (proc->kind == ProcKind::Sub && proc->name.compare(QLatin1String("Class_Terminate"), Qt::CaseInsensitive) == 0)
                info->terminate = proc.get();
        }
        info->program = m_programRef;
        const QString key = decl.name.toCaseFolded();
        auto it = m_globals.names.find(key);
        if (it != m_globals.names.end() && it->kind != GlobalName::Kind::Class)
            nameRedefined(decl.line, decl.column);
        m_globals.names.insert(key, GlobalName{GlobalName::Kind::Class, -1, nullptr});
        m_globals.classes.insert(key, info);
        return info;
    }

    void bindProcedure(Procedure &proc, ClassInfo *cls)
    {
        proc.program = &m_program;
        proc.localSlots.clear();
        proc.slotCount = 1;
        if (proc.returnsValue())
            proc.localSlots.insert(proc.name.toCaseFolded(), 0);
        for (const Param &p : proc.params) {
            const QString key = p.name.toCaseFolded();
            if (proc.localSlots.contains(key) && proc.localSlots.value(key) != 0)
                nameRedefined(proc.line, proc.column);
            proc.localSlots.insert(key, proc.slotCount++);
        }
        proc.fixedSlots.clear();
        declareLocals(proc, proc.body, cls);
        m_procedure = &proc;
        m_class = cls;
        m_newLocals = true;
        bindBlock(proc.body);
    }

    // Dim declares a local; ReDim does too unless the name is a global or a
    // variable of the object.
    void declareLocals(Procedure &proc, const Block &block, ClassInfo *cls)
    {
        for (const StmtPtr &s : block) {
            for (const DimItem &d : s->dims) {
                const QString key = d.target->name.toCaseFolded();
                auto slot = proc.localSlots.constFind(key);
                if (slot == proc.localSlots.cend()) {
                    if (s->kind == StmtKind::ReDim) {
                        auto global = m_globals.names.constFind(key);
                        if ((global != m_globals.names.cend() && global->kind == GlobalName::Kind::Variable) ||
                            (cls && cls->find(key) >= 0))
                            continue;
                    }
                    slot = proc.localSlots.insert(key, proc.slotCount++);
                }
                // `Dim a(3)` declares an array of a fixed size.
                if (s->kind == StmtKind::Dim && !d.bounds.empty())
                    proc.fixedSlots.insert(*slot);
            }
            for (const auto &branch : s->branches)
                declareLocals(proc, branch.second, cls);
            for (const CaseClause &c : s->cases)
                declareLocals(proc, c.body, cls);
            declareLocals(proc, s->body, cls);
            declareLocals(proc, s->elseBody, cls);
        }
    }

    void bindBlock(Block &block)
    {
        for (StmtPtr &s : block)
            bindStatement(*s);
    }

    void bindStatement(Stmt &s)
    {
        if (s.target) {
            if (s.kind == StmtKind::Call && s.target->kind == ExprKind::Call)
                bindCallee(*s.target);
            else if (s.target->kind == ExprKind::Name)
                bindName(*s.target, false);
            else
                bindExpr(*s.target);
        }
        for (ExprPtr *e : {&s.value, &s.limit, &s.step})
            if (*e)
                bindExpr(**e);
        for (DimItem &d : s.dims) {
            bindName(*d.target, false);
            for (ExprPtr &b : d.bounds)
                bindExpr(*b);
            d.fixedTarget = s.kind == StmtKind::ReDim && isFixedArray(*d.target);
        }
        if (s.kind == StmtKind::Erase && s.target)
            s.fixedArray = isFixedArray(*s.target);
        for (auto &branch : s.branches) {
            bindExpr(*branch.first);
            bindBlock(branch.second);
        }
        for (CaseClause &c : s.cases) {
            for (CaseItem &item : c.items) {
                bindExpr(*item.from);
                if (item.to)
                    bindExpr(*item.to);
            }
            bindBlock(c.body);
        }
        bindBlock(s.body);
        bindBlock(s.elseBody);
        // `s = s & x`: the text can grow where it is.
        if (s.kind == StmtKind::Assign && s.target->kind == ExprKind::Name && s.value->kind == ExprKind::Binary &&
            s.value->op == Op::Concat && s.value->left->kind == ExprKind::Name &&
            s.value->left->binding == s.target->binding && s.value->left->index == s.target->index &&
            (s.target->binding == Binding::Local || s.target->binding == Binding::Global ||
             s.target->binding == Binding::Field) &&
            !s.target->readOnly)
            s.appendInPlace = true;
    }

    static void setAccess(Expr &e)
    {
        if (e.kind == ExprKind::Literal) {
            e.access = Access::Value;
            return;
        }
        if (e.kind != ExprKind::Name)
            return;
        switch (e.binding) {
        case Binding::Constant: e.access = Access::Value; break;
        case Binding::Local: e.access = Access::Local; break;
        case Binding::Global: e.access = Access::Global; break;
        case Binding::Field: e.access = Access::Field; break;
        default: e.access = Access::None; break;
        }
    }

    void bindExpr(Expr &e)
    {
        switch (e.kind) {
        case ExprKind::Literal:
            setAccess(e);
            break;
        case ExprKind::Name:
            bindName(e, false);
            if (isProcedureOnly(e))
                e.builtin = &kProcedureReadAsValue;
            break;
        case ExprKind::Call:
            bindCallee(e);
            if (isProcedureOnly(*e.left))
                e.left->builtin = &kProcedureReadAsValue;
            return;
        default:
            if (e.left)
                bindExpr(*e.left);
            break;
        }
        if (e.right)
            bindExpr(*e.right);
        for (ExprPtr &a : e.args)
            bindExpr(*a);
    }

    // A call's target and arguments, as a statement or inside an expression.
    void bindCallee(Expr &e)
    {
        if (e.left->kind == ExprKind::Name)
            bindName(*e.left, e.hasParens && !e.args.empty());
        else
            bindExpr(*e.left);
        for (ExprPtr &a : e.args)
            bindExpr(*a);
    }

    void bindName(Expr &e, bool calledWithArguments)
    {
        bindNameOnly(e, calledWithArguments);
        setAccess(e);
    }

    void bindNameOnly(Expr &e, bool calledWithArguments)
    {
        const QString key = e.name.toCaseFolded();
        if (m_procedure) {
            // Inside a Function its name with arguments is a call to itself,
            // without them the variable holding its result.
            const bool self = calledWithArguments && m_procedure->returnsValue() &&
                              key == m_procedure->name.toCaseFolded();
            if (!self) {
                auto slot = m_procedure->localSlots.constFind(key);
                if (slot != m_procedure->localSlots.cend()) {
                    e.binding = Binding::Local;
                    e.index = *slot;
                    return;
                }
                auto constant = m_procedure->constants.constFind(key);
                if (constant != m_procedure->constants.cend()) {
                    e.binding = Binding::Constant;
                    e.value = *constant;
                    e.readOnly = true;
                    return;
                }
            }
        }
        if (m_class) {
            const int m = m_class->find(key);
            if (m >= 0) {
                const ClassMember &member = m_class->members[m];
                e.binding = member.field >= 0 ? Binding::Field : Binding::Member;
                e.index = member.field >= 0 ? member.field : m;
                return;
            }
        }
        auto global = m_globals.names.constFind(key);
        if (global != m_globals.names.cend()) {
            switch (global->kind) {
            case GlobalName::Kind::Variable:
                e.binding = Binding::Global;
                e.index = global->slot;
                e.global = &m_globals.values[global->slot];
                e.readOnly = m_globals.readOnly[global->slot];
                return;
            case GlobalName::Kind::Procedure:
                e.binding = Binding::Procedure;
                e.procedure = global->procedure;
                return;
            case GlobalName::Kind::Class:
                e.binding = Binding::Undefined;
                return;
            }
        }
        auto registered = m_globals.functions.constFind(key);
        if (registered != m_globals.functions.cend()) {
            e.binding = Binding::Function;
            e.builtin = registered->get();
            e.mayRunCode = true;
            return;
        }
        for (const auto &[name, intrinsic] : kIntrinsics) {
            if (key == QLatin1String(name)) {
                e.binding = Binding::Intrinsic;
                e.intrinsic = intrinsic;
                return;
            }
        }
        if (const BuiltinInfo *builtin = findBuiltin(e.name)) {
            e.binding = Binding::Function;
            e.builtin = builtin;
            e.mayRunCode = qstricmp(builtin->name, "MsgBox") == 0 || qstricmp(builtin->name, "InputBox") == 0;
            e.readsDefaults = !takesObjects(*builtin);
            return;
        }
        if (const Variant *constant = findConstant(e.name)) {
            e.binding = Binding::Constant;
            e.value = *constant;
            e.readOnly = true;
            return;
        }
        if (m_program.optionExplicit) {
            e.binding = Binding::Undefined;
            return;
        }
        if (m_procedure && m_newLocals) {
            e.binding = Binding::Local;
            e.index = m_procedure->slotCount++;
            m_procedure->localSlots.insert(key, e.index);
            return;
        }
        e.binding = Binding::Dynamic;
    }

    std::shared_ptr<Program> m_programRef;
    Program &m_program;
    Globals &m_globals;
    Procedure *m_scope;
    Procedure *m_procedure = nullptr;
    ClassInfo *m_class = nullptr;
    bool m_newLocals = false;
};

} // namespace

Status bindProgram(const std::shared_ptr<Program> &program, Globals &globals, Procedure *scope)
{
    try {
        Resolver(program, globals, scope).run();
    } catch (const CompileFailure &f) {
        return f.error;
    }
    return {};
}

} // namespace sorvane::vb

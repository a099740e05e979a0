#include "scripting/vbscript/VbInterpreter.h"

#include "core/HostObject.h"
#include "scripting/objects/ObjectFactory.h"
#include "scripting/vbscript/VbInstance.h"
#include "scripting/vbscript/VbOperators.h"
#include "scripting/vbscript/VbParser.h"
#include "scripting/vbscript/VbResolver.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstring>
#include <utility>

namespace sorvane::vb {

// Nested calls a script may make before error 28, and the native stack a
// run may use: whichever comes first ends a runaway recursion while the
// thread's stack (8 MB on the program's thread) still has room.
constexpr int kMaxCallDepth = 1000;
#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's red zones make every frame several times larger.
constexpr std::uintptr_t kStackBudget = 6 * 1024 * 1024;
#else
constexpr std::uintptr_t kStackBudget = 3 * 1024 * 1024;
#endif
// The most elements an array may have; larger requests are error 7.
constexpr qsizetype kMaxArrayElements = 1 << 22;

namespace {

struct Raised {
    ScriptError error;
    bool fatal = false;
};

[[noreturn]] void raise(ErrorNumber number)
{
    throw Raised{scriptError(number)};
}

[[noreturn]] void raise(ScriptError error)
{
    throw Raised{std::move(error)};
}

template <typename T>
Q_ALWAYS_INLINE T check(Result<T> &&result)
{
    if (!result)
        raise(result.error());
    return std::move(*result);
}

ScriptError stopped()
{
    return scriptError(ErrorNumber::ExceptionNotCaught, QStringLiteral("The script ran for too long and was stopped"));
}

// Replaces a stored value so that the old one (maybe the last reference to
// an object whose Class_Terminate runs script) goes only once the slot holds
// the new one.
void store(Variant &slot, Variant value)
{
    Variant old = std::exchange(slot, std::move(value));
}

Q_ALWAYS_INLINE Variant fitted(qint64 value, bool small)
{
    if (small && value >= -32768 && value <= 32767)
        return Variant::fromInteger(qint16(value));
    if (value >= INT32_MIN && value <= INT32_MAX)
        return Variant::fromLong(qint32(value));
    return Variant::fromDouble(double(value));
}

using Kind = Variant::Kind;

bool isWhole(Kind k)
{
    return k == Kind::Integer || k == Kind::Long;
}

qint64 wholeOf(const Variant &v)
{
    return v.kind() == Kind::Integer ? v.integerValue() : v.longValue();
}

// Integer, Long or Double: the kinds whose arithmetic has a short way.
bool isPlainNumber(Kind k)
{
    return k == Kind::Integer || k == Kind::Long || k == Kind::Double;
}

double plainNumberOf(const Variant &v)
{
    switch (v.kind()) {
    case Kind::Integer: return v.integerValue();
    case Kind::Long: return v.longValue();
    default: return v.doubleValue();
    }
}

// A whole number's text (what toString() gives for Integer and Long),
// written at the end of `digits`; its length.
struct WholeText {
    char16_t digits[24];
    int length = 0;
    explicit WholeText(qint64 value)
    {
        int at = 24;
        quint64 rest = value < 0 ? 0 - quint64(value) : quint64(value);
        do {
            digits[--at] = char16_t(u'0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (value < 0)
            digits[--at] = u'-';
        length = 24 - at;
    }
    const char16_t *begin() const { return digits + 24 - length; }
};

void appendWhole(QString &text, qint64 value)
{
    const WholeText number(value);
    text.append(reinterpret_cast<const QChar *>(number.begin()), number.length);
}

// Two texts joined, in one allocation of the exact size.
QString joined(QStringView a, QStringView b)
{
    QString r(a.size() + b.size(), Qt::Uninitialized);
    QChar *out = r.data();
    // An empty view may have no data at all, which memcpy must not be given.
    if (!a.isEmpty())
        std::memcpy(static_cast<void *>(out), a.data(), size_t(a.size()) * sizeof(QChar));
    if (!b.isEmpty())
        std::memcpy(static_cast<void *>(out + a.size()), b.data(), size_t(b.size()) * sizeof(QChar));
    return r;
}

// The longest text appendWhole() adds.
constexpr qsizetype kMaxWholeLength = 11;

// A condition's truth, with Boolean (what comparisons give) the short way.
bool truthOf(const Variant &v)
{
    if (v.kind() == Kind::Boolean)
        return v.boolValue();
    return check(isTrue(v));
}

bool isLiteral(const Expr &e)
{
    return e.kind == ExprKind::Literal || (e.kind == ExprKind::Name && e.binding == Binding::Constant);
}

// A conversion function's value is all it does; called as a procedure, its
// result has nowhere to go, which the platform reports as error 458.
bool isConversionCall(const Expr &call)
{
    if (call.kind != ExprKind::Call || call.left->kind != ExprKind::Name || call.left->binding != Binding::Function ||
        !call.left->builtin)
        return false;
    static const char *const conversions[] = {"CBool", "CByte", "CCur", "CDate", "CDbl",
                                              "CInt",  "CLng",  "CSng", "CStr"};
    const char *name = call.left->builtin->name;
    return std::any_of(std::begin(conversions), std::end(conversions),
                       [name](const char *c) { return qstricmp(name, c) == 0; });
}

bool blocksForTheUser(const BuiltinInfo &info)
{
    return qstricmp(info.name, "MsgBox") == 0 || qstricmp(info.name, "InputBox") == 0;
}

// A procedure handed out by GetRef: calling its default member calls it.
class ProcedureRef : public DispatchObject {
public:
    ProcedureRef(std::weak_ptr<Interpreter> engine, Procedure *procedure)
        : m_engine(std::move(engine)), m_procedure(procedure)
    {
    }
    QString typeName() const override { return QStringLiteral("Object"); }
    Result<Variant> invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &) override
    {
        if (!name.isEmpty() || kind != CallKind::Get)
            return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
        auto engine = m_engine.lock();
        if (!engine)
            return scriptError(ErrorNumber::ObjectRequired);
        return engine->invokeProcedure(*m_procedure, args);
    }
    std::optional<MemberInfo> member(const QString &name) const override
    {
        if (!name.isEmpty())
            return std::nullopt;
        return MemberInfo{MemberKind::Method, int(m_procedure->params.size()), int(m_procedure->params.size())};
    }

private:
    std::weak_ptr<Interpreter> m_engine;
    Procedure *m_procedure;
};

VbInstance *asInstance(const Variant &value, const Interpreter *engine)
{
    if (!value.isObject())
        return nullptr;
    // The host object met last is remembered, so loops calling one host
    // object skip the type check; while it lives no other object can have
    // its address.
    thread_local const DispatchObject *lastHost = nullptr;
    thread_local std::weak_ptr<DispatchObject> lastHostAlive;
    const std::shared_ptr<DispatchObject> &object = value.objectValue();
    if (object.get() == lastHost && !lastHostAlive.expired())
        return nullptr;
    auto *instance = dynamic_cast<VbInstance *>(object.get());
    if (!instance) {
        lastHost = object.get();
        lastHostAlive = object;
        return nullptr;
    }
    return instance->engine() == engine ? instance : nullptr;
}

} // namespace

struct Frame {
    Program *program = nullptr;
    Procedure *procedure = nullptr;
    Variant **localSlots = nullptr;
    VbInstance *me = nullptr;
    bool resumeNext = false;
    std::vector<Variant> with;
};

struct ArrayWriteBack {
    Variant *array;
    qsizetype offset;
    int slot;
};

struct CallSetup {
    std::vector<Variant> storage;
    std::vector<Variant *> localSlots;
    std::vector<ArrayWriteBack> writeBacks;

    explicit CallSetup(int count) : storage(count), localSlots(count)
    {
        for (int i = 0; i < count; ++i)
            localSlots[i] = &storage[i];
    }
};

// A call's argument values in a list kept from earlier calls (one per
// depth of nested calls and count of arguments), so that a call allocates
// none; the values go when the call is done, as the list's would.
//
// A built-in of the language reads its arguments and runs no script code,
// so a text or array stored in a variable or literal is lent to it instead
// of copied (no reference count taken). Until the call, script code that
// reading a later argument runs could change the lender: just before any
// runs, lent values take references of their own (adopt). A callee that
// keeps the list (Array) makes its lent values take references too.
class Interpreter::ArgumentList {
public:
    ArgumentList(Interpreter &engine, size_t count)
        : m_engine(engine),
          m_values(engine.m_argumentDepth < kArgumentDepths
                       ? &engine.m_argumentLists[engine.m_argumentDepth][std::min(count, kArgumentCounts - 1)]
                       : &m_own)
    {
        ++engine.m_argumentDepth;
    }
    Q_ALWAYS_INLINE ~ArgumentList()
    {
        stopLending();
        if (!m_values->isDetached()) {
            // Kept by the callee.
            adopt();
            *m_values = QVector<Variant>();
        } else {
            // The values go; the list keeps its length, for the next call
            // of as many arguments to skip resizing it.
            const qsizetype n = m_values->size();
            Variant *v = const_cast<Variant *>(m_values->constData()); // not shared: checked above
            for (qsizetype i = 0; i < n; ++i) {
                if (v[i].kind() < Kind::String)
                    continue; // numbers need no letting go
                if (i < 64 && (m_lent >> i & 1))
                    v[i].forget();
                else
                    v[i] = Variant();
            }
            if (m_values->capacity() > 16)
                *m_values = QVector<Variant>(); // a long list is not kept
        }
        --m_engine.m_argumentDepth;
    }
    ArgumentList(const ArgumentList &) = delete;
    ArgumentList &operator=(const ArgumentList &) = delete;
    QVector<Variant> &values() { return *m_values; }

    // Lending is open while the arguments are read.
    void startLending()
    {
        m_outer = m_engine.m_lending;
        m_engine.m_lending = this;
        m_lending = true;
    }
    void stopLending()
    {
        if (!m_lending)
            return;
        m_lending = false;
        m_engine.m_lending = m_outer;
    }
    bool mayLend(qsizetype i) const { return m_lending && i < 64; }
    void lent(qsizetype i) { m_lent |= quint64(1) << i; }
    ArgumentList *outer() const { return m_outer; }

    // Lent values take references of their own.
    void adopt()
    {
        for (qsizetype i = 0; m_lent != 0; ++i) {
            if (m_lent >> i & 1) {
                Variant extra(std::as_const(*m_values).at(i)); // one reference more,
                extra.forget();                                // held by the list
                m_lent &= ~(quint64(1) << i);
            }
        }
    }

private:
    Interpreter &m_engine;
    QVector<Variant> m_own;
    QVector<Variant> *m_values;
    ArgumentList *m_outer = nullptr;
    quint64 m_lent = 0; // bit i: value i is lent
    bool m_lending = false;
};

// `s = s & x` appends to the text where it is, which is exact only while
// nothing reached when reading x changes s. Script code might (a procedure,
// a property, a host object calling back); just before any runs, each guard
// open keeps the text as it was, and its statement then joins that instead.
struct Interpreter::AppendGuard {
    Variant *slot;
    AppendGuard *outer;
    QString before;
    bool kept = false;
};

void Interpreter::beforeCodeRuns()
{
    for (AppendGuard *g = m_appendGuard; g && !g->kept; g = g->outer) {
        g->before = g->slot->stringValue();
        g->kept = true;
    }
    m_appendGuard = nullptr;
    for (ArgumentList *list = m_lending; list; list = list->outer())
        list->adopt();
}

Interpreter::Interpreter(BuiltinContext builtinContext)
    : context(std::move(builtinContext)), m_err(std::make_shared<VbErrObject>())
{
    globals.addVariable(QStringLiteral("Err"), Variant::fromObject(m_err), true);
}

Interpreter::~Interpreter()
{
    closing = true;
    globals.values.clear();
}

// --- running code ---

Status Interpreter::guarded(const std::function<void()> &work)
{
    try {
        work();
    } catch (Raised &r) {
        if (r.error.source.isEmpty())
            r.error.source = QString::fromUtf8(kRuntimeErrorSource);
        return r.error;
    }
    return {};
}

namespace {

ScriptError compileFailure(ScriptError e, const QString &code)
{
    e.source = QString::fromUtf8(kCompileErrorSource);
    const QStringList lines = code.split(QLatin1Char('\n'));
    if (e.line >= 1 && e.line <= lines.size()) {
        e.text = lines[e.line - 1];
        if (e.text.endsWith(QLatin1Char('\r')))
            e.text.chop(1);
    }
    return e;
}

} // namespace

Result<std::shared_ptr<Program>> Interpreter::load(const QString &code, bool expression)
{
    Result<std::shared_ptr<Program>> parsed = expression ? parseExpression(code) : parseProgram(code);
    if (!parsed)
        return compileFailure(parsed.error(), code);
    if (Status s = bindProgram(*parsed, globals); !s)
        return compileFailure(s.error(), code);
    m_programs.push_back(*parsed);
    return parsed;
}

Status Interpreter::execute(const QString &code)
{
    Result<std::shared_ptr<Program>> loaded = load(code, false);
    if (!loaded)
        return loaded.error();
    const std::shared_ptr<Program> program = *loaded;
    resetSteps();
    return guarded([&] {
        enter();
        struct Leave {
            int &depth;
            ~Leave() { --depth; }
        } leave{m_depth};
        Frame top;
        top.program = program.get();
        runBlock(program->statements, top);
    });
}

Result<Variant> Interpreter::evaluate(const QString &code)
{
    Result<std::shared_ptr<Program>> loaded = load(code, true);
    if (!loaded)
        return loaded.error();
    const std::shared_ptr<Program> program = *loaded;
    Variant result;
    Status s = guarded([&] {
        Frame top;
        top.program = program.get();
        result = eval(*program->statements.front()->value, top);
    });
    if (!s)
        return s.error();
    return result;
}

std::shared_ptr<Program> Interpreter::compile(const QString &code, bool expression, Procedure *scope,
                                              bool optionExplicit)
{
    Result<std::shared_ptr<Program>> parsed = expression ? parseExpression(code) : parseProgram(code);
    if (parsed && optionExplicit)
        (*parsed)->optionExplicit = true;
    auto fail = [](ScriptError e) {
        // Reported at the statement that gave the code.
        e.line = 0;
        e.column = 0;
        e.source = QString::fromUtf8(kCompileErrorSource);
        raise(e);
    };
    if (!parsed)
        fail(parsed.error());
    if (Status s = bindProgram(*parsed, globals, scope); !s)
        fail(s.error());
    m_programs.push_back(*parsed);
    return *parsed;
}

Result<Variant> Interpreter::invokeInstance(VbInstance &object, const QString &name, CallKind kind,
                                            QVector<Variant> &args, const Variant &value)
{
    Variant result;
    Status s = guarded([&] {
        const ClassInfo &info = object.classInfo();
        const int m = name.isEmpty() ? info.defaultMember : info.find(name);
        if (m < 0 || !info.members[m].isPublic)
            raise(ErrorNumber::NoSuchPropertyOrMethod);
        const ClassMember &member = info.members[m];
        Frame outside;
        if (kind != CallKind::Get) {
            assignInstance(object, m, args, value, kind == CallKind::Set, outside);
            return;
        }
        if (member.field >= 0) {
            result = args.isEmpty() ? object.fields[member.field]
                                    : check(sorvane::indexValue(object.fields[member.field], args));
            return;
        }
        Procedure *p = member.method ? member.method : member.get;
        if (!p)
            raise(ErrorNumber::WrongArgumentCount);
        if (!args.isEmpty() && p->params.empty()) {
            QVector<Variant> none;
            Variant whole = callWithValues(*p, none, &object);
            result = check(sorvane::indexValue(whole, args));
            return;
        }
        result = callWithValues(*p, args, &object);
    });
    if (!s)
        return s.error();
    return result;
}

Result<Variant> Interpreter::invokeProcedure(Procedure &procedure, QVector<Variant> &args)
{
    Variant result;
    Status s = guarded([&] { result = callWithValues(procedure, args, nullptr); });
    if (!s)
        return s.error();
    return result;
}

void Interpreter::terminate(VbInstance &object)
{
    if (closing || !object.classInfo().terminate)
        return;
    try {
        QVector<Variant> none;
        callWithValues(*object.classInfo().terminate, none, &object);
    } catch (const Raised &) {
        // An object going away has no one left to tell.
    }
}

void Interpreter::resetSteps()
{
    m_steps = 0;
    m_stretch = 0;
    m_countdown = 0;
}

void Interpreter::stepSlowly()
{
    // The stretch is used up and this is the statement after it.
    m_steps += m_stretch + 1;
    m_stretch = 0;
    m_countdown = 0; // once stopped, every later statement comes here again
    if (interrupted.load(std::memory_order_relaxed))
        throw Raised{stopped(), true};
    if (stepLimit > 0 && m_steps > stepLimit) {
        interrupted = true;
        throw Raised{stopped(), true};
    }
    // An interrupt from another thread is seen within this many statements.
    constexpr qint64 kStretch = 256;
    m_stretch = stepLimit > 0 ? std::min(kStretch, stepLimit - m_steps) : kStretch;
    m_countdown = m_stretch;
}

// --- statements ---

Interpreter::Flow Interpreter::runBlock(const Block &block, Frame &frame)
{
    for (const StmtPtr &s : block) {
        try {
            const Flow flow = run(*s, frame);
            if (flow != Flow::Normal)
                return flow;
        } catch (Raised &r) {
            if (r.error.line == 0) {
                r.error.line = s->line;
                r.error.column = s->column;
                if (frame.program && s->line >= 1 && s->line <= frame.program->lines.size())
                    r.error.text = frame.program->lines[s->line - 1];
                if (r.error.source.isEmpty())
                    r.error.source = QString::fromUtf8(kRuntimeErrorSource);
            }
            if (frame.resumeNext && !r.fatal) {
                m_err->record(r.error);
                continue;
            }
            throw;
        }
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::run(const Stmt &s, Frame &frame)
{
    step();
    if (s.kind == StmtKind::Assign) {
        runAssign(s, frame);
        return Flow::Normal;
    }
    return runOther(s, frame);
}

void Interpreter::runAssign(const Stmt &s, Frame &frame)
{
    if (s.appendInPlace) {
        appendInPlace(s, frame);
        return;
    }
    const Expr &target = *s.target;
    const Expr &value = *s.value;
    if (target.kind == ExprKind::Name && target.binding == Binding::Local) {
        Variant v = operandValue(value, frame);
        *frame.localSlots[target.index] = std::move(v); // an old value goes once the new one is in
        return;
    }
    if (target.kind == ExprKind::Name && target.binding == Binding::Global && !target.readOnly) {
        Variant v = operandValue(value, frame);
        if (!globals.readOnly[target.index]) {
            *target.global = std::move(v);
            return;
        }
        assign(target, std::move(v), false, frame);
        return;
    }
    assign(target, valueOf(*s.value, frame), false, frame);
}

Interpreter::Flow Interpreter::runOther(const Stmt &s, Frame &frame)
{
    switch (s.kind) {
    case StmtKind::Assign:
        runAssign(s, frame);
        return Flow::Normal;
    case StmtKind::Call:
        if (isConversionCall(*s.target))
            raise(ErrorNumber::UnsupportedAutomationType);
        evalCall(*s.target, frame);
        return Flow::Normal;
    case StmtKind::Set: {
        Variant v = eval(*s.value, frame);
        if (!v.isObject())
            raise(ErrorNumber::ObjectRequired);
        assign(*s.target, std::move(v), true, frame);
        return Flow::Normal;
    }
    case StmtKind::Dim:
    case StmtKind::ReDim:
        runDim(s, frame);
        return Flow::Normal;
    case StmtKind::If:
        for (const auto &[condition, body] : s.branches)
            if (truthOf(operandValue(*condition, frame)))
                return runBlock(body, frame);
        return s.hasElse ? runBlock(s.elseBody, frame) : Flow::Normal;
    case StmtKind::Select: {
        const Variant v = valueOf(*s.value, frame);
        for (const CaseClause &clause : s.cases)
            if (caseMatches(clause, v, s, frame))
                return runBlock(clause.body, frame);
        return s.hasElse ? runBlock(s.elseBody, frame) : Flow::Normal;
    }
    case StmtKind::For:
        return runFor(s, frame);
    case StmtKind::ForEach:
        return runForEach(s, frame);
    case StmtKind::Do:
    case StmtKind::While:
        return runLoop(s, frame);
    case StmtKind::Exit:
        switch (s.exit) {
        case ExitKind::For: return Flow::ExitFor;
        case ExitKind::Do: return Flow::ExitDo;
        default: return Flow::ExitProcedure;
        }
    case StmtKind::OnErrorResume:
        frame.resumeNext = true;
        m_err->clear();
        return Flow::Normal;
    case StmtKind::OnErrorGoto0:
        frame.resumeNext = false;
        m_err->clear();
        return Flow::Normal;
    case StmtKind::With: {
        frame.with.push_back(eval(*s.value, frame));
        struct Pop {
            std::vector<Variant> &with;
            ~Pop() { with.pop_back(); }
        } pop{frame.with};
        return runBlock(s.body, frame);
    }
    case StmtKind::Erase: {
        Variant *v = variableRef(*s.target, frame);
        if (!v || !v->isArray())
            raise(ErrorNumber::TypeMismatch);
        VariantArray emptied;
        if (s.fixedArray) {
            // Its size stays; its elements go back to Empty.
            emptied.bounds = v->arrayValue().bounds;
            emptied.items.resize(v->arrayValue().items.size());
        }
        store(*v, Variant::fromArray(std::move(emptied)));
        return Flow::Normal;
    }
    case StmtKind::Nothing:
        return Flow::Normal;
    }
    return Flow::Normal;
}

bool Interpreter::caseMatches(const CaseClause &clause, const Variant &value, const Stmt &s, Frame &frame)
{
    const bool valueLiteral = isLiteral(*s.value);
    for (const CaseItem &item : clause.items) {
        const Variant from = valueOf(*item.from, frame);
        if (item.to) {
            const Variant to = valueOf(*item.to, frame);
            const Variant low = check(applyComparison(Op::Ge, value, from, valueLiteral, isLiteral(*item.from)));
            const Variant high = check(applyComparison(Op::Le, value, to, valueLiteral, isLiteral(*item.to)));
            if (check(isTrue(low)) && check(isTrue(high)))
                return true;
            continue;
        }
        const Variant r = check(applyComparison(item.compare, value, from, valueLiteral, isLiteral(*item.from)));
        if (check(isTrue(r)))
            return true;
    }
    return false;
}

Interpreter::Flow Interpreter::runFor(const Stmt &s, Frame &frame)
{
    Variant *counter = variableRef(*s.target, frame);
    if (!counter)
        raise(s.target->binding == Binding::Undefined ? ErrorNumber::VariableUndefined : ErrorNumber::TypeMismatch);
    const Variant start = valueOf(*s.value, frame);
    const Variant limitValue = valueOf(*s.limit, frame);
    const Variant stepValue = s.step ? valueOf(*s.step, frame) : Variant::fromInteger(1);
    check(start.toDouble());
    const double limit = check(limitValue.toDouble());
    const double stepBy = check(stepValue.toDouble());
    store(*counter, start.isString() ? Variant::fromDouble(*start.toDouble()) : start);
    for (;;) {
        const Variant &c = *counter;
        double current = 0;
        switch (c.kind()) {
        case Variant::Kind::Integer: current = c.integerValue(); break;
        case Variant::Kind::Long: current = c.longValue(); break;
        case Variant::Kind::Double: current = c.doubleValue(); break;
        default: current = check(c.toDouble()); break;
        }
        if (stepBy >= 0 ? current > limit : current < limit)
            break;
        const Flow flow = runBlock(s.body, frame);
        if (flow == Flow::ExitFor)
            break;
        if (flow != Flow::Normal)
            return flow;
        step();
        Variant &next = *counter;
        const Variant::Kind k = next.kind(), sk = stepValue.kind();
        if ((k == Variant::Kind::Integer || k == Variant::Kind::Long) &&
            (sk == Variant::Kind::Integer || sk == Variant::Kind::Long)) {
            const qint64 a = k == Variant::Kind::Integer ? next.integerValue() : next.longValue();
            const qint64 b = sk == Variant::Kind::Integer ? stepValue.integerValue() : stepValue.longValue();
            next = fitted(a + b, k == Variant::Kind::Integer && sk == Variant::Kind::Integer);
        } else {
            store(next, check(applyBinary(Op::Add, next, stepValue)));
        }
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::runForEach(const Stmt &s, Frame &frame)
{
    const Variant collection = eval(*s.value, frame);
    QVector<Variant> items;
    if (collection.isArray()) {
        items = collection.arrayValue().items;
    } else if (collection.isObject()) {
        if (collection.isNothing())
            raise(ErrorNumber::ObjectRequired);
        if (asInstance(collection, this))
            raise(ErrorNumber::ObjectNotACollection);
        if (hostCallHook)
            hostCallHook(true);
        Result<QVector<Variant>> elements = collection.objectValue()->elements();
        if (hostCallHook)
            hostCallHook(false);
        items = check(std::move(elements));
    } else {
        raise(ErrorNumber::ObjectNotACollection);
    }
    for (const Variant &item : items) {
        if (Variant *v = variableRef(*s.target, frame))
            store(*v, item);
        else
            assign(*s.target, item, item.isObject(), frame);
        const Flow flow = runBlock(s.body, frame);
        if (flow == Flow::ExitFor)
            return Flow::Normal;
        if (flow != Flow::Normal)
            return flow;
        step();
    }
    // A collection's walk, run to its end, leaves the variable Empty.
    if (collection.isObject()) {
        if (Variant *v = variableRef(*s.target, frame))
            store(*v, Variant());
        else
            assign(*s.target, Variant(), false, frame);
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::runLoop(const Stmt &s, Frame &frame)
{
    auto done = [&] {
        const bool c = check(isTrue(valueOf(*s.value, frame)));
        return s.until ? c : !c;
    };
    for (;;) {
        if (s.value && s.testAtTop && done())
            break;
        const Flow flow = runBlock(s.body, frame);
        if (s.kind == StmtKind::Do && flow == Flow::ExitDo)
            break;
        if (flow != Flow::Normal)
            return flow;
        if (s.value && !s.testAtTop && done())
            break;
        step();
    }
    return Flow::Normal;
}

void Interpreter::runDim(const Stmt &s, Frame &frame)
{
    for (const DimItem &item : s.dims) {
        if (!item.isArray)
            continue;
        if (item.fixedTarget)
            raise(ErrorNumber::ArrayFixedOrLocked);
        VariantArray array;
        qsizetype total = 1;
        for (const ExprPtr &b : item.bounds) {
            const qint32 upper = check(valueOf(*b, frame).toLong());
            if (upper < -1)
                raise(ErrorNumber::SubscriptOutOfRange);
            array.bounds.append(ArrayBound{0, upper});
            total *= qsizetype(upper) + 1;
            if (total > kMaxArrayElements)
                raise(ErrorNumber::OutOfMemory);
        }
        if (array.bounds.isEmpty())
            total = 0;
        array.items.resize(total);
        Variant *v = variableRef(*item.target, frame);
        if (!v)
            raise(item.target->binding == Binding::Undefined ? ErrorNumber::VariableUndefined
                                                              : ErrorNumber::IllegalAssignment);
        if (s.kind == StmtKind::ReDim && s.preserve && v->isArray() && !v->arrayValue().bounds.isEmpty()) {
            const VariantArray &old = v->arrayValue();
            if (old.bounds.size() != array.bounds.size())
                raise(ErrorNumber::SubscriptOutOfRange);
            // Preserve may resize the last dimension only.
            for (int d = 0; d + 1 < old.bounds.size(); ++d)
                if (old.bounds[d].lower != array.bounds[d].lower || old.bounds[d].upper != array.bounds[d].upper)
                    raise(ErrorNumber::SubscriptOutOfRange);
            // Every old element whose indexes still exist keeps its value.
            QVector<qint32> indexes(old.bounds.size());
            for (qsizetype offset = 0; offset < old.items.size(); ++offset) {
                qsizetype rest = offset;
                for (int d = 0; d < old.bounds.size(); ++d) {
                    indexes[d] = qint32(rest % old.bounds[d].count()) + old.bounds[d].lower;
                    rest /= old.bounds[d].count();
                }
                const qsizetype to = array.offsetOf(indexes);
                if (to >= 0)
                    array.items[to] = old.items[offset];
            }
        }
        store(*v, Variant::fromArray(std::move(array)));
    }
}

// --- expressions ---

Variant Interpreter::eval(const Expr &e, Frame &frame)
{
    // The common kinds here, the rest in functions of their own, so this
    // one needs no frame of its own.
    switch (e.kind) {
    case ExprKind::Literal:
        return e.value;
    case ExprKind::Name:
        if (e.binding == Binding::Local)
            return *frame.localSlots[e.index];
        if (e.binding == Binding::Global)
            return *e.global;
        return evalName(e, frame);
    case ExprKind::Call:
        // A built-in function, the most common call, straight.
        if (e.left->binding == Binding::Function && e.left->kind == ExprKind::Name)
            return callFunction(*e.left, e.args, frame);
        return evalCall(e, frame);
    case ExprKind::Binary:
        return evalBinary(e, frame);
    case ExprKind::Paren:
        return eval(*e.left, frame);
    default:
        return evalOther(e, frame);
    }
}

Variant Interpreter::evalOther(const Expr &e, Frame &frame)
{
    switch (e.kind) {
    case ExprKind::Literal:
    case ExprKind::Name:
    case ExprKind::Call:
    case ExprKind::Binary:
        return eval(e, frame);
    case ExprKind::Member: {
        if (!e.left && frame.with.empty())
            raise(ErrorNumber::ObjectRequired);
        const Variant base = e.left ? eval(*e.left, frame) : frame.with.back();
        return memberCall(base, e.name, nullptr, frame, &e);
    }
    case ExprKind::Unary: {
        const Variant v = valueOf(*e.left, frame);
        if (e.op == Op::Neg) {
            switch (v.kind()) {
            case Variant::Kind::Integer:
                return fitted(-qint64(v.integerValue()), true);
            case Variant::Kind::Long:
                return fitted(-qint64(v.longValue()), false);
            case Variant::Kind::Double:
                return Variant::fromDouble(-v.doubleValue());
            default:
                break;
            }
        }
        return check(applyUnary(e.op, v));
    }
    case ExprKind::New:
        return evalNew(e, frame);
    case ExprKind::Me: {
        std::shared_ptr<DispatchObject> me = frame.me ? frame.me->weak_from_this().lock() : nullptr;
        if (!me)
            raise(ErrorNumber::ObjectRequired);
        return Variant::fromObject(std::move(me));
    }
    case ExprKind::Missing:
        return Variant();
    case ExprKind::Paren:
        return eval(*e.left, frame);
    }
    return Variant();
}

Variant Interpreter::defaultValue(const Variant &object)
{
    if (object.isNothing())
        raise(ErrorNumber::ObjectVariableNotSet);
    if (VbInstance *instance = asInstance(object, this)) {
        const int m = instance->classInfo().defaultMember;
        if (m < 0)
            raise(ErrorNumber::NoSuchPropertyOrMethod);
        Frame outside;
        return instanceCall(*instance, m, nullptr, outside);
    }
    QVector<Variant> none;
    return hostInvoke(object.objectValue(), QString(), CallKind::Get, none, Variant());
}

Variant Interpreter::evalName(const Expr &e, Frame &frame)
{
    switch (e.binding) {
    case Binding::Local:
        return *frame.localSlots[e.index];
    case Binding::Global:
        return *e.global;
    case Binding::Field:
        if (!frame.me)
            raise(ErrorNumber::ObjectRequired);
        return frame.me->fields[e.index];
    case Binding::Constant:
        return e.value;
    case Binding::Member:
        if (!frame.me)
            raise(ErrorNumber::ObjectRequired);
        return instanceCall(*frame.me, e.index, nullptr, frame);
    case Binding::Procedure:
        return call(*e.procedure, nullptr, frame, nullptr);
    case Binding::Function: {
        static const std::vector<ExprPtr> none;
        return callFunction(e, none, frame);
    }
    case Binding::Intrinsic:
        raise(ErrorNumber::WrongArgumentCount);
    case Binding::Dynamic: {
        const GlobalName *name = lateName(e);
        if (!name || name->kind == GlobalName::Kind::Class)
            return Variant();
        if (name->kind == GlobalName::Kind::Procedure)
            return call(*name->procedure, nullptr, frame, nullptr);
        return globals.values[name->slot];
    }
    case Binding::Unbound:
    case Binding::Undefined:
        raise(ErrorNumber::VariableUndefined);
    }
    raise(ErrorNumber::VariableUndefined);
}

const GlobalName *Interpreter::lateName(const Expr &e) const
{
    auto it = globals.names.constFind(e.name.toCaseFolded());
    return it == globals.names.cend() ? nullptr : &*it;
}

Variant Interpreter::evalCall(const Expr &e, Frame &frame)
{
    const Expr &target = *e.left;
    if (target.kind == ExprKind::Name) {
        switch (target.binding) {
        case Binding::Procedure:
            return call(*target.procedure, &e.args, frame, nullptr);
        case Binding::Member:
            if (!frame.me)
                raise(ErrorNumber::ObjectRequired);
            return instanceCall(*frame.me, target.index, &e.args, frame);
        case Binding::Function:
            return callFunction(target, e.args, frame);
        case Binding::Intrinsic:
            return callIntrinsic(target, e.args, frame);
        case Binding::Dynamic:
            if (const GlobalName *late = lateName(target); late && late->kind == GlobalName::Kind::Procedure)
                return call(*late->procedure, &e.args, frame, nullptr);
            else if ((!late || late->kind != GlobalName::Kind::Variable) && (e.hasParens || !e.args.empty()))
                raise(ErrorNumber::TypeMismatch);
            break;
        default:
            break;
        }
        const Variant v = evalName(target, frame);
        if (e.args.empty() && !(e.hasParens && v.isObject()))
            return v;
        return indexValue(v, e.args, frame, &e);
    }
    if (target.kind == ExprKind::Member) {
        if (!target.left && frame.with.empty())
            raise(ErrorNumber::ObjectRequired);
        const Variant base = target.left ? eval(*target.left, frame) : frame.with.back();
        return memberCall(base, target.name, &e.args, frame, &target);
    }
    const Variant v = eval(target, frame);
    if (e.args.empty() && !(e.hasParens && v.isObject()))
        return v;
    return indexValue(v, e.args, frame, &e);
}

Q_ALWAYS_INLINE const Variant *Interpreter::storedValue(const Expr &e, Frame &frame)
{
    const Variant *v;
    switch (e.access) {
    case Access::Value: v = &e.value; break;
    case Access::Local: v = frame.localSlots[e.index]; break;
    case Access::Global: v = e.global; break;
    case Access::Field:
        if (!frame.me)
            return nullptr;
        v = &frame.me->fields[e.index];
        break;
    default: return nullptr;
    }
    return v->isObject() ? nullptr : v;
}

Variant Interpreter::evalBinary(const Expr &e, Frame &frame)
{
    // Operands are read where they are stored when that runs no code.
    const Variant *a = storedValue(*e.left, frame);
    if (a && e.op != Op::Is) {
        if (const Variant *b = storedValue(*e.right, frame))
            return binaryValue(e, *a, *b);
    }
    return evalBinaryAfterCalls(e, frame, a);
}

Variant Interpreter::evalIs(const Expr &e, Frame &frame)
{
    const Variant left = eval(*e.left, frame);
    const Variant right = eval(*e.right, frame);
    if (!left.isObject() || !right.isObject())
        raise(ErrorNumber::ObjectRequired);
    return Variant(left.objectValue() == right.objectValue());
}

Variant Interpreter::evalBinaryAfterCalls(const Expr &e, Frame &frame, const Variant *a)
{
    if (e.op == Op::Is)
        return evalIs(e, frame);
    // The left operand is read before the right one, whose reading may
    // change the left's variable.
    const Variant left = a ? *a : operandValue(*e.left, frame);
    if (!a) {
        // The left is a value of its own: a right one where it is stored
        // is read in place.
        if (const Variant *b = storedValue(*e.right, frame))
            return binaryValue(e, left, *b);
    }
    const Variant right = operandValue(*e.right, frame);
    return binaryValue(e, left, right);
}

// Whole numbers the short way; the rest by the general rules.
Q_ALWAYS_INLINE Variant Interpreter::binaryValue(const Expr &e, const Variant &a, const Variant &b)
{
    const Kind ka = a.kind(), kb = b.kind();
    if (isWhole(ka) && isWhole(kb)) {
        const qint64 x = wholeOf(a);
        const qint64 y = wholeOf(b);
        const bool small = ka == Kind::Integer && kb == Kind::Integer;
        switch (e.op) {
        case Op::Add: return fitted(x + y, small);
        case Op::Sub: return fitted(x - y, small);
        case Op::Mul: return fitted(x * y, small);
        case Op::Eq: return Variant(x == y);
        case Op::Ne: return Variant(x != y);
        case Op::Lt: return Variant(x < y);
        case Op::Gt: return Variant(x > y);
        case Op::Le: return Variant(x <= y);
        case Op::Ge: return Variant(x >= y);
        case Op::Mod:
            if (y != 0)
                return fitted(x % y, small);
            break;
        case Op::IntDiv:
            if (y != 0)
                return fitted(x / y, small);
            break;
        default:
            break;
        }
    }
    return otherBinaryValue(e, a, b);
}

Variant Interpreter::otherBinaryValue(const Expr &e, const Variant &a, const Variant &b)
{
    const Kind ka = a.kind(), kb = b.kind();
    if (isPlainNumber(ka) && isPlainNumber(kb) && !(isWhole(ka) && isWhole(kb))) {
        // At least one Double: the result is a Double (comparisons: a Boolean).
        const double x = plainNumberOf(a), y = plainNumberOf(b);
        double r = 0;
        switch (e.op) {
        case Op::Add: r = x + y; break;
        case Op::Sub: r = x - y; break;
        case Op::Mul: r = x * y; break;
        case Op::Eq: return Variant(x == y);
        case Op::Ne: return Variant(x != y);
        case Op::Lt: return Variant(x < y);
        case Op::Gt: return Variant(x > y);
        case Op::Le: return Variant(x <= y);
        case Op::Ge: return Variant(x >= y);
        default: return check(applyBinary(e.op, a, b));
        }
        if (!std::isfinite(r))
            raise(ErrorNumber::Overflow);
        return Variant::fromDouble(r);
    }
    if (e.op == Op::Concat || (e.op == Op::Add && ka == Kind::String && kb == Kind::String)) {
        // Text and text, or text and a whole number, in one allocation.
        if (ka == Kind::String && kb == Kind::String) {
            const QString &x = a.stringValue(), &y = b.stringValue();
            if (x.size() + y.size() > kMaxTextLength)
                raise(ErrorNumber::OutOfStringSpace);
            if (x.isEmpty())
                return b;
            if (y.isEmpty())
                return a;
            return Variant(joined(x, y));
        }
        if (ka == Kind::String && isWhole(kb) && a.stringValue().size() + kMaxWholeLength <= kMaxTextLength) {
            const WholeText number(wholeOf(b));
            return Variant(joined(a.stringValue(), QStringView(number.begin(), number.length)));
        }
        if (isWhole(ka) && kb == Kind::String && b.stringValue().size() + kMaxWholeLength <= kMaxTextLength) {
            const WholeText number(wholeOf(a));
            return Variant(joined(QStringView(number.begin(), number.length), b.stringValue()));
        }
    }
    switch (e.op) {
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge:
        return check(applyComparison(e.op, a, b, isLiteral(*e.left), isLiteral(*e.right)));
    default:
        return check(applyBinary(e.op, a, b));
    }
}

Variant Interpreter::evalNew(const Expr &e, Frame &)
{
    const QString key = e.name.toCaseFolded();
    // RegExp is the language's own, whatever classes a script declares.
    if (key == QLatin1String("regexp"))
        return check(createObject(QStringLiteral("VBScript.RegExp"), context.objects));
    auto it = globals.classes.constFind(key);
    if (it == globals.classes.cend())
        raise(ErrorNumber::ClassNotDefined);
    const std::shared_ptr<ClassInfo> info = *it;
    auto object = std::make_shared<VbInstance>(shared_from_this(), info);
    int field = 0;
    for (const FieldDecl &f : info->decl->fields) {
        if (f.isArray) {
            VariantArray array;
            qsizetype total = 1;
            for (const ExprPtr &b : f.bounds) {
                Variant bound = b->kind == ExprKind::Literal ? b->value : Variant();
                if (b->kind == ExprKind::Unary && b->left->kind == ExprKind::Literal)
                    bound = check(applyUnary(b->op, b->left->value));
                const qint32 upper = check(bound.toLong());
                if (upper < -1)
                    raise(ErrorNumber::SubscriptOutOfRange);
                array.bounds.append(ArrayBound{0, upper});
                total *= qsizetype(upper) + 1;
                if (total > kMaxArrayElements)
                    raise(ErrorNumber::OutOfMemory);
            }
            array.items.resize(array.bounds.isEmpty() ? 0 : total);
            object->fields[field] = Variant::fromArray(std::move(array));
        }
        ++field;
    }
    if (info->initialize) {
        QVector<Variant> none;
        callWithValues(*info->initialize, none, object.get());
    }
    return Variant::fromObject(object);
}

QVector<Variant> Interpreter::argumentValues(const std::vector<ExprPtr> &args, Frame &frame)
{
    QVector<Variant> values;
    values.reserve(qsizetype(args.size()));
    for (const ExprPtr &a : args)
        values.append(eval(*a, frame));
    // Left-out arguments at the end are simply absent.
    qsizetype n = values.size();
    while (n > 0 && args[n - 1]->kind == ExprKind::Missing)
        --n;
    values.resize(n);
    return values;
}

Q_ALWAYS_INLINE void Interpreter::argumentValues(const std::vector<ExprPtr> &args, Frame &frame, ArgumentList &list)
{
    QVector<Variant> &values = list.values();
    // Left-out arguments at the end are simply absent.
    qsizetype n = qsizetype(args.size());
    while (n > 0 && args[n - 1]->kind == ExprKind::Missing)
        --n;
    if (values.size() != n)
        values.resize(n);
    // The list's values hold nothing to let go of (a list is left so), so
    // each is written over in place.
    Variant *out = values.data();
    for (qsizetype i = 0; i < n; ++i) {
        const Expr &a = *args[i];
        if (list.mayLend(i)) {
            if (const Variant *stored = storedValue(a, frame)) {
                if (stored->kind() >= Kind::String) {
                    new (out + i) Variant(Variant::borrowed(*stored));
                    list.lent(i);
                } else {
                    new (out + i) Variant(*stored);
                }
                continue;
            }
        }
        new (out + i) Variant(eval(a, frame));
    }
}

void Interpreter::copyBack(const std::vector<ExprPtr> &args, const QVector<Variant> &values, Frame &frame)
{
    for (qsizetype i = 0; i < values.size() && i < qsizetype(args.size()); ++i) {
        const Expr &a = *args[i];
        if (a.kind != ExprKind::Name && a.kind != ExprKind::Call)
            continue; // a value, not a place
        if (Variant *v = variableRef(a, frame)) {
            if (*v != values[i])
                store(*v, values[i]);
        } else if (a.kind == ExprKind::Call && a.left->kind == ExprKind::Name && !a.args.empty()) {
            Variant *array = variableRef(*a.left, frame);
            if (!array || !array->isArray())
                continue;
            QVector<qint32> indexes;
            for (const ExprPtr &index : a.args) {
                if (!isLiteral(*index) && index->kind != ExprKind::Name)
                    return; // an index with effects is not evaluated twice
                indexes.append(check(valueOf(*index, frame).toLong()));
            }
            const qsizetype offset = array->arrayValue().offsetOf(indexes);
            if (offset >= 0 && array->arrayValue().items[offset] != values[i])
                array->arrayForWrite().items[offset] = values[i];
        }
    }
}

qsizetype Interpreter::elementOffset(const Variant &array, const std::vector<ExprPtr> &args, Frame &frame)
{
    QVector<qint32> indexes;
    indexes.reserve(qsizetype(args.size()));
    for (const ExprPtr &a : args)
        indexes.append(check(valueOf(*a, frame).toLong()));
    const qsizetype offset = array.arrayValue().offsetOf(indexes);
    if (offset < 0)
        raise(ErrorNumber::SubscriptOutOfRange);
    return offset;
}

Variant Interpreter::indexValue(const Variant &value, const std::vector<ExprPtr> &args, Frame &frame,
                                const Expr *site)
{
    if (value.isArray())
        return value.arrayValue().items[elementOffset(value, args, frame)];
    if (value.isObject()) {
        if (value.isNothing())
            raise(ErrorNumber::ObjectVariableNotSet);
        if (VbInstance *instance = asInstance(value, this)) {
            const int m = instance->classInfo().defaultMember;
            if (m < 0)
                raise(ErrorNumber::NoSuchPropertyOrMethod);
            return instanceCall(*instance, m, &args, frame);
        }
        ArgumentList list(*this, args.size());
        QVector<Variant> &values = list.values();
        argumentValues(args, frame, list);
        Variant r = hostInvoke(value.objectValue(), QString(), CallKind::Get, values, Variant(), site);
        copyBack(args, values, frame);
        return r;
    }
    raise(ErrorNumber::TypeMismatch);
}

Variant Interpreter::hostInvoke(const std::shared_ptr<DispatchObject> &object, const QString &name, CallKind kind,
                                QVector<Variant> &args, const Variant &value, const Expr *site)
{
    codeMayRun(); // the host may call back into the script
    int number = -1;
    if (site) {
        if (const void *table = object->memberTable()) {
            if (site->siteTable != table) {
                site->siteNumber = object->memberNumber(name);
                site->siteTable = table;
            }
            number = site->siteNumber;
        }
    }
    if (hostCallHook)
        hostCallHook(true);
    Result<Variant> r = number >= 0 ? object->invokeNumber(number, kind, args, value)
                                    : object->invoke(name, kind, args, value);
    if (hostCallHook)
        hostCallHook(false);
    if (!r)
        raise(r.error());
    return std::move(*r);
}

bool Interpreter::mayReach(const VbInstance &object, const ClassMember &member, const Frame &frame) const
{
    return member.isPublic || (frame.me && &frame.me->classInfo() == &object.classInfo());
}

Variant Interpreter::memberCall(const Variant &object, const QString &name, const std::vector<ExprPtr> *args,
                                Frame &frame, const Expr *site)
{
    if (!object.isObject() || object.isNothing())
        raise(ErrorNumber::ObjectRequired);
    if (VbInstance *instance = asInstance(object, this)) {
        const int m = instance->classInfo().find(name);
        if (m < 0 || !mayReach(*instance, instance->classInfo().members[m], frame))
            raise(ErrorNumber::NoSuchPropertyOrMethod);
        return instanceCall(*instance, m, args, frame);
    }
    ArgumentList list(*this, args ? args->size() : 0);
    QVector<Variant> &values = list.values();
    if (args)
        argumentValues(*args, frame, list);
    Variant r = hostInvoke(object.objectValue(), name, CallKind::Get, values, Variant(), site);
    if (args)
        copyBack(*args, values, frame);
    return r;
}

Variant Interpreter::instanceCall(VbInstance &object, int m, const std::vector<ExprPtr> *args, Frame &frame)
{
    const ClassMember &member = object.classInfo().members[m];
    const bool hasArgs = args && !args->empty();
    if (member.field >= 0) {
        const Variant v = object.fields[member.field];
        return hasArgs ? indexValue(v, *args, frame) : v;
    }
    Procedure *p = member.method ? member.method : member.get;
    if (!p)
        raise(member.let || member.set ? ErrorNumber::WrongArgumentCount : ErrorNumber::NoSuchPropertyOrMethod);
    if (hasArgs && p->params.empty()) {
        const Variant whole = call(*p, nullptr, frame, &object);
        return indexValue(whole, *args, frame);
    }
    return call(*p, args, frame, &object);
}

Variant Interpreter::callFunction(const Expr &name, const std::vector<ExprPtr> &args, Frame &frame)
{
    const BuiltinInfo &info = *name.builtin;
    ArgumentList list(*this, args.size());
    QVector<Variant> &values = list.values();
    if (!name.mayRunCode)
        list.startLending();
    argumentValues(args, frame, list);
    list.stopLending();
    if (values.size() < info.minArgs || (info.maxArgs >= 0 && values.size() > info.maxArgs))
        raise(ErrorNumber::WrongArgumentCount);
    if (name.readsDefaults)
        for (const Variant &v : std::as_const(values))
            if (v.isObject()) [[unlikely]]
                return callWithDefaults(info, values);
    if (!name.mayRunCode)
        return check(info.function(context, values));
    return callRunningCode(info, values);
}

Variant Interpreter::callRunningCode(const BuiltinInfo &info, QVector<Variant> &values)
{
    codeMayRun();
    // Only the functions that may run code can wait for the user.
    const bool blocking = hostCallHook && blocksForTheUser(info);
    if (blocking)
        hostCallHook(true);
    Result<Variant> r = info.function(context, values);
    if (blocking)
        hostCallHook(false);
    return check(std::move(r));
}

// Objects with a default member are read through it; others are left for
// the function's own error. The arguments are copied first: reading a
// default member runs code, which may change what a lent value belongs to.
Variant Interpreter::callWithDefaults(const BuiltinInfo &info, const QVector<Variant> &values)
{
    QVector<Variant> own(values.cbegin(), values.cend());
    for (Variant &v : own) {
        if (!v.isObject() || v.isNothing())
            continue;
        const VbInstance *instance = asInstance(v, this);
        if (instance ? instance->classInfo().defaultMember >= 0 : v.objectValue()->member(QString()).has_value())
            v = defaultValue(v);
    }
    return callRunningCode(info, own);
}

Variant Interpreter::callIntrinsic(const Expr &name, const std::vector<ExprPtr> &args, Frame &frame)
{
    if (args.size() != 1 || args[0]->kind == ExprKind::Missing)
        raise(ErrorNumber::WrongArgumentCount);
    const QString text = check(valueOf(*args[0], frame).toString());
    const bool explicitOnly = frame.program && frame.program->optionExplicit;
    codeMayRun();
    enter();
    struct Leave {
        int &depth;
        ~Leave() { --depth; }
    } leave{m_depth};
    switch (name.intrinsic) {
    case Intrinsic::Eval: {
        std::shared_ptr<Program> program = compile(text, true, frame.procedure, explicitOnly);
        Frame inner;
        inner.program = program.get();
        inner.procedure = frame.procedure;
        inner.localSlots = frame.localSlots;
        inner.me = frame.me;
        return eval(*program->statements.front()->value, inner);
    }
    case Intrinsic::Execute:
    case Intrinsic::ExecuteGlobal: {
        const bool local = name.intrinsic == Intrinsic::Execute;
        std::shared_ptr<Program> program = compile(text, false, local ? frame.procedure : nullptr, explicitOnly);
        Frame inner;
        inner.program = program.get();
        if (local) {
            inner.procedure = frame.procedure;
            inner.localSlots = frame.localSlots;
            inner.me = frame.me;
        }
        runBlock(program->statements, inner);
        return Variant();
    }
    case Intrinsic::GetRef: {
        auto it = globals.names.constFind(text.toCaseFolded());
        if (it == globals.names.cend() || it->kind != GlobalName::Kind::Procedure)
            raise(ErrorNumber::InvalidProcedureCall);
        return Variant::fromObject(std::make_shared<ProcedureRef>(weak_from_this(), it->procedure));
    }
    }
    return Variant();
}

// --- assignment ---

Variant *Interpreter::variableRef(const Expr &e, Frame &frame)
{
    if (e.kind != ExprKind::Name || e.readOnly)
        return nullptr;
    switch (e.binding) {
    case Binding::Local:
        return frame.localSlots[e.index];
    case Binding::Global:
        return globals.readOnly[e.index] ? nullptr : e.global;
    case Binding::Field:
        return frame.me ? &frame.me->fields[e.index] : nullptr;
    case Binding::Dynamic: {
        const GlobalName *late = lateName(e);
        if (!late)
            return &globals.values[globals.addVariable(e.name)];
        if (late->kind != GlobalName::Kind::Variable || globals.readOnly[late->slot])
            return nullptr;
        return &globals.values[late->slot];
    }
    default:
        return nullptr;
    }
}

void Interpreter::appendInPlace(const Stmt &s, Frame &frame)
{
    Variant *v = variableRef(*s.target, frame);
    if (!v || !v->isString()) {
        assign(*s.target, valueOf(*s.value, frame), false, frame);
        return;
    }
    const Expr &right = *s.value->right;
    Variant rightTemp;
    const Variant *rhs = storedValue(right, frame);
    AppendGuard guard{v, m_appendGuard, QString(), false};
    if (!rhs) {
        m_appendGuard = &guard;
        struct Close {
            Interpreter &engine;
            AppendGuard &guard;
            ~Close() { engine.m_appendGuard = guard.outer; }
        } close{*this, guard};
        rightTemp = valueOf(right, frame);
        rhs = &rightTemp;
    }
    if (guard.kept) {
        // Code ran while the right side was read: join the text as it was.
        assign(*s.target, check(applyBinary(Op::Concat, Variant(std::move(guard.before)), *rhs)), false, frame);
        return;
    }
    if (rhs->isNull())
        return; // text & Null is the text
    QString &text = v->stringForWrite();
    if (rhs->isString()) {
        if (text.size() + rhs->stringValue().size() > kMaxTextLength)
            raise(ErrorNumber::OutOfStringSpace);
        if (rhs->stringValue().size() == 1)
            text.append(rhs->stringValue().front());
        else if (rhs == v)
            text.append(QString(text));
        else
            text.append(rhs->stringValue());
    } else if (isWhole(rhs->kind()) && text.size() + kMaxWholeLength <= kMaxTextLength) {
        appendWhole(text, wholeOf(*rhs));
    } else {
        const QString tail = check(rhs->toString());
        if (text.size() + tail.size() > kMaxTextLength)
            raise(ErrorNumber::OutOfStringSpace);
        text.append(tail);
    }
}

void Interpreter::assign(const Expr &target, Variant value, bool isSet, Frame &frame)
{
    if (target.kind == ExprKind::Name) {
        switch (target.binding) {
        case Binding::Local:
        case Binding::Global:
        case Binding::Field:
        case Binding::Dynamic: {
            Variant *v = variableRef(target, frame);
            if (!v)
                raise(ErrorNumber::IllegalAssignment);
            if (v->isObject() || v->isArray())
                store(*v, std::move(value));
            else
                *v = std::move(value);
            return;
        }
        case Binding::Member: {
            if (!frame.me)
                raise(ErrorNumber::ObjectRequired);
            QVector<Variant> none;
            assignInstance(*frame.me, target.index, none, value, isSet, frame);
            return;
        }
        case Binding::Undefined:
            raise(ErrorNumber::VariableUndefined);
        default:
            raise(ErrorNumber::IllegalAssignment);
        }
    }
    if (target.kind == ExprKind::Member) {
        if (!target.left && frame.with.empty())
            raise(ErrorNumber::ObjectRequired);
        const Variant base = target.left ? eval(*target.left, frame) : frame.with.back();
        QVector<Variant> none;
        assignMember(base, target.name, none, value, isSet, frame);
        return;
    }
    if (target.kind != ExprKind::Call)
        raise(ErrorNumber::IllegalAssignment);
    const Expr &callee = *target.left;
    if (callee.kind == ExprKind::Name && (callee.binding == Binding::Local || callee.binding == Binding::Global ||
                                          callee.binding == Binding::Field || callee.binding == Binding::Dynamic)) {
        // An exposed object is read-only as a name, yet its default member takes values.
        Variant *slot = callee.binding == Binding::Global ? callee.global : variableRef(callee, frame);
        if (!slot)
            raise(ErrorNumber::ObjectRequired);
        if (slot->isArray()) {
            QVector<qint32> indexes;
            for (const ExprPtr &a : target.args)
                indexes.append(check(valueOf(*a, frame).toLong()));
            if (!slot->isArray())
                raise(ErrorNumber::TypeMismatch);
            const qsizetype offset = slot->arrayValue().offsetOf(indexes);
            if (offset < 0)
                raise(ErrorNumber::SubscriptOutOfRange);
            store(slot->arrayForWrite().items[offset], std::move(value));
            return;
        }
        if (slot->isObject()) {
            const Variant object = *slot;
            QVector<Variant> values = argumentValues(target.args, frame);
            assignMember(object, QString(), values, value, isSet, frame);
            return;
        }
        raise(ErrorNumber::TypeMismatch);
    }
    if (callee.kind == ExprKind::Name && callee.binding == Binding::Member) {
        if (!frame.me)
            raise(ErrorNumber::ObjectRequired);
        QVector<Variant> values = argumentValues(target.args, frame);
        assignInstance(*frame.me, callee.index, values, value, isSet, frame);
        return;
    }
    if (callee.kind == ExprKind::Member) {
        if (!callee.left && frame.with.empty())
            raise(ErrorNumber::ObjectRequired);
        const Variant base = callee.left ? eval(*callee.left, frame) : frame.with.back();
        QVector<Variant> values = argumentValues(target.args, frame);
        assignMember(base, callee.name, values, value, isSet, frame);
        return;
    }
    raise(ErrorNumber::IllegalAssignment);
}

void Interpreter::assignMember(const Variant &object, const QString &name, QVector<Variant> &args,
                               const Variant &value, bool isSet, Frame &frame)
{
    if (!object.isObject() || object.isNothing())
        raise(ErrorNumber::ObjectRequired);
    if (VbInstance *instance = asInstance(object, this)) {
        const ClassInfo &info = instance->classInfo();
        const int m = name.isEmpty() ? info.defaultMember : info.find(name);
        if (m < 0 || !mayReach(*instance, info.members[m], frame))
            raise(ErrorNumber::NoSuchPropertyOrMethod);
        assignInstance(*instance, m, args, value, isSet, frame);
        return;
    }
    const std::shared_ptr<DispatchObject> &host = object.objectValue();
    if (!args.isEmpty() && !name.isEmpty()) {
        // `Main.Config("Color") = x`: a plain property holding an object;
        // the arguments belong to that object's default member.
        const std::optional<MemberInfo> info = host->member(name);
        if (info && info->kind == MemberKind::Property) {
            QVector<Variant> none;
            const Variant inner = hostInvoke(host, name, CallKind::Get, none, Variant());
            if (inner.isObject()) {
                assignMember(inner, QString(), args, value, isSet, frame);
                return;
            }
        }
    }
    hostInvoke(host, name, isSet ? CallKind::Set : CallKind::Let, args, value);
}

void Interpreter::assignInstance(VbInstance &object, int m, QVector<Variant> &args, const Variant &value,
                                 bool isSet, Frame &frame)
{
    const ClassMember &member = object.classInfo().members[m];
    if (member.field >= 0) {
        Variant &field = object.fields[member.field];
        if (args.isEmpty()) {
            store(field, value);
            return;
        }
        if (field.isObject()) {
            const Variant inner = field;
            assignMember(inner, QString(), args, value, isSet, frame);
            return;
        }
        if (!field.isArray())
            raise(ErrorNumber::TypeMismatch);
        QVector<qint32> indexes;
        for (const Variant &a : args)
            indexes.append(check(a.toLong()));
        const qsizetype offset = field.arrayValue().offsetOf(indexes);
        if (offset < 0)
            raise(ErrorNumber::SubscriptOutOfRange);
        store(field.arrayForWrite().items[offset], value);
        return;
    }
    Procedure *p = isSet ? member.set : member.let;
    if (!p)
        raise(member.method || member.get ? ErrorNumber::WrongArgumentCount : ErrorNumber::NoSuchPropertyOrMethod);
    callWithValues(*p, args, &object, &value);
}

// --- procedures ---

Variant Interpreter::call(Procedure &procedure, const std::vector<ExprPtr> *args, Frame &caller, VbInstance *me,
                          const Variant *extra)
{
    const size_t given = args ? args->size() : 0;
    const size_t wanted = procedure.params.size() - (extra ? 1 : 0);
    if (given != wanted || (extra && procedure.params.empty()))
        raise(ErrorNumber::WrongArgumentCount);
    CallSetup setup(procedure.slotCount);
    for (size_t i = 0; i < given; ++i) {
        const Expr &a = *(*args)[i];
        const int slot = int(i) + 1;
        if (a.kind == ExprKind::Missing)
            raise(ErrorNumber::ArgumentNotOptional);
        if (procedure.params[i].byRef) {
            if (Variant *ref = variableRef(a, caller)) {
                setup.localSlots[slot] = ref;
                continue;
            }
            if (a.kind == ExprKind::Call && a.left->kind == ExprKind::Name && !a.args.empty()) {
                Variant *array = variableRef(*a.left, caller);
                if (array && array->isArray()) {
                    const qsizetype offset = elementOffset(*array, a.args, caller);
                    if (!array->isArray() || offset >= array->arrayValue().items.size())
                        raise(ErrorNumber::SubscriptOutOfRange);
                    setup.storage[slot] = array->arrayValue().items[offset];
                    setup.writeBacks.push_back(ArrayWriteBack{array, offset, slot});
                    continue;
                }
            }
        }
        setup.storage[slot] = eval(a, caller);
    }
    if (extra)
        setup.storage[given + 1] = *extra;
    return runProcedure(procedure, setup, me);
}

Variant Interpreter::callWithValues(Procedure &procedure, QVector<Variant> &args, VbInstance *me,
                                    const Variant *extra)
{
    const qsizetype wanted = qsizetype(procedure.params.size()) - (extra ? 1 : 0);
    if (args.size() != wanted || (extra && procedure.params.empty()))
        raise(ErrorNumber::WrongArgumentCount);
    CallSetup setup(procedure.slotCount);
    Variant *values = args.data();
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (procedure.params[i].byRef)
            setup.localSlots[i + 1] = &values[i];
        else
            setup.storage[i + 1] = values[i];
    }
    if (extra)
        setup.storage[args.size() + 1] = *extra;
    return runProcedure(procedure, setup, me);
}

void Interpreter::enter()
{
    const char here = 0;
    const auto at = reinterpret_cast<std::uintptr_t>(&here);
    if (m_depth == 0)
        m_stackBase = at;
    const std::uintptr_t used = m_stackBase > at ? m_stackBase - at : at - m_stackBase;
    if (m_depth >= kMaxCallDepth || used > kStackBudget)
        raise(ErrorNumber::OutOfStackSpace);
    ++m_depth;
}

Variant Interpreter::runProcedure(Procedure &procedure, CallSetup &setup, VbInstance *me)
{
    codeMayRun();
    enter();
    struct Leave {
        int &depth;
        ~Leave() { --depth; }
    } leave{m_depth};
    std::shared_ptr<DispatchObject> keepAlive = me ? me->weak_from_this().lock() : nullptr;
    Frame frame;
    frame.program = procedure.program;
    frame.procedure = &procedure;
    frame.localSlots = setup.localSlots.data();
    frame.me = me;
    runBlock(procedure.body, frame);
    Variant result = procedure.returnsValue() ? std::move(*setup.localSlots[0]) : Variant();
    for (const ArrayWriteBack &w : setup.writeBacks)
        if (w.array->isArray() && w.offset < w.array->arrayValue().items.size())
            store(w.array->arrayForWrite().items[w.offset], setup.storage[w.slot]);
    return result;
}

} // namespace sorvane::vb

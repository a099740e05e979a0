#include "scripting/js/JsEngine.h"

#include "scripting/js/JsBridge.h"
#include "scripting/js/JsExtensions.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

namespace sorvane {
namespace {

// The proxies over host objects. The target is an arrow function: it can be
// called (default member) and has no own properties that ownKeys must list.
// For objects with a member table, each member's number and kind are asked
// for once per host class (objects of one table share them), and from then
// on the member costs one crossing into the bridge, by number: a property's
// read, or a method's call. Other objects are reached by name: a member
// costs one crossing, which answers with the property's value or the marker
// for a method, and a method's call one more.
const char kPrelude[] = R"JS(
(function (bridge, key, failed, isMethod, absent) {
    // Taken before any script runs: a script may assign anything to the
    // globals (`Array = 1` is legal) and the binding must go on working.
    var ProxyOf = Proxy, newTable = Object.create, apply = Reflect.apply, deleteProperty = Reflect.deleteProperty,
        defineProperty = Object.defineProperty, toText = String, isArray = Array.isArray,
        slice = Array.prototype.slice,
        iteratorKey = Symbol.iterator, primitiveKey = Symbol.toPrimitive;
    // `undefined` is a global name, looked up at each use; this is a local.
    var none;
    // The bridge's methods, each looked up once: every lookup would make a
    // new function object.
    var bridgeGet = bridge.get, bridgeAccess = bridge.access, bridgeCall = bridge.call, bridgeSet = bridge.set,
        bridgeDescribe = bridge.describe, bridgeGetAt = bridge.getAt, bridgeCallAt = bridge.callAt,
        bridgeCallAt0 = bridge.callAt0, bridgeCallAt1 = bridge.callAt1, bridgeCallAt2 = bridge.callAt2,
        bridgeMember = bridge.member, bridgeKeys = bridge.keys, bridgeItems = bridge.items,
        bridgePrimitive = bridge.primitive, bridgeCreate = bridge.create, bridgeRaise = bridge.raise,
        bridgeTakeError = bridge.takeError;
    // Host failures come back as a marker and are thrown here, in JavaScript,
    // so that they surface wherever the access stands (also as a call's target).
    function checked(v) {
        if (v === failed)
            throw bridgeTakeError();
        return v;
    }
    // A member's code from the bridge: ((number + 1) * 64 + most arguments + 1) * 4 + kind.
    // Number -1: the member is reached by name; most arguments -1: any number.
    var PROPERTY = 1, INDEXED = 2; // 3: a method
    // Tables without a prototype: nothing a script does to the built-in
    // prototypes reaches them, and no name is taken by what they inherit.
    var codesByClass = newTable(null);
    function wrap(h, hostClass) {
        var codes = null;
        if (hostClass !== 0) {
            codes = codesByClass[hostClass];
            if (codes === undefined) {
                codes = newTable(null);
                codesByClass[hostClass] = codes;
            }
        }
        var methods = newTable(null);
        // The keys ownKeys gave last, put on the target.
        var listed = [];
        // A member's function, made once per object and name. It calls by
        // number where the member has one (code 0: it is known by name only).
        // The hot paths are written out: each function call costs as much
        // as a crossing.
        function method(name, code) {
            var f = methods[name];
            if (f !== none)
                return f;
            var number = (code >> 8) - 1;
            // An indexed property given one argument more than its indexes
            // is assigned; the bridge tells that apart by name.
            var assigning = (code & 3) === INDEXED ? ((code >> 2) & 63) : -1;
            f = function (...args) {
                var n = args.length, v;
                // Up to two arguments cross one by one: an array crossing
                // as a whole costs more than the call itself.
                if (number < 0 || n === assigning)
                    v = bridgeCall(h, name, n, args);
                else if (n === 1)
                    v = bridgeCallAt1(h, number, args[0]);
                else if (n === 0)
                    v = bridgeCallAt0(h, number);
                else if (n === 2)
                    v = bridgeCallAt2(h, number, args[0], args[1]);
                else
                    v = bridgeCallAt(h, number, n, args);
                if (v === failed)
                    throw bridgeTakeError();
                return v;
            };
            methods[name] = f;
            return f;
        }
        // The member's code, asked for once per host class; 0 when there is none.
        function codeOf(name) {
            var code = codes[name];
            if (code === undefined) {
                code = bridgeDescribe(h, name);
                if (code !== 0)
                    codes[name] = code;
            }
            return code;
        }
        function primitive() {
            return checked(bridgePrimitive(h));
        }
        function iterator() {
            return checked(bridgeItems(h))[iteratorKey]();
        }
        function missing(name) {
            if (name === 'toString' || name === 'valueOf')
                return primitive;
            if (name === 'then' || name === 'toJSON' || name === 'constructor')
                return undefined;
            return checked(bridgeGet(h, name));
        }
        return new ProxyOf(() => {}, {
            get: function (t, name) {
                var code = codes === null ? none : codes[name];
                if (code === none) {
                    if (name === key)
                        return h;
                    if (typeof name === 'symbol') {
                        if (name === primitiveKey)
                            return primitive;
                        if (name === iteratorKey)
                            return iterator;
                        return undefined;
                    }
                    if (codes === null) {
                        var found = bridgeAccess(h, name);
                        if (found === isMethod)
                            return method(name, 0);
                        if (found !== absent)
                            return checked(found);
                        return missing(name);
                    }
                    code = codeOf(name);
                    if (code === 0)
                        return missing(name);
                }
                if ((code & 3) !== PROPERTY) {
                    var f = methods[name];
                    return f !== none ? f : method(name, code);
                }
                var number = (code >> 8) - 1;
                var v = number >= 0 ? bridgeGetAt(h, number) : bridgeGet(h, name);
                if (v === failed)
                    throw bridgeTakeError();
                return v;
            },
            set: function (t, name, value) {
                checked(bridgeSet(h, toText(name), value));
                return true;
            },
            apply: function (t, self, args) {
                return apply(method('', codes === null ? 0 : codeOf('')), undefined, args);
            },
            has: function (t, name) {
                return typeof name === 'string' && bridgeMember(h, name) !== 0;
            },
            // for-in and Object.keys see what a collection holds (a
            // Dictionary's keys), and nothing of any other host object. The
            // engine lists only what the target itself has, so the keys are
            // put on the target (their values are still read through get).
            ownKeys: function (t) {
                var keys = bridgeKeys(h), i;
                for (i = 0; i < listed.length; i++)
                    deleteProperty(t, listed[i]);
                for (i = 0; i < keys.length; i++)
                    defineProperty(t, keys[i], { value: undefined, writable: true, enumerable: true, configurable: true });
                listed = keys;
                return apply(slice, keys, []);
            }
        });
    }
    function create(progId) {
        return checked(bridgeCreate(toText(progId)));
    }
    function raise(number) {
        checked(bridgeRaise(number));
    }
    function itemsOf(value) {
        if (value === undefined || value === null)
            return [];
        if (isArray(value))
            return apply(slice, value, []);
        if (typeof value === 'object' || typeof value === 'function') {
            var h = value[key];
            if (typeof h === 'number')
                return checked(bridgeItems(h));
        }
        raise(451);
    }
    return { wrap: wrap, create: create, raise: raise, itemsOf: itemsOf };
})
)JS";

const QDate kDateEpoch(1899, 12, 30);

double serialOf(const QDateTime &when)
{
    const QDateTime local = when.toLocalTime();
    const qint64 days = kDateEpoch.daysTo(local.date());
    const double fraction = local.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the fraction still counts forwards from midnight.
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

QDateTime dateTimeOf(double serial)
{
    const double whole = std::trunc(serial);
    const double fraction = std::fabs(serial - whole);
    const QDate date = kDateEpoch.addDays(qint64(whole));
    return QDateTime(date, QTime(0, 0).addMSecs(int(std::llround(fraction * 86400000.0)) % 86400000));
}

// A column for a run-time error the engine gives none for: where the name
// the message speaks of first stands in the line.
int guessColumn(const QString &message, const QString &line)
{
    static const QRegularExpression quoted(QStringLiteral("'([^']+)'"));
    static const QRegularExpression undefinedName(QStringLiteral("^([\\w$]+) is not defined"));
    QString name;
    if (const auto m = undefinedName.match(message); m.hasMatch())
        name = m.captured(1);
    else if (const auto q = quoted.match(message); q.hasMatch())
        name = q.captured(1);
    const int at = name.isEmpty() ? -1 : int(line.indexOf(name));
    if (at >= 0)
        return at;
    // Else the first character that is not white space.
    for (int i = 0; i < line.size(); ++i)
        if (!line[i].isSpace())
            return i;
    return 0;
}

} // namespace

// A JavaScript object or function held by the host (in a dictionary, say).
// It is cut loose when its engine ends, so nothing reaches a dead engine.
class JsObjectRef final : public DispatchObject {
public:
    JsObjectRef(JsEngine *engine, QJSValue value) : m_engine(engine), m_value(std::move(value)) {}

    QString typeName() const override { return m_value.isCallable() ? QStringLiteral("Function") : QStringLiteral("Object"); }

    Result<Variant> invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value) override
    {
        if (!m_engine)
            return scriptError(ErrorNumber::ObjectRequired);
        if (name.isEmpty()) {
            if (kind != CallKind::Get || !m_value.isCallable())
                return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
            QJSValueList list;
            for (const Variant &a : args)
                list.append(m_engine->toJs(a));
            return result(m_value.call(list));
        }
        if (kind == CallKind::Get) {
            QJSValue property = m_value.property(name);
            if (property.isCallable()) {
                QJSValueList list;
                for (const Variant &a : args)
                    list.append(m_engine->toJs(a));
                return result(property.callWithInstance(m_value, list));
            }
            return m_engine->fromJs(property);
        }
        m_value.setProperty(name, m_engine->toJs(value));
        return Variant();
    }

    std::optional<MemberInfo> member(const QString &name) const override
    {
        if (!m_engine)
            return std::nullopt;
        if (name.isEmpty())
            return m_value.isCallable() ? std::optional(MemberInfo{MemberKind::Method, 0, -1}) : std::nullopt;
        return MemberInfo{m_value.property(name).isCallable() ? MemberKind::Method : MemberKind::Property, 0, -1};
    }

    const QJSValue &value() const { return m_value; }
    JsEngine *engine() const { return m_engine; }

    void release()
    {
        m_engine = nullptr;
        m_value = QJSValue();
    }

private:
    Result<Variant> result(const QJSValue &v)
    {
        if (v.isError())
            return scriptError(ErrorNumber::ExceptionNotCaught, v.property(QStringLiteral("message")).toString());
        return m_engine->fromJs(v);
    }

    JsEngine *m_engine;
    QJSValue m_value;
};

// The engine crashes when call or apply is given no argument at all and the
// function is one of its own that reads its receiver
// (`Object.prototype.toString.call()`, `"".trim.apply()` and about a hundred
// more). These stand-ins pass an explicit undefined receiver instead, which
// the engine handles ("[object Undefined]", or a TypeError).
const char kCallGuard[] = R"JS(
(function () {
    var apply = Reflect.apply;
    function call(thisArg) {
        var rest = [];
        for (var i = 1; i < arguments.length; i++)
            rest.push(arguments[i]);
        return apply(this, thisArg, rest);
    }
    function applyTo(thisArg, argArray) {
        return apply(this, thisArg, argArray === undefined || argArray === null ? [] : argArray);
    }
    Object.defineProperty(applyTo, "name", { value: "apply" });
    Object.defineProperty(Function.prototype, "call", { value: call, writable: true, configurable: true });
    Object.defineProperty(Function.prototype, "apply", { value: applyTo, writable: true, configurable: true });
})();
)JS";

qint32 jsErrorNumber(const ScriptError &error)
{
    return qint32(error.code());
}

JsEngine::JsEngine(Factory create)
    : m_bridge(new JsBridge(*this))
    , m_handleKey(QStringLiteral("\u0001sorvaneHandle"))
    , m_create(std::move(create))
{
    m_engine.installExtensions(QJSEngine::ConsoleExtension);
    m_engine.evaluate(QString::fromUtf8(kCallGuard), QStringLiteral("binding"));
    m_failure = m_engine.newObject();
    m_methodMarker = m_engine.newObject();
    m_absentMarker = m_engine.newObject();
    QJSValue bridge = m_engine.newQObject(m_bridge); // the engine owns the bridge
    const QJSValue binding = m_engine.evaluate(QString::fromUtf8(kPrelude), QStringLiteral("binding"))
                                 .call({bridge, QJSValue(m_handleKey), m_failure, m_methodMarker, m_absentMarker});
    m_wrap = binding.property(QStringLiteral("wrap"));
    const QJSValue createObject = binding.property(QStringLiteral("create"));
    m_engine.globalObject().setProperty(
        QStringLiteral("ActiveXObject"),
        m_engine.evaluate(QStringLiteral("(function (create) { return function ActiveXObject(progId) {"
                                         " return create(progId); }; })"),
                          QStringLiteral("binding"))
            .call({createObject}));
    m_hostArrayPrototype = installJsExtensions(m_engine, binding);
}

JsEngine::~JsEngine()
{
    for (const std::weak_ptr<JsObjectRef> &weak : m_references)
        if (auto ref = weak.lock())
            ref->release();
}

void JsEngine::expose(const QString &name, const Variant &value)
{
    m_engine.globalObject().setProperty(name, toJs(value));
}

void JsEngine::interrupt()
{
    m_engine.setInterrupted(true);
}

bool JsEngine::wasInterrupted() const
{
    return m_engine.isInterrupted();
}

Status JsEngine::execute(const QString &code)
{
    QStringList trace;
    const QJSValue result = m_engine.evaluate(code, QStringLiteral("script"), 1, &trace);
    if (trace.isEmpty() && !result.isError())
        return {};

    const QStringList lines = code.split(QLatin1Char('\n'));
    ScriptError error;
    int line = 0, column = -1;
    // Each entry reads "function:line:column:file"; the first one in the
    // script's own text is the place to report.
    for (const QString &entry : trace) {
        const QStringList parts = entry.split(QLatin1Char(':'));
        if (parts.size() >= 4 && parts.last() == QLatin1String("script")) {
            line = parts[1].toInt();
            column = parts[2].toInt();
            break;
        }
    }
    if (line <= 0)
        line = result.property(QStringLiteral("lineNumber")).toInt();
    const QString name = result.property(QStringLiteral("name")).toString();
    const bool compile = name == QLatin1String("SyntaxError");

    if (result.isError() || result.hasProperty(QStringLiteral("message"))) {
        error.description = result.property(QStringLiteral("message")).toString();
    } else {
        error.description = result.toString(); // a thrown value that is no error object
    }
    // A host failure met while the engine looks up a function to call comes
    // out as a TypeError that quotes it; the host's own error is the real one.
    if (name == QLatin1String("TypeError") && m_lastError.number != 0 &&
        error.description.contains(m_lastError.description)) {
        error.description = m_lastError.description;
        error.number = qint32(m_lastError.code());
    } else if (const QJSValue number = result.property(QStringLiteral("number"));
               number.isNumber() && number.toNumber() != 0)
        error.number = qint32(quint32(qint64(number.toNumber())));
    else
        error.number = int(ErrorNumber::ExceptionNotCaught);
    if (wasInterrupted()) {
        error.number = 5022;
        error.description = QStringLiteral("The script ran for too long and was stopped");
    }
    error.source = compile ? QStringLiteral("JavaScript compilation error") : QStringLiteral("JavaScript runtime error");
    error.line = line;
    error.text = line >= 1 && line <= lines.size() ? lines[line - 1] : QString();
    if (error.text.endsWith(QLatin1Char('\r')))
        error.text.chop(1);
    error.column = column > 0 ? column - 1 : guessColumn(error.description, error.text);
    return error;
}

int JsEngine::handleOf(const std::shared_ptr<DispatchObject> &object)
{
    auto it = m_handles.constFind(object.get());
    if (it != m_handles.cend())
        return *it;
    const int handle = int(m_held.size());
    m_handles.insert(object.get(), handle);
    m_held.push_back({object, QJSValue()});
    return handle;
}

QJSValue JsEngine::proxyOf(const std::shared_ptr<DispatchObject> &object)
{
    const int handle = handleOf(object);
    if (const QJSValue &proxy = m_held[size_t(handle)].proxy; !proxy.isUndefined())
        return proxy;
    // Objects sharing a member table share the binding's knowledge of their members.
    int hostClass = 0;
    if (const void *table = object->memberTable()) {
        hostClass = m_classes.value(table);
        if (hostClass == 0) {
            hostClass = int(m_classes.size()) + 1;
            m_classes.insert(table, hostClass);
        }
    }
    QJSValue proxy = m_wrap.call({QJSValue(handle), QJSValue(hostClass)});
    m_held[size_t(handle)].proxy = proxy;
    return proxy;
}

DispatchObject *JsEngine::objectOf(int handle) const
{
    return handle > 0 && size_t(handle) < m_held.size() ? m_held[size_t(handle)].object.get() : nullptr;
}

QJSValue JsEngine::toJs(const Variant &value)
{
    switch (value.kind()) {
    case Variant::Kind::Empty:
        return QJSValue(QJSValue::UndefinedValue);
    case Variant::Kind::Null:
        return QJSValue(QJSValue::NullValue);
    case Variant::Kind::Boolean:
        return QJSValue(value.boolValue());
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
        return QJSValue(int(*value.toLong()));
    case Variant::Kind::Single:
    case Variant::Kind::Double:
    case Variant::Kind::Byte:
    case Variant::Kind::Currency:
        return QJSValue(*value.toDouble());
    case Variant::Kind::Date:
        return m_engine.toScriptValue(dateTimeOf(value.dateValue()));
    case Variant::Kind::String:
        return QJSValue(value.stringValue());
    case Variant::Kind::Object: {
        if (value.isNothing())
            return QJSValue(QJSValue::NullValue);
        // A JavaScript value coming home is itself again.
        DispatchObject *object = value.objectValue().get();
        if (typeid(*object) == typeid(JsObjectRef))
            if (auto *ref = static_cast<JsObjectRef *>(object); ref->engine() == this)
                return ref->value();
        return proxyOf(value.objectValue());
    }
    case Variant::Kind::Array: {
        const VariantArray &array = value.arrayValue();
        QJSValue out = m_engine.newArray(uint(array.items.size()));
        for (int i = 0; i < array.items.size(); ++i)
            out.setProperty(quint32(i), toJs(array.items[i]));
        out.setPrototype(m_hostArrayPrototype);
        return out;
    }
    }
    return QJSValue();
}

Variant JsEngine::fromJs(const QJSValue &value)
{
    if (value.isUndefined())
        return Variant();
    if (value.isNull())
        return Variant::null();
    if (value.isBool())
        return Variant(value.toBool());
    if (value.isNumber()) {
        const double d = value.toNumber();
        // A whole number becomes Long, any other a Double.
        if (std::trunc(d) == d && d >= -2147483648.0 && d <= 2147483647.0 && !(d == 0 && std::signbit(d)))
            return Variant::fromLong(qint32(d));
        return Variant(d);
    }
    if (value.isString())
        return Variant(value.toString());
    if (value.isDate())
        return Variant::fromDate(serialOf(value.toDateTime()));
    if (value.isArray()) {
        const int length = value.property(QStringLiteral("length")).toInt();
        QVector<Variant> items;
        items.reserve(length);
        for (int i = 0; i < length; ++i)
            items.append(fromJs(value.property(quint32(i))));
        return Variant::fromList(std::move(items));
    }
    if (value.isObject() || value.isCallable()) {
        const QJSValue handle = value.property(m_handleKey);
        if (handle.isNumber())
            if (DispatchObject *object = objectOf(handle.toInt()))
                return Variant::fromObject(object->shared_from_this());
        auto ref = std::make_shared<JsObjectRef>(this, value);
        m_references.push_back(ref);
        return Variant::fromObject(ref);
    }
    return Variant();
}

Result<Variant> JsEngine::hostCall(DispatchObject *object, const QString &name, int number, CallKind kind,
                                   QVector<Variant> &args, const Variant &value)
{
    if (!object)
        return scriptError(ErrorNumber::ObjectRequired);
    Result<Variant> result =
        number >= 0 ? object->invokeNumber(number, kind, args, value) : object->invoke(name, kind, args, value);
    // Looked at once a call is over: the time it took counts.
    if (m_hostCallHook)
        m_hostCallHook(false);
    return result;
}

QJSValue JsEngine::fail(const ScriptError &error)
{
    m_lastError = error;
    m_pendingError = m_engine.newErrorObject(QJSValue::GenericError, error.description);
    m_pendingError.setProperty(QStringLiteral("number"), QJSValue(jsErrorNumber(error)));
    m_pendingError.setProperty(QStringLiteral("description"), QJSValue(error.description));
    return m_failure;
}

} // namespace sorvane

#pragma once

#include "core/DispatchObject.h"
#include "core/Variant.h"

#include <QHash>
#include <QJSEngine>
#include <QJSValue>

#include <functional>
#include <memory>
#include <vector>

namespace sorvane {

class JsBridge;
class JsObjectRef;

// One JavaScript engine for one script run. Host objects are exposed as
// proxies over the late-bound dispatch: properties read and write as
// properties, methods and indexed properties are functions, an object
// called as a function reaches its default member, and an indexed property
// called with one argument more than its indexes is assigned the last one.
class JsEngine {
public:
    using Factory = std::function<Result<Variant>(const QString &progId)>;
    // Told when a call into the host ends (entering is false), so the
    // script's running time can be looked at there.
    using HostCallHook = std::function<void(bool entering)>;

    explicit JsEngine(Factory create);
    ~JsEngine();
    JsEngine(const JsEngine &) = delete;
    JsEngine &operator=(const JsEngine &) = delete;

    // A global name for a value (objects become proxies).
    void expose(const QString &name, const Variant &value);
    // Runs code; the error carries source, line, column (0-based) and the line's text.
    Status execute(const QString &code);
    // Stops the running script at its next step; callable from any thread.
    void interrupt();
    bool wasInterrupted() const;
    void setHostCallHook(HostCallHook hook) { m_hostCallHook = std::move(hook); }

    QJSValue toJs(const Variant &value);
    Variant fromJs(const QJSValue &value);

    QJSEngine &engine() { return m_engine; }

private:
    friend class JsBridge;

    int handleOf(const std::shared_ptr<DispatchObject> &object);
    // The object's one proxy, made on first use.
    QJSValue proxyOf(const std::shared_ptr<DispatchObject> &object);
    // The engine holds every object it has a handle for until it ends.
    DispatchObject *objectOf(int handle) const;
    // Runs a host call, by number when that is not negative (else by name),
    // and then the hook; a failure is thrown in JavaScript.
    Result<Variant> hostCall(DispatchObject *object, const QString &name, int number, CallKind kind,
                             QVector<Variant> &args, const Variant &value);
    // Keeps the error for JavaScript to throw and returns the failure marker.
    QJSValue fail(const ScriptError &error);

    QJSEngine m_engine;
    JsBridge *m_bridge;
    QJSValue m_wrap;
    QJSValue m_failure;
    QJSValue m_methodMarker;
    QJSValue m_absentMarker;
    QJSValue m_hostArrayPrototype;
    QJSValue m_pendingError;
    ScriptError m_lastError;
    QString m_handleKey;
    Factory m_create;
    HostCallHook m_hostCallHook;
    // A handle is a position here; position 0 stands for no object.
    struct Held {
        std::shared_ptr<DispatchObject> object;
        QJSValue proxy;
    };
    std::vector<Held> m_held{1};
    QHash<const DispatchObject *, int> m_handles;
    QHash<const void *, int> m_classes; // member table → class number for the binding
    std::vector<std::weak_ptr<JsObjectRef>> m_references;
};

// The number JavaScript sees for a host error, as the scripts' platform
// gives it: the error's code read as a signed 32-bit number.
qint32 jsErrorNumber(const ScriptError &error);

} // namespace sorvane

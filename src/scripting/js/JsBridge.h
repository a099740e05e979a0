#pragma once

#include <QJSValue>
#include <QObject>
#include <QString>

namespace sorvane {

class JsEngine;

// What JavaScript calls to reach host objects: each host object lives in
// the engine's handle table and shows in JavaScript as a proxy that asks
// the bridge for its members. A failure returns the failure marker, and the
// binding throws the kept error, which carries the platform's number.
class JsBridge : public QObject {
    Q_OBJECT

public:
    explicit JsBridge(JsEngine &engine) : m_engine(engine) {}

    // 0: no such member; 1: property; 2: indexed property; 3: method.
    Q_INVOKABLE int member(int handle, const QString &name);
    // A property's value (or the failure marker); for a method or an
    // indexed property the method marker, for no member the absent marker.
    Q_INVOKABLE QJSValue access(int handle, const QString &name);
    Q_INVOKABLE QJSValue get(int handle, const QString &name);
    // `count` is the length of `arguments` (an array or an arguments object).
    Q_INVOKABLE QJSValue call(int handle, const QString &name, int count, const QJSValue &arguments);
    // For an object with a member table: the member's code,
    // ((number + 1) * 64 + most arguments + 1) * 4 + kind, where number -1
    // means the member is reached by name and most arguments -1 means any
    // number (at most 62 are told); 0 when there is no such member.
    Q_INVOKABLE int describe(int handle, const QString &name);
    // The same by the member's number, which holds for its host class.
    Q_INVOKABLE QJSValue getAt(int handle, int number);
    Q_INVOKABLE QJSValue callAt(int handle, int number, int count, const QJSValue &arguments);
    // Arguments crossing one by one cost less than an array.
    Q_INVOKABLE QJSValue callAt0(int handle, int number);
    Q_INVOKABLE QJSValue callAt1(int handle, int number, const QJSValue &first);
    Q_INVOKABLE QJSValue callAt2(int handle, int number, const QJSValue &first, const QJSValue &second);
    Q_INVOKABLE QJSValue set(int handle, const QString &name, const QJSValue &value);
    // The texts of what a collection holds, each once; none for any other object.
    Q_INVOKABLE QJSValue keys(int handle);
    Q_INVOKABLE QJSValue items(int handle);
    Q_INVOKABLE QJSValue primitive(int handle);
    Q_INVOKABLE QJSValue create(const QString &progId);
    // Keeps the numbered error and returns the failure marker.
    Q_INVOKABLE QJSValue raise(int number);
    Q_INVOKABLE QJSValue takeError();

private:
    // A property's value, by name or by number when that is not negative.
    QJSValue read(int handle, const QString &name, int number);
    // A call by name, or by number when that is not negative, with its
    // arguments, each the script's own value (so that an array passed by
    // reference can be written back).
    template <typename Argument>
    QJSValue callWith(int handle, const QString &name, int number, int count, const Argument &argument);

    JsEngine &m_engine;
};

} // namespace sorvane

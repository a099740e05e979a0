#pragma once

#include <QJSEngine>
#include <QJSValue>

namespace sorvane {

// The extensions the scripts' platform gave its JavaScript: `Enumerator`,
// `VBArray`, `ScriptEngine()` and its versions, `CollectGarbage()`,
// `GetObject()`, `RegExpError`, `Date.prototype.getVarDate`, the String HTML
// methods in the platform's spelling, and errors that carry `number` and
// `description` (`new Error(42, "text")` included). Installed in an engine
// before any script runs; none shows as an enumerable name.
//
// `host` reaches the binding: `create(progId)`, `itemsOf(value)` (the
// elements of a host collection or a copy of an array, else error 451) and
// `raise(number)` (throws the numbered error). Gives the prototype arrays
// coming from the host take, which answers `toArray()` as well.
QJSValue installJsExtensions(QJSEngine &engine, const QJSValue &host);

} // namespace sorvane

#include "scripting/js/JsExtensions.h"

namespace sorvane {
namespace {

const char kExtensions[] = R"JS(
(function (global, host) {
    'use strict';
    // Taken before any script runs: a script may assign anything to the globals.
    var apply = Reflect.apply, construct = Reflect.construct, defineProperty = Object.defineProperty,
        createObject = Object.create, isArray = Array.isArray, slice = Array.prototype.slice,
        toText = String, ErrorOf = Error, TypeErrorOf = TypeError, DateOf = Date, SymbolOf = Symbol,
        getTime = Date.prototype.getTime, replace = String.prototype.replace, test = RegExp.prototype.test;

    // Added names are there but not enumerable, as the language's own are.
    function hidden(object, name, value) {
        defineProperty(object, name, { value: value, writable: true, enumerable: false, configurable: true });
    }
    function methods(type, table) {
        for (var name in table)
            hidden(type.prototype, name, table[name]);
    }
    var state = SymbolOf('state');

    // Errors: the engine's own carry the platform's number for their kind;
    // `new Error(number, description)` keeps both.
    var numbers = createObject(null);
    numbers.TypeError = -2146823281;      // 5007 Object expected
    numbers.ReferenceError = -2146823279; // 5009 'x' is undefined
    numbers.SyntaxError = -2146827286;    // 1002 Syntax error
    numbers.RangeError = -2146823259;     // 5029 Array length must be a finite positive integer
    numbers.URIError = -2146823263;       // 5025 The URI to be decoded is not a valid encoding
    numbers.EvalError = -2146823266;      // 5022 Exception thrown and not caught
    numbers.RegExpError = -2146823271;    // 5017 Syntax error in regular expression
    var notAFunction = /is not a function/, notAConstructor = /is not a constructor/;
    function numberOf(error) {
        var name = error.name;
        if (name === 'TypeError') {
            var text = toText(error.message);
            if (apply(test, notAFunction, [text]))
                return -2146827850; // 438 Object doesn't support this property or method
            if (apply(test, notAConstructor, [text]))
                return -2146827843; // 445 Object doesn't support this action
        }
        var number = typeof name === 'string' ? numbers[name] : undefined;
        return number === undefined ? 0 : number;
    }
    var errorPrototype = ErrorOf.prototype;
    defineProperty(errorPrototype, 'number', {
        get: function () { return numberOf(this); },
        set: function (value) { hidden(this, 'number', value); },
        enumerable: false, configurable: true
    });
    defineProperty(errorPrototype, 'description', {
        get: function () { return this.message; },
        set: function (value) { hidden(this, 'description', value); },
        enumerable: false, configurable: true
    });
    function numbered(args) {
        return typeof args[0] === 'number' && args.length >= 2;
    }
    function messageArguments(args) {
        return numbered(args) ? [args[1]] : apply(slice, args, []);
    }
    function withNumber(error, args) {
        if (numbered(args))
            hidden(error, 'number', args[0]);
        return error;
    }
    // The engine's instanceof takes no proxy on its right, so this is a
    // function of its own sharing the original's prototype.
    function PlatformError() {
        return withNumber(construct(ErrorOf, messageArguments(arguments), new.target || PlatformError), arguments);
    }
    defineProperty(PlatformError, 'prototype', { value: errorPrototype, writable: false, enumerable: false,
                                                 configurable: false });
    defineProperty(PlatformError, 'name', { value: 'Error', configurable: true });
    hidden(errorPrototype, 'constructor', PlatformError);
    function RegExpError() {
        return withNumber(construct(ErrorOf, messageArguments(arguments), RegExpError), arguments);
    }
    RegExpError.prototype = createObject(errorPrototype);
    hidden(RegExpError.prototype, 'constructor', RegExpError);
    hidden(RegExpError.prototype, 'name', 'RegExpError');
    function failure(number, text) {
        var error = new ErrorOf(text);
        hidden(error, 'number', number);
        return error;
    }

    // Enumerator: walks what a host collection holds, or an array.
    function Enumerator(collection) {
        if (!(this instanceof Enumerator))
            return new Enumerator(collection);
        hidden(this, state, { items: host.itemsOf(collection), at: 0 });
    }
    methods(Enumerator, {
        atEnd: function () { var s = this[state]; return s.at >= s.items.length; },
        item: function () { var s = this[state]; return s.at < s.items.length ? s.items[s.at] : undefined; },
        moveNext: function () { var s = this[state]; if (s.at < s.items.length) s.at++; },
        moveFirst: function () { this[state].at = 0; }
    });

    // VBArray: a host array seen as the platform's safe array (one
    // dimension, counted from 0).
    function VBArray(array) {
        if (!(this instanceof VBArray))
            return new VBArray(array);
        if (array instanceof VBArray)
            array = array[state];
        else if (!isArray(array))
            throw failure(-2146823275, 'VBArray expected'); // 5013
        hidden(this, state, apply(slice, array, []));
    }
    function checkDimension(dimension) {
        if (dimension !== undefined && +dimension !== 1)
            host.raise(9);
    }
    methods(VBArray, {
        toArray: function () { return apply(slice, this[state], []); },
        getItem: function (index) {
            var items = this[state], at = +index;
            if (arguments.length !== 1 || !(at >= 0 && at < items.length))
                host.raise(9);
            return items[at | 0];
        },
        lbound: function (dimension) { checkDimension(dimension); return 0; },
        ubound: function (dimension) { checkDimension(dimension); return this[state].length - 1; },
        dimensions: function () { return 1; }
    });
    var hostArrayPrototype = createObject(Array.prototype);
    hidden(hostArrayPrototype, 'toArray', function toArray() { return apply(slice, this, []); });

    hidden(DateOf.prototype, 'getVarDate', function getVarDate() {
        return new DateOf(apply(getTime, this, []));
    });

    // The String HTML methods write the platform's upper-case tags; a
    // quote in an attribute's value is written as an entity.
    var quote = /"/g;
    function textOf(self) {
        if (self === undefined || self === null)
            throw new TypeErrorOf('String.prototype method called on null or undefined');
        return toText(self);
    }
    function tagged(name, tag, attribute) {
        hidden(String.prototype, name, attribute === undefined
            ? function () { return '<' + tag + '>' + textOf(this) + '</' + tag + '>'; }
            : function (value) {
                return '<' + tag + ' ' + attribute + '="' + apply(replace, toText(value), [quote, '&quot;']) + '">' +
                       textOf(this) + '</' + tag + '>';
            });
    }
    var tags = [['anchor', 'A', 'NAME'], ['big', 'BIG'], ['blink', 'BLINK'], ['bold', 'B'], ['fixed', 'TT'],
                ['fontcolor', 'FONT', 'COLOR'], ['fontsize', 'FONT', 'SIZE'], ['italics', 'I'], ['link', 'A', 'HREF'],
                ['small', 'SMALL'], ['strike', 'STRIKE'], ['sub', 'SUB'], ['sup', 'SUP']];
    for (var i = 0; i < tags.length; i++)
        tagged(tags[i][0], tags[i][1], tags[i][2]);

    var globals = {
        Error: PlatformError,
        RegExpError: RegExpError,
        Enumerator: Enumerator,
        VBArray: VBArray,
        // The engine level the platform's scripts were written for.
        ScriptEngine: function ScriptEngine() { return 'JScript'; },
        ScriptEngineMajorVersion: function ScriptEngineMajorVersion() { return 5; },
        ScriptEngineMinorVersion: function ScriptEngineMinorVersion() { return 8; },
        ScriptEngineBuildVersion: function ScriptEngineBuildVersion() { return 16384; },
        // The engine collects on its own.
        CollectGarbage: function CollectGarbage() {},
        // Only what ActiveXObject creates: by its class, else by the name given.
        GetObject: function GetObject(path, progId) {
            if (progId !== undefined && progId !== null)
                return host.create(progId);
            if (path !== undefined && path !== null && toText(path) !== '')
                return host.create(path);
            host.raise(429);
        }
    };
    for (var name in globals)
        hidden(global, name, globals[name]);
    return hostArrayPrototype;
})
)JS";

} // namespace

QJSValue installJsExtensions(QJSEngine &engine, const QJSValue &host)
{
    return engine.evaluate(QString::fromUtf8(kExtensions), QStringLiteral("binding"))
        .call({engine.globalObject(), host});
}

} // namespace sorvane

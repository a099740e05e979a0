#pragma once

#include "core/ErrorTable.h"

#include <QString>

#include <utility>
#include <variant>

namespace sorvane {

// An error as the scripts' platform reports it: a number from the error
// table, its description, and where it happened when a script raised it.
struct ScriptError {
    qint32 number = 0;
    QString description;
    QString source;
    int line = 0;      // 1-based; 0 when not inside a script
    int column = 0;    // 0-based, as the script engines report it
    QString text;      // the source line at the error

    // The platform's code as shown in error reports: Number OR 0x800A0000.
    quint32 code() const { return static_cast<quint32>(number) | 0x800A0000u; }
};

// Builds an error from the table of known numbers (ErrorTable.h).
ScriptError scriptError(ErrorNumber number);
ScriptError scriptError(ErrorNumber number, const QString &description);

// A value or the error that prevented it.
template <typename T>
class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(ScriptError error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T &value() { return std::get<0>(m_state); }
    const T &value() const { return std::get<0>(m_state); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    const ScriptError &error() const { return std::get<1>(m_state); }

    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, ScriptError> m_state;
};

// The result of an operation that yields nothing.
class Status {
public:
    Status() = default;
    Status(ScriptError error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const ScriptError &error() const { return m_error; }

private:
    ScriptError m_error;
    bool m_failed = false;
};

namespace detail {
template <typename T>
T takeValue(Result<T> &result)
{
    return std::move(*result);
}
inline void takeValue(Status &) {}
} // namespace detail

} // namespace sorvane

// Leaves the enclosing function with the error when the Result or Status it is
// given failed; otherwise the expression's value is the Result's value (a
// statement expression, which GCC and Clang both take):
//     QString path = TRY(args.text(0));
//     TRY(file.write(data));
#define TRY(...)                                                                                                       \
    ({                                                                                                                 \
        auto sorvaneTried_ = (__VA_ARGS__);                                                                            \
        if (!sorvaneTried_)                                                                                            \
            return sorvaneTried_.error();                                                                              \
        ::sorvane::detail::takeValue(sorvaneTried_);                                                                   \
    })

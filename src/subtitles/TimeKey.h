#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace sorvane {

class StringPool;

// A play position of one-second resolution, written "hh:mm:ss" (hours 00 to
// 23). Arithmetic on positions is time-of-day arithmetic: it wraps past
// 23:59:59 in both directions, and comparisons are in seconds of the day.
namespace TimeKey {

constexpr int kSecondsPerDay = 24 * 60 * 60;

// Seconds of the day as "hh:mm:ss"; any whole number is taken modulo a day.
QString format(qint64 seconds);
// The same, made in `pool`.
QString format(qint64 seconds, StringPool &pool);
// The position with milliseconds, as the menu heading shows it: "hh:mm:ss,mmm".
QString withMillis(const QString &key, qint64 millis);
// Seconds of the day of "h:m:s" or "h:m" with one- or two-digit fields and
// a valid time of day; nullopt for anything else.
std::optional<int> parse(QStringView text);
// Whether `later` is at least one second after `earlier`, in seconds of the day.
inline bool isLater(int later, int earlier) { return later - earlier > 0; }

} // namespace TimeKey
} // namespace sorvane

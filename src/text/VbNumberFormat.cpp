#include "text/VbNumberFormat.h"

#include "core/Variant.h"

#include <QStringList>
#include <QVector>

#include <cmath>

namespace sorvane {

namespace {

QStringList splitSections(const QString &f)
{
    QStringList sections;
    QString current;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = f.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? f.size() - 1 : close;
            current += f.mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('\\') && i + 1 < f.size()) {
            current += c;
            current += f[++i];
        } else if (c == QLatin1Char(';')) {
            sections.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    sections.append(current);
    return sections;
}

enum class NumKind { Literal, Digit0, DigitHash, Point, Percent, Exponent };

struct NumItem {
    NumKind kind;
    QString text; // literal text; for Exponent the sign mode "+" or "-" and the letter
};

struct NumPattern {
    QVector<NumItem> items;
    int intPlaceholders = 0, intMinDigits = 0, fracPlaceholders = 0, percent = 0, scale = 0;
    bool grouping = false, point = false;
    int expIndex = -1, expMinDigits = 0;
};

NumPattern parseNumberPattern(const QString &f)
{
    NumPattern p;
    auto literal = [&p](const QString &s) {
        if (!p.items.isEmpty() && p.items.last().kind == NumKind::Literal)
            p.items.last().text += s;
        else
            p.items.append({NumKind::Literal, s});
    };
    int pendingCommas = 0; // commas since the last integer placeholder
    bool seenZero = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f[i];
        const bool inInteger = !p.point && p.expIndex < 0;
        if (c == QLatin1Char('"')) {
            const qsizetype close = f.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? f.size() : close;
            literal(f.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == QLatin1Char('\\')) {
            if (i + 1 < f.size())
                literal(QString(f[++i]));
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            const NumKind kind = c == QLatin1Char('0') ? NumKind::Digit0 : NumKind::DigitHash;
            if (p.expIndex >= 0) {
                ++p.expMinDigits; // written with the exponent, not in place
                continue;
            }
            if (inInteger) {
                if (pendingCommas > 0 && p.intPlaceholders > 0)
                    p.grouping = true;
                pendingCommas = 0;
                ++p.intPlaceholders;
                seenZero = seenZero || kind == NumKind::Digit0;
                if (seenZero)
                    ++p.intMinDigits;
            } else {
                ++p.fracPlaceholders;
            }
            p.items.append({kind, {}});
        } else if (c == QLatin1Char('.') && !p.point && p.expIndex < 0) {
            p.scale += pendingCommas;
            pendingCommas = 0;
            p.point = true;
            p.items.append({NumKind::Point, {}});
        } else if (c == QLatin1Char(',') && inInteger) {
            if (p.intPlaceholders > 0)
                ++pendingCommas;
        } else if (c == QLatin1Char('%')) {
            ++p.percent;
            p.items.append({NumKind::Percent, {}});
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && p.expIndex < 0 && i + 1 < f.size() &&
                   (f[i + 1] == QLatin1Char('+') || f[i + 1] == QLatin1Char('-')) && p.intPlaceholders > 0) {
            pendingCommas = 0;
            p.expIndex = int(p.items.size());
            p.items.append({NumKind::Exponent, QString(f[i + 1]) + c});
            ++i;
        } else {
            literal(QString(c));
        }
    }
    if (!p.point && p.expIndex < 0)
        p.scale += pendingCommas;
    return p;
}

// Digits of v >= 0 rounded half away from zero to `decimals` places, taken
// from its 15 significant digits: the integer digits without leading zeros
// (empty for zero) and exactly `decimals` fraction digits.
void decimalDigits(double v, int decimals, QString *integer, QString *fraction)
{
    QString digits;
    qsizetype point = 0;
    if (v != 0) {
        const QString e = QString::number(v, 'e', 14); // d.ddddddddddddddde±x
        const qsizetype ePos = e.indexOf(QLatin1Char('e'));
        digits = e.left(1) + e.mid(2, ePos - 2);
        point = e.mid(ePos + 1).toInt() + 1;
    } else {
        digits = QStringLiteral("0");
        point = 1;
    }
    if (point < 0) {
        digits = QString(-point, QLatin1Char('0')) + digits;
        point = 0;
    }
    if (point > digits.size())
        digits += QString(point - digits.size(), QLatin1Char('0'));
    const qsizetype keep = point + decimals;
    if (keep < digits.size()) {
        const bool up = digits[keep] >= QLatin1Char('5');
        digits.truncate(keep);
        if (up) {
            qsizetype k = keep - 1;
            for (; k >= 0; --k) {
                if (digits[k] == QLatin1Char('9')) {
                    digits[k] = QLatin1Char('0');
                } else {
                    digits[k] = QChar(digits[k].unicode() + 1);
                    break;
                }
            }
            if (k < 0) {
                digits.prepend(QLatin1Char('1'));
                ++point;
            }
        }
    } else {
        digits += QString(keep - digits.size(), QLatin1Char('0'));
    }
    QString in = digits.left(point);
    qsizetype lead = 0;
    while (lead < in.size() && in[lead] == QLatin1Char('0'))
        ++lead;
    *integer = in.mid(lead);
    *fraction = digits.mid(point, decimals);
}

// The pattern applied to v >= 0; `shownNonZero` tells whether a digit other
// than 0 was written.
QString renderNumber(double v, const NumPattern &p, bool *shownNonZero)
{
    v *= std::pow(100.0, p.percent);
    v /= std::pow(1000.0, p.scale);

    int exponent = 0;
    if (p.expIndex >= 0 && v != 0) {
        const int intDigits = std::max(1, p.intPlaceholders);
        exponent = int(std::floor(std::log10(v))) - (intDigits - 1);
        double mantissa = v / std::pow(10.0, exponent);
        QString in, fr;
        decimalDigits(mantissa, p.fracPlaceholders, &in, &fr);
        if (in.size() > intDigits) { // rounding carried into a new digit
            ++exponent;
            mantissa = v / std::pow(10.0, exponent);
        }
        v = mantissa;
    }

    QString integer, fraction;
    decimalDigits(v, p.fracPlaceholders, &integer, &fraction);
    if (integer.size() < p.intMinDigits)
        integer = QString(p.intMinDigits - integer.size(), QLatin1Char('0')) + integer;
    // Trailing fraction zeros go where the placeholder is "#".
    QVector<NumKind> fracKinds;
    {
        bool afterPoint = false;
        for (qsizetype k = 0; k < p.items.size(); ++k) {
            if (int(k) == p.expIndex)
                break;
            if (p.items[k].kind == NumKind::Point)
                afterPoint = true;
            else if (afterPoint && (p.items[k].kind == NumKind::Digit0 || p.items[k].kind == NumKind::DigitHash))
                fracKinds.append(p.items[k].kind);
        }
    }
    qsizetype fracLength = fraction.size();
    while (fracLength > 0 && fracKinds[fracLength - 1] == NumKind::DigitHash &&
           fraction[fracLength - 1] == QLatin1Char('0'))
        --fracLength;

    *shownNonZero = false;
    for (QChar d : integer + fraction.left(fracLength))
        *shownNonZero = *shownNonZero || d != QLatin1Char('0');

    QString out;
    int intSeen = 0;
    qsizetype intEmitted = 0, fracEmitted = 0;
    bool afterPoint = false;
    const qsizetype intTotal = integer.size();
    auto emitInteger = [&](qsizetype count) {
        count = std::min(count, intTotal - intEmitted);
        for (qsizetype k = 0; k < count; ++k) {
            out += integer[intEmitted];
            ++intEmitted;
            const qsizetype fromRight = intTotal - intEmitted;
            if (p.grouping && fromRight > 0 && fromRight % 3 == 0)
                out += QLatin1Char(',');
        }
    };
    for (qsizetype k = 0; k < p.items.size(); ++k) {
        const NumItem &item = p.items[k];
        if (int(k) == p.expIndex) {
            const bool negative = exponent < 0;
            out += item.text[1];
            if (negative)
                out += QLatin1Char('-');
            else if (item.text[0] == QLatin1Char('+'))
                out += QLatin1Char('+');
            out += QString::number(std::abs(exponent)).rightJustified(p.expMinDigits, QLatin1Char('0'));
            continue;
        }
        switch (item.kind) {
        case NumKind::Literal: out += item.text; break;
        case NumKind::Percent: out += QLatin1Char('%'); break;
        case NumKind::Point:
            if (!afterPoint)
                emitInteger(intTotal - intEmitted);
            afterPoint = true;
            out += QLatin1Char('.');
            break;
        case NumKind::Digit0:
        case NumKind::DigitHash:
            if (!afterPoint) {
                ++intSeen;
                // The first placeholder takes every digit the others cannot hold.
                const qsizetype remainingPlaceholders = p.intPlaceholders - intSeen;
                const qsizetype available = intTotal - intEmitted - remainingPlaceholders;
                if (available > 0)
                    emitInteger(available);
            } else if (fracEmitted < fracLength) {
                out += fraction[fracEmitted++];
            } else {
                ++fracEmitted;
            }
            break;
        case NumKind::Exponent: break;
        }
    }
    return out;
}

} // namespace

QString formatNumberPattern(double value, const QString &format)
{
    const QStringList sections = splitSections(format);
    QString section = sections[0];
    bool sign = value < 0;
    double magnitude = std::fabs(value);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty()) {
        section = sections[2];
    } else if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        section = sections[1];
        sign = false;
    }
    bool nonZero = false;
    const QString body = renderNumber(magnitude, parseNumberPattern(section), &nonZero);
    return sign && nonZero ? QLatin1Char('-') + body : body;
}

} // namespace sorvane

#include "MailNumbers.h"

#include <cmath>
#include <limits>

#include <QString>

namespace MailNumbers {

namespace {

bool Skipped(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'); }

// The text without the characters the reader skips.
QString Packed(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!Skipped(c)) out.append(c);
    return out;
}

double RadixNumber(const QString& t, qsizetype from, int radix) {
    double v = 0;
    for (qsizetype i = from; i < t.size(); ++i) {
        bool ok = false;
        const int d = QStringView(t).mid(i, 1).toInt(&ok, radix);
        if (!ok) break;
        v = v * radix + d;
    }
    return v;
}

bool IsDigit(const QString& t, qsizetype i) {
    return i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9');
}

template <class T>
std::optional<T> Rounded(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value);  // the default mode rounds a half to even
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max())) return std::nullopt;
    return static_cast<T>(r);
}

}  // namespace

double LeadingNumber(QStringView text) {
    const QString t = Packed(text);
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) return RadixNumber(t, 2, 16);
    if (t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) return RadixNumber(t, 2, 8);
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('+') || t[end] == QLatin1Char('-'))) ++end;
    const qsizetype digitsFrom = end;
    while (IsDigit(t, end)) ++end;
    qsizetype mantissaDigits = end - digitsFrom;
    if (end < t.size() && t[end] == QLatin1Char('.')) {
        qsizetype f = end + 1;
        while (IsDigit(t, f)) ++f;
        mantissaDigits += f - end - 1;
        end = f;
    }
    if (mantissaDigits == 0) return 0;
    // An exponent counts only when digits follow it.
    if (end < t.size() && QStringLiteral("eEdD").contains(t[end])) {
        qsizetype e = end + 1;
        if (e < t.size() && (t[e] == QLatin1Char('+') || t[e] == QLatin1Char('-'))) ++e;
        if (IsDigit(t, e)) {
            while (IsDigit(t, e)) ++e;
            QString number = t.left(end);
            number += QLatin1Char('e');
            number += QStringView(t).mid(end + 1, e - end - 1);
            return number.toDouble();
        }
    }
    return t.left(end).toDouble();
}

std::optional<int16_t> ToInt16(double value) { return Rounded<int16_t>(value); }
std::optional<int32_t> ToInt32(double value) { return Rounded<int32_t>(value); }

}  // namespace MailNumbers

#include "modCrypto.h"

#include <cmath>
#include <random>

#include <QDateTime>

#include "ReportError.h"

namespace modCrypto {

namespace {

constexpr bool kShowDialog = false;
constexpr bool kLogToScreen = true;

constexpr int kKeyDigits = 8;
constexpr int kDigitValues = 16;
constexpr int kWrap = 255;  // the format wraps at 255, not 256
constexpr int kMaxByte = 255;
constexpr qsizetype kMaskLength = 2;

void Report(const QString& Description, const QString& Routine) {
    modGlobalFunctions::ReportError(Description, QString(), QString(), Routine, kShowDialog, kLogToScreen);
}

std::function<double()>& InstalledSource() {
    static std::function<double()> source;
    return source;
}

double Draw() {
    if (InstalledSource()) return InstalledSource()();
    static std::mt19937_64 generator(static_cast<uint64_t>(QDateTime::currentMSecsSinceEpoch()));
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

int Wrapped(int v) {
    if (v > kMaxByte) return v - kWrap;
    if (v < 0) return v + kWrap;
    return v;
}

QString Hex2(int v) { return QString::number(v, 16).toUpper().rightJustified(2, QLatin1Char('0')); }

// One hexadecimal digit, either case; -1 otherwise.
int HexDigit(QChar c) {
    if (c.unicode() > 0x7F) return -1;
    return static_cast<int>(QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper()));
}

// Two hexadecimal digits, either case, nothing else; -1 otherwise.
int HexByte(QStringView two) {
    if (two.size() != 2) return -1;
    int v = 0;
    for (QChar c : two) {
        const int d = HexDigit(c);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

// Odd positions (1-based) add the key digit's code, even ones subtract it.
bool Adds(qsizetype index0) { return index0 % 2 == 0; }

}  // namespace

void InstallRandomSource(std::function<double()> source) { InstalledSource() = std::move(source); }

QString DoubleToBinary(double Number) {
    const auto value = static_cast<int64_t>(Number);
    QString digits;
    for (int64_t power = 1; power > 0 && power <= value; power <<= 1)
        digits.prepend((value & power) ? QLatin1Char('1') : QLatin1Char('0'));
    return digits;
}

double BinaryToDouble(const QString& Digits) {
    double value = 0, power = 1;
    for (qsizetype i = Digits.size() - 1; i >= 0; --i, power *= 2)
        if (Digits[i] == QLatin1Char('1')) value += power;
    return value;
}

QString EncryptPassword(const QString& Password) {
    if (Password.isEmpty()) return QString();
    for (QChar c : Password) {
        if (c.unicode() > kMaxByte) {
            Report(QStringLiteral("The password holds a character that is not a byte"),
                   QStringLiteral("EncryptPassword"));
            return QString();
        }
    }
    QChar key[kKeyDigits];
    QString bits;
    for (int k = 0; k < kKeyDigits; ++k) {
        key[k] = QString::number(static_cast<int>(std::floor(kDigitValues * Draw())), 16).toUpper().front();
        bits.append(static_cast<int>(std::floor(2 * Draw())) ? QLatin1Char('1') : QLatin1Char('0'));
    }
    QString text;
    text.reserve(kMaskLength + kKeyDigits + 2 * Password.size());
    for (qsizetype i = 0; i < Password.size(); ++i) {
        const int b = key[i % kKeyDigits].unicode();
        const int a = Password[i].unicode();
        text += Hex2(Wrapped(Adds(i) ? a + b : a - b));
    }
    for (int k = 0; k < kKeyDigits; ++k) {
        if (bits[k] == QLatin1Char('1'))
            text.prepend(key[k]);
        else
            text.append(key[k]);
    }
    return Hex2(static_cast<int>(BinaryToDouble(bits))) + text;
}

QString DecryptPassword(const QString& Scrambled) {
    if (Scrambled.isEmpty()) return QString();
    const QString routine = QStringLiteral("DecryptPassword");
    // The text itself is never reported: it is the password in thin disguise.
    const auto fail = [&](const QString& why) {
        Report(QStringLiteral("Malformed scrambled password : %1").arg(why), routine);
        return QString();
    };
    const int mask = HexByte(QStringView(Scrambled).left(kMaskLength));
    if (mask < 0) return fail(QStringLiteral("the mask is not hexadecimal"));
    const QString bits = DoubleToBinary(mask).rightJustified(kKeyDigits, QLatin1Char('0'));
    QString text = Scrambled.mid(kMaskLength);
    if (text.size() < kKeyDigits) return fail(QStringLiteral("the key is incomplete"));
    QChar key[kKeyDigits];
    for (int k = kKeyDigits - 1; k >= 0; --k) {
        if (bits[k] == QLatin1Char('1')) {
            key[k] = text.front();
            text.remove(0, 1);
        } else {
            key[k] = text.back();
            text.chop(1);
        }
        // Key digits count by their character code, so a lower-case digit is
        // taken as it is; anything else was never written by the scrambler.
        if (HexDigit(key[k]) < 0) return fail(QStringLiteral("the key is not hexadecimal"));
    }
    if (text.size() % 2 != 0) return fail(QStringLiteral("the body has an odd length"));
    QString plain;
    plain.reserve(text.size() / 2);
    for (qsizetype i = 0; i < text.size() / 2; ++i) {
        const int v = HexByte(QStringView(text).mid(2 * i, 2));
        if (v < 0) return fail(QStringLiteral("the body is not hexadecimal"));
        const int b = key[i % kKeyDigits].unicode();
        plain.append(QChar(Wrapped(Adds(i) ? v - b : v + b)));
    }
    return plain;
}

}  // namespace modCrypto

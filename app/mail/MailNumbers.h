#pragma once

#include <cstdint>
#include <optional>

#include <QStringView>

// Numbers read from mail headers and the account file the way the original
// forms read them: the leading number of a text, 0 when there is none.
namespace MailNumbers {

// Blanks, tabs and line feeds anywhere are skipped; an optional sign,
// digits, a fraction and an exponent are taken up to the first character
// that cannot continue the number; "&H" and "&O" read hexadecimal and octal
// digits.
double LeadingNumber(QStringView text);

// Rounded to the nearest integer, a half to the even neighbour; nothing when
// the result does not fit.
std::optional<int16_t> ToInt16(double value);
std::optional<int32_t> ToInt32(double value);

}  // namespace MailNumbers

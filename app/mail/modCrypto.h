#pragma once

#include <functional>

#include <QString>

// Password scrambling for the account file: reversible without a stored
// key, because each scrambled text carries its own random key.  This is
// obfuscation, not encryption.  Plain passwords are byte texts (one Latin-1
// character a byte; a typed password is its UTF-8 bytes); scrambled texts
// are upper-case hexadecimal.
namespace modCrypto {

// Plain bytes to "mask, front key digits, body, back key digits"; "" for an
// empty password, and (reported) for one holding a character above 255.
QString EncryptPassword(const QString& Password);
// The reverse; "" for an empty text, and (reported) for a malformed one.
QString DecryptPassword(const QString& Scrambled);
// Binary digits, most significant first, without leading zeros ("" for 0).
QString DoubleToBinary(double Number);
// Every "1" adds its power of two, the last character worth 1; any other
// character adds nothing.
double BinaryToDouble(const QString& Digits);

// The uniform draws in [0, 1) behind the key.  Tests install a source of
// their own; an empty function puts the clock-seeded generator back.
void InstallRandomSource(std::function<double()> source);

}  // namespace modCrypto

#include <vector>

#include <QString>

#include <gtest/gtest.h>

#include "MailTestSupport.h"
#include "modCrypto.h"

namespace {

// The draws that give these key digits and mask bits, in the order the
// scrambler takes them: K1, B1, K2, B2, ...
std::vector<double> Draws(const char* keyDigits, int mask) {
    std::vector<double> draws;
    for (int k = 0; k < 8; ++k) {
        const int digit = QString(QLatin1Char(keyDigits[k])).toInt(nullptr, 16);
        draws.push_back((digit + 0.5) / 16);
        draws.push_back((mask >> (7 - k)) & 1 ? 0.75 : 0.25);
    }
    return draws;
}

void UseDraws(std::vector<double> draws) {
    auto at = std::make_shared<size_t>(0);
    modCrypto::InstallRandomSource([draws, at] { return draws.at((*at)++ % draws.size()); });
}

class Crypto : public ::testing::Test {
protected:
    void TearDown() override { modCrypto::InstallRandomSource(nullptr); }
};

struct ScrambleCase {
    const char* key;
    int mask;
    QString password;
    const char* scrambled;
};

TEST_F(Crypto, ScrambledTexts) {
    const ScrambleCase cases[] = {
        {"12345678", 0xAA, QStringLiteral("a"), "AA7531922468"},
        {"12345678", 0xAA, QStringLiteral("ab"), "AA753192302468"},
        {"F0A91C3E", 0x00, QStringLiteral("ab"), "00A732F0A91C3E"},
        {"F0A91C3E", 0xFF, QStringLiteral("ab"), "FFE3C19A0FA732"},
        {"12345678", 0x0F, QStringLiteral("abcdefghi"), "0F8765923096309A309E309A1234"},
        {"F0A91C3E", 0x00, QString::fromLatin1("\xf0\x01"), "0037D0F0A91C3E"},
    };
    for (const ScrambleCase& c : cases) {
        UseDraws(Draws(c.key, c.mask));
        EXPECT_EQ(modCrypto::EncryptPassword(c.password), QLatin1String(c.scrambled)) << c.scrambled;
        EXPECT_EQ(modCrypto::DecryptPassword(QLatin1String(c.scrambled)), c.password) << c.scrambled;
    }
}

TEST_F(Crypto, EveryByteRoundTripsAtOddAndEvenPositions) {
    for (const char* key : {"12345678", "F0A91C3E", "FFFFFFFF", "00000000"}) {
        UseDraws(Draws(key, 0x5A));
        for (int c = 1; c <= 254; ++c) {
            const QString odd = QString(QChar(c)) + QLatin1Char('x');
            const QString even = QLatin1Char('x') + QString(QChar(c));
            EXPECT_EQ(modCrypto::DecryptPassword(modCrypto::EncryptPassword(odd)), odd) << key << " " << c;
            EXPECT_EQ(modCrypto::DecryptPassword(modCrypto::EncryptPassword(even)), even) << key << " " << c;
        }
    }
}

TEST_F(Crypto, ClockSeededScramblingRoundTrips) {
    const QString password = QString::fromLatin1("p\xe4ss w\xf6rd|20 characters!");
    const QString a = modCrypto::EncryptPassword(password);
    EXPECT_EQ(a.size(), 10 + 2 * password.size());
    EXPECT_EQ(modCrypto::DecryptPassword(a), password);
}

TEST_F(Crypto, Lengths) {
    UseDraws(Draws("12345678", 0x3C));
    EXPECT_EQ(modCrypto::EncryptPassword(QStringLiteral("a")).size(), 12);
    EXPECT_EQ(modCrypto::EncryptPassword(QString(20, QLatin1Char('z'))).size(), 50);
    EXPECT_EQ(modCrypto::EncryptPassword(QString()), QString());
}

struct UnscrambleCase {
    QString scrambled;
    QString plain;
    int reports;
};

TEST_F(Crypto, Unscrambling) {
    const UnscrambleCase cases[] = {
        {QStringLiteral("003112345678"), QString(QChar(0)), 0},  // byte FF scrambled at an odd position
        {QStringLiteral("0012345678"), QString(), 0},            // ten digits: an empty password
        {QString(), QString(), 0},
        {QStringLiteral("0G12345678"), QString(), 1},
        {QStringLiteral("00123456789"), QString(), 1},
        {QStringLiteral("ZZ12345678"), QString(), 1},
        {QStringLiteral("001234567"), QString(), 1},                  // key cut short
        {QStringLiteral("00+112345678"), QString(), 1},               // a sign is no digit
        {QStringLiteral("00a732f0a91c3e"), QStringLiteral("Ab"), 0},  // key letters count by their code
        {QStringLiteral("00121234567\u0100"), QString(), 1},          // a key digit above a byte
        {QStringLiteral("00121234567\u00ff"), QString(), 1},          // a byte that is no digit
        {QStringLiteral("00121234567G"), QString(), 1},               // a letter that is no digit
        {QStringLiteral("01G212345678"), QString(), 1},               // the same in front
    };
    for (const UnscrambleCase& c : cases) {
        ServiceTest::Console console;
        EXPECT_EQ(modCrypto::DecryptPassword(c.scrambled), c.plain) << c.scrambled.toStdString();
        EXPECT_EQ(console.Text().count(QStringLiteral("Message : ")), c.reports) << c.scrambled.toStdString();
        // The malformed text is a password in thin disguise: never reported.
        if (!c.scrambled.isEmpty()) {
            EXPECT_FALSE(console.Text().contains(c.scrambled)) << c.scrambled.toStdString();
        }
    }
}

TEST_F(Crypto, CharacterAboveAByteIsRefused) {
    ServiceTest::Console console;
    EXPECT_EQ(modCrypto::EncryptPassword(QStringLiteral("a\u20ac")), QString());
    EXPECT_EQ(console.Text().count(QStringLiteral("Message : ")), 1);
}

TEST_F(Crypto, BinaryDigits) {
    EXPECT_EQ(modCrypto::DoubleToBinary(0), QString());
    EXPECT_EQ(modCrypto::DoubleToBinary(5), QStringLiteral("101"));
    EXPECT_EQ(modCrypto::DoubleToBinary(255), QStringLiteral("11111111"));
    EXPECT_EQ(modCrypto::BinaryToDouble(QStringLiteral("101")), 5);
    EXPECT_EQ(modCrypto::BinaryToDouble(QStringLiteral("1x1")), 5);
    EXPECT_EQ(modCrypto::BinaryToDouble(QString()), 0);
}

}  // namespace

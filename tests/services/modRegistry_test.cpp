// modRegistry on a temporary settings file: round trips of
// every kind of text, defaults, other keys, unreadable and unwritable files.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ServiceTestSupport.h"
#include "TestHarness.h"
#include "modRegistry.h"

namespace {

using modRegistry::GetRegValue;
using modRegistry::HKEY_LOCAL_MACHINE;
using modRegistry::SetRegValue;
using modRegistry::SettingsKey;

TEST(modRegistry, RoundTripTable) {
    ServiceTest::TempSettings settings;
    ServiceTest::Console console;
    QString all;
    for (int c = 1; c < 256; ++c) all += QChar(c);
    struct Row {
        const char* name;
        QString text;
    };
    const Row rows[] = {
        {"Tab", QStringLiteral("a\tb")},
        {"CrLf", QStringLiteral("line 1\r\nline 2\r\n")},
        {"Long", QString(300, QLatin1Char('x')) + QStringLiteral("end")},
        {"Empty", QString()},
        {"Blanks", QStringLiteral("  both ends  ")},
        {"Commas", QStringLiteral("a, b,c")},
        {"Quotes", QStringLiteral("\"quoted\" and 'single'; semi=colon")},
        {"At", QStringLiteral("@Variant(not one)")},
        {"Bytes", all},
        {"Path", QStringLiteral("/home/me/My Lists/[2024] *draft*?.txt")},
        {"Editor", QStringLiteral("gedit --wait")},
    };
    for (const Row& r : rows) {
        EXPECT_TRUE(SetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), QString::fromLatin1(r.name), r.text)) << r.name;
    }
    for (const Row& r : rows) {
        EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), QString::fromLatin1(r.name), QStringLiteral("DEF")),
                  r.text)
            << r.name;
    }
    EXPECT_TRUE(console.Empty()) << console.Text().toStdString();
    // The values of the program's key are top-level entries of the file.
    const QByteArray file = TestHarness::ReadFile(settings.path);
    EXPECT_TRUE(file.contains("Editor=gedit --wait")) << file.toStdString();
}

TEST(modRegistry, DefaultsWhenMissing) {
    ServiceTest::TempSettings settings;
    struct Row {
        const char* name;
        const char* def;
    };
    const Row rows[] = {{"Hide", ""}, {"Editor", "xdg-open"}, {"BlkCol", "1"}, {"CmpCrc", "0"}, {"WrkDir", "/prog"}};
    // No file at all.
    for (const Row& r : rows)
        EXPECT_EQ(modRegistry::GetSetting(QString::fromLatin1(r.name), QString::fromLatin1(r.def)),
                  QString::fromLatin1(r.def));
    // A file without those values.
    ASSERT_TRUE(modRegistry::SetSetting(QStringLiteral("Other"), QStringLiteral("1")));
    for (const Row& r : rows)
        EXPECT_EQ(modRegistry::GetSetting(QString::fromLatin1(r.name), QString::fromLatin1(r.def)),
                  QString::fromLatin1(r.def));
    // A value stored empty reads as "", not as the default.
    ASSERT_TRUE(modRegistry::SetSetting(QStringLiteral("Editor"), QString()));
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Editor"), QStringLiteral("xdg-open")), QString());
}

TEST(modRegistry, OtherKeysAreKeptApart) {
    ServiceTest::TempSettings settings;
    ASSERT_TRUE(SetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), QStringLiteral("V"), QStringLiteral("program")));
    ASSERT_TRUE(SetRegValue(HKEY_LOCAL_MACHINE, QStringLiteral("software\\Other"), QStringLiteral("V"),
                            QStringLiteral("other")));
    ASSERT_TRUE(SetRegValue(modRegistry::HKEY_CURRENT_USER, SettingsKey(), QStringLiteral("V"), QStringLiteral("user")));
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), QStringLiteral("V"), QString()), QStringLiteral("program"));
    // Key names are not case-sensitive, as in the registry.
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\ormid software\\OrmidYRB100"),
                          QStringLiteral("V"), QString()),
              QStringLiteral("program"));
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, QStringLiteral("software\\Other"), QStringLiteral("V"), QString()),
              QStringLiteral("other"));
    EXPECT_EQ(GetRegValue(modRegistry::HKEY_CURRENT_USER, SettingsKey(), QStringLiteral("V"), QString()),
              QStringLiteral("user"));
    EXPECT_EQ(GetRegValue(HKEY_LOCAL_MACHINE, QStringLiteral("software\\None"), QStringLiteral("V"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(modRegistry, UnreadableFileReadsDefaultsAndAFailedWriteIsReported) {
    ServiceTest::TempSettings settings;
    ServiceTest::Console console;
    // A folder where the file should be: it can be neither read nor written.
    ASSERT_TRUE(QDir().mkpath(settings.path));
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Hide"), QStringLiteral("")), QString());
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Editor"), QStringLiteral("ed")), QStringLiteral("ed"));
    EXPECT_FALSE(modRegistry::SetSetting(QStringLiteral("Hide"), QStringLiteral("1")));
    EXPECT_EQ(console.Count(QStringLiteral("The setting 'Hide' could not be stored in '") + settings.path), 1)
        << console.Text().toStdString();
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Context : Error Writing Setting")));
    EXPECT_TRUE(console.Text().contains(QStringLiteral("Module  : modRegistry")));
}

TEST(modRegistry, WriteToAFolderThatCannotBeMadeIsReported) {
    ServiceTest::Console console;
    // The settings folder would have to be made inside a file.
    const QString blocker = TestHarness::WriteFile(QStringLiteral("blocker"), QByteArray("x"));
    const QString before = modRegistry::SettingsFile();
    modRegistry::SetSettingsFile(blocker + QStringLiteral("/sub/OrmidYRB100.conf"));
    EXPECT_FALSE(modRegistry::SetSetting(QStringLiteral("Editor"), QStringLiteral("vi")));
    EXPECT_EQ(modRegistry::GetSetting(QStringLiteral("Editor"), QStringLiteral("d")), QStringLiteral("d"));
    modRegistry::SetSettingsFile(before);
    EXPECT_EQ(console.Count(QStringLiteral("The setting 'Editor' could not be stored")), 1);
}

TEST(modRegistry, DefaultFileIsPerUserUnderXdgConfigHome) {
    const QString before = modRegistry::SettingsFile();
    modRegistry::SetSettingsFile(QString());
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(modRegistry::SettingsFile(), QStringLiteral("/somewhere/config/Ormid Software/OrmidYRB100.conf"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(modRegistry::SettingsFile(), QDir::homePath() + QStringLiteral("/.config/Ormid Software/OrmidYRB100.conf"));
    if (!saved.isNull()) qputenv("XDG_CONFIG_HOME", saved);
    modRegistry::SetSettingsFile(before);
}

}  // namespace

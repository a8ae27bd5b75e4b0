#include "modRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include "ErrorTrap.h"
#include "modGlobalFunctions.h"

namespace modRegistry {

namespace {
QString& ChosenFile() {
    static QString file;
    return file;
}

QString DefaultFile() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config)) config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Ormid Software/OrmidYRB100.conf");
}

QString Normalised(QString key) {
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (key.startsWith(QLatin1Char('/'))) key.remove(0, 1);
    while (key.endsWith(QLatin1Char('/'))) key.chop(1);
    return key;
}

// Where a value lives in the file: the program's key (registry names are
// case-insensitive) at the top level, any other key in a group.
QString EntryName(RegRoot Root, const QString& SubKey, const QString& ValueName) {
    const QString key = Normalised(SubKey);
    if (Root == HKEY_LOCAL_MACHINE && key.compare(Normalised(SettingsKey()), Qt::CaseInsensitive) == 0)
        return ValueName;
    const QString root = Root == HKEY_LOCAL_MACHINE  ? QStringLiteral("HKEY_LOCAL_MACHINE")
                         : Root == HKEY_CURRENT_USER ? QStringLiteral("HKEY_CURRENT_USER")
                                                     : QStringLiteral("HKEY_%1").arg(Root, 8, 16, QLatin1Char('0'));
    return root + QLatin1Char('/') + (key.isEmpty() ? QString() : key + QLatin1Char('/')) + ValueName;
}
}  // namespace

QString SettingsKey() { return QStringLiteral("software\\Ormid Software\\OrmidYRB100"); }

QString SettingsFile() {
    const QString& chosen = ChosenFile();
    return chosen.isEmpty() ? DefaultFile() : chosen;
}

void SetSettingsFile(const QString& path) { ChosenFile() = path; }

QString GetRegValue(RegRoot Root, const QString& SubKey, const QString& ValueName, const QString& Default) {
    QString result = Default;
    Trap(
        [&] {
            const QString file = SettingsFile();
            const QFileInfo info(file);
            if (!info.isFile() || !info.isReadable()) return;
            QSettings settings(file, QSettings::IniFormat);
            if (settings.status() != QSettings::NoError) return;
            const QVariant v = settings.value(EntryName(Root, SubKey, ValueName));
            if (!v.isValid()) return;
            // A hand-written value with commas reads as a list.
            result = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
        },
        [&](const QString&) { result = Default; });
    return result;
}

bool SetRegValue(RegRoot Root, const QString& SubKey, const QString& ValueName, const QString& Text) {
    bool stored = false;
    QString why;
    const QString file = SettingsFile();
    Trap(
        [&] {
            const QFileInfo info(file);
            if (info.exists() && !info.isFile()) {
                why = QStringLiteral("it is not a file");
                return;
            }
            if (!QDir().mkpath(info.absolutePath())) {
                why = QStringLiteral("its folder cannot be created");
                return;
            }
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue(EntryName(Root, SubKey, ValueName), Text);
            settings.sync();
            if (settings.status() != QSettings::NoError) {
                why = QStringLiteral("it cannot be written");
                return;
            }
            stored = true;
        },
        [&](const QString& d) { why = d; });
    if (!stored)
        modGlobalFunctions::ReportError(
            QStringLiteral("The setting '%1' could not be stored in '%2' : %3").arg(ValueName, file, why),
            QStringLiteral("Error Writing Setting"), QStringLiteral("modRegistry"), QStringLiteral("SetRegValue"),
            false, true);
    return stored;
}

QString GetSetting(const QString& ValueName, const QString& Default) {
    return GetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), ValueName, Default);
}

bool SetSetting(const QString& ValueName, const QString& Text) {
    return SetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), ValueName, Text);
}

}  // namespace modRegistry

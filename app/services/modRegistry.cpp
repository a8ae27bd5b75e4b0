#include "modRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include "ReportError.h"

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

// Stores the text in the file; "" when it reached it, else why not.
QString Store(const QString& file, const QString& entry, const QString& Text) {
    const QFileInfo info(file);
    if (info.exists() && !info.isFile()) return QStringLiteral("it is not a file");
    if (!QDir().mkpath(info.absolutePath())) return QStringLiteral("its folder cannot be created");
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(entry, Text);
    settings.sync();
    if (settings.status() != QSettings::NoError) return QStringLiteral("it cannot be written");
    return QString();
}
}  // namespace

QString SettingsKey() { return QStringLiteral("software\\Ormid Software\\OrmidYRB100"); }

QString SettingsFile() {
    const QString& chosen = ChosenFile();
    return chosen.isEmpty() ? DefaultFile() : chosen;
}

void SetSettingsFile(const QString& path) { ChosenFile() = path; }

QString GetRegValue(RegRoot Root, const QString& SubKey, const QString& ValueName, const QString& Default) {
    const QString file = SettingsFile();
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) return Default;
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return Default;
    const QVariant v = settings.value(EntryName(Root, SubKey, ValueName));
    if (!v.isValid()) return Default;
    // A hand-written value with commas reads as a list.
    return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
}

bool SetRegValue(RegRoot Root, const QString& SubKey, const QString& ValueName, const QString& Text) {
    const QString file = SettingsFile();
    const QString why = Store(file, EntryName(Root, SubKey, ValueName), Text);
    if (why.isEmpty()) return true;
    modGlobalFunctions::ReportError(QStringLiteral("The setting '%1' could not be stored in '%2' : %3").arg(ValueName, file, why),
                                    QStringLiteral("Error Writing Setting"), QStringLiteral("modRegistry"),
                                    QStringLiteral("SetRegValue"), false, true);
    return false;
}

QString GetSetting(const QString& ValueName, const QString& Default) {
    return GetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), ValueName, Default);
}

bool SetSetting(const QString& ValueName, const QString& Text) {
    return SetRegValue(HKEY_LOCAL_MACHINE, SettingsKey(), ValueName, Text);
}

}  // namespace modRegistry

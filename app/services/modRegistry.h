#pragma once

#include <cstdint>

#include <QString>

// The program's settings: texts by value name, kept in a per-user settings
// file in place of the registry ($XDG_CONFIG_HOME/Ormid Software/
// OrmidYRB100.conf, default ~/.config/...).  The values of the program's key
// ("Hide", "Editor", "WrkDir", "BlkLst", "BlkFld", "BlkRec", "BlkCol",
// "CmpCrc", "DspInvDup", "DspRec") are the file's top-level entries; any other
// root and key becomes a group of the same file.
//
// Unlike a registry value of limited size: every character of a text round-trips
// (TAB, CR LF included), there is no length limit, and a write that fails is
// reported to the error console (module "modRegistry").
namespace modRegistry {

using RegRoot = uint32_t;
inline constexpr RegRoot HKEY_CURRENT_USER = 0x80000001u;
inline constexpr RegRoot HKEY_LOCAL_MACHINE = 0x80000002u;

// The key every caller passes: "software\Ormid Software\OrmidYRB100".
QString SettingsKey();

// The stored text; Default when the value, the key or the file is missing
// or the file cannot be read; "" for a value stored empty.  Never fails
// towards the caller.
QString GetRegValue(RegRoot Root, const QString& SubKey, const QString& ValueName, const QString& Default);

// Stores the text; True when it reached the file.  A failure is reported
// with the context "Error Writing Setting".
bool SetRegValue(RegRoot Root, const QString& SubKey, const QString& ValueName, const QString& Text);

// Shorthands for the program's key under HKEY_LOCAL_MACHINE.
QString GetSetting(const QString& ValueName, const QString& Default);
bool SetSetting(const QString& ValueName, const QString& Text);

// The settings file in use.  Tests point it at a temporary file; an empty
// path puts the per-user file back.
QString SettingsFile();
void SetSettingsFile(const QString& path);

}  // namespace modRegistry

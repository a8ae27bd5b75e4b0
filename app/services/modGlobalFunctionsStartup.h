#pragma once

#include <functional>

#include <QString>
#include <QStringList>

// Start-up.
namespace modGlobalFunctions {

// The program's entry procedure, before any window exists: keeps one
// running instance per user (a second start asks the first to bring its
// main window forward, says so on standard error and ends), warns once per missing font in a message
// box, then calls LoadMain, which loads FrmMain.  Returns False when this
// instance must end at once (another instance was raised, or start-up
// failed); the caller then returns from main() without entering the event
// loop.
bool Main(const std::function<void()>& LoadMain);

// Asks the running instance to bring its main window forward.  True when it
// was found: this instance must end (Main returns False).  False when none
// answered; the application title is then "unwanted instance".
bool ActivatePrevInstance();

// True when the screen font list holds exactly this name (case-sensitive).
bool IsFontPresent(const QString& FontName);

// The fonts the windows really use, in the order they are checked: the families that
// stand for "Arial", "Courier New" and "MS Sans Serif" (the platform's
// sans-serif as it resolves).
QStringList RequiredFonts();

// The application title: "OrmidYRB100", or "unwanted instance".
QString AppTitle();

// The screen font list.  Tests install a list of their own; an empty
// function restores the font database.
void InstallFontList(std::function<QStringList()> source);

}  // namespace modGlobalFunctions

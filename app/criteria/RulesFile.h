#pragma once

#include <QByteArray>
#include <QString>

#include "Rules.h"

// The criteria file "MA_Rules.cfg": one set a line,
//   name|AND|OR|0;keyword|1|1|1|1|0|0;keyword|...
// then CR LF; "AND" or "OR" for OP1 and OP2, "1" when IsFirst, and per
// keyword its trimmed text and DoUse, DoHea, DoCon, DoSub, DoWrd, DoCas.
// Latin-1 text; a character outside it is written as "?".
namespace RulesFile {

// The program folder's "MA_Rules.cfg".
QString Path();

// The sets of the file's text, each prepared with Initialize; sets with an
// empty name are left out.  Pumps messages after every line.
RuleCollection Parse(const QString& text);

// Rebuilds Rules from the file.  A missing file (or a path that is none)
// and an empty one give no set; a file that cannot be read whole leaves
// Rules as it was (an empty collection when there was none).  Reports name
// the main window's LoadRules.
void LoadRules(const QString& path);

// The file's bytes for the sets.
QByteArray Format(const RuleCollection& sets);

// Writes Rules to the file by the rule of ConfigFile: the old file is
// copied once to path & ".bak" (a backup that exists is never replaced),
// then the file is replaced whole, keeping what it is (a link, its bits).
// Every failure is reported (the editor's SaveRules); a backup that cannot
// be made does not stop the save, any other failure gives false and leaves
// the old file untouched.
bool SaveRules(const QString& path);

}  // namespace RulesFile

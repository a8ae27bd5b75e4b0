#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

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

// Writes Rules to the file: the old file is copied once to path & ".bak",
// then the new text goes to a temporary file in the same folder, renamed
// over the old one.  Every failure is reported (the editor's SaveRules) and
// gives false; the old file is then untouched.
bool SaveRules(const QString& path);

// The step that writes the bytes into the opened temporary file; tests
// install one that fails.  An empty function restores the real one.
void InstallWriter(std::function<bool(QIODevice& file, const QByteArray& bytes)> writer);

}  // namespace RulesFile

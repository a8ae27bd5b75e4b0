#pragma once

#include <QStringList>

// The texts searched for by the find dialog, in the order of their first
// use, for the program's life: kept in no file, never shortened.  The main
// window empties it when it unloads.
QStringList& FindHistory();

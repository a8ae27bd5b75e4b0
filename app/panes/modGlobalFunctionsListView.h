#pragma once

#include <QString>

class clsList;

// Lives with the panes rather than with the other shared procedures: it
// fills a simple list pane, and the services library sits below the panes.
namespace modGlobalFunctions {

// Fills the pane's list view from a delimited file: records separated by
// CR LF or LF alone (GetNextLine), fields by FieldSep ("" means TAB); the first record holds the
// column captions, every further record is a row (surplus fields dropped).
// The columns share the view's width equally; DoIcon gives each header the
// first header image; DoSort keeps the rows ordered by their first column.
// An empty or unreadable file leaves the pane as it was.
void LoadListView(clsList* Pane, const QString& FilePath, bool DoSort, bool DoIcon, const QString& FieldSep);

}  // namespace modGlobalFunctions

#pragma once

#include <array>
#include <memory>

#include "ListKind.h"
#include "ListPane.h"

// The program's table of list panes, one slot per ListKind.  The main
// window fills it at load and empties it at unload; the structure dialog
// puts its preview pane into the StructureList slot.  Panes are shared so
// that a slot, or ThisList, outliving the pane's window stays harmless.
inline constexpr int ListsColSize = ListKindNotSet + 1;
using ListPaneRef = std::shared_ptr<ListPane>;
extern std::array<ListPaneRef, ListsColSize> ListsCol;

// The pane the context menu, the pane buttons and the shortcuts act on.
extern ListPaneRef ThisList;

#include "ListsCol.h"

std::array<ListPaneRef, ListsColSize> ListsCol;
ListPaneRef ThisList;

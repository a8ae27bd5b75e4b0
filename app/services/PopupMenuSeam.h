#pragma once

#include <functional>

#include <QPoint>

class QAction;
class QMenu;

// Where a context menu is shown and an entry chosen.  The menu is modal:
// the chosen entry's command runs before Popup returns.  With no chooser
// installed the real menu opens at the position; tests install one that
// picks an entry of the open menu (or none).
class PopupMenuSeam {
public:
    // The entry the user picks, nullptr for a menu closed without a choice.
    using Chooser = std::function<QAction*(QMenu* menu)>;
    static void Install(Chooser chooser);
    // Shows the menu at pos (global) and runs the chosen entry.  A scripted
    // choice runs only when the user could reach it: visible and enabled,
    // and so are the sub-menus that lead to it.
    static void Popup(QMenu* menu, const QPoint& pos);
    // Whether the entry can be reached from the menu.
    static bool Reachable(QMenu* menu, const QAction* action);
};

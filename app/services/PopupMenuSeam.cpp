#include "PopupMenuSeam.h"

#include <QAction>
#include <QMenu>

namespace {
PopupMenuSeam::Chooser& Current() {
    static PopupMenuSeam::Chooser chooser;
    return chooser;
}
}  // namespace

void PopupMenuSeam::Install(Chooser chooser) { Current() = std::move(chooser); }

bool PopupMenuSeam::Reachable(QMenu* menu, const QAction* action) {
    if (menu == nullptr || action == nullptr) return false;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible() || !a->isEnabled() || a->isSeparator()) continue;
        if (a == action) return true;
        if (a->menu() != nullptr && Reachable(a->menu(), action)) return true;
    }
    return false;
}

void PopupMenuSeam::Popup(QMenu* menu, const QPoint& pos) {
    if (menu == nullptr) return;
    const Chooser& choose = Current();
    if (!choose) {
        // exec triggers the chosen entry before it returns.
        menu->exec(pos);
        return;
    }
    QAction* chosen = choose(menu);
    if (chosen != nullptr && Reachable(menu, chosen)) chosen->trigger();
}

#include "modWndProc.h"

#include "WindowSubclass.h"
#include "clsVirtualListview.h"

namespace modWndProc {

clsVirtualListview* GetObjectFromHwnd(QWidget* hWnd) {
    return qobject_cast<clsVirtualListview*>(WindowSubclass::Owner(hWnd));
}

bool ListViewWndProc(QWidget* hWnd, QEvent* event) {
    clsVirtualListview* pane = GetObjectFromHwnd(hWnd);
    return pane != nullptr && pane->WndProc(hWnd, event);
}

bool ListViewParentWndProc(QWidget* hWnd, QEvent* event) {
    clsVirtualListview* pane = GetObjectFromHwnd(hWnd);
    return pane != nullptr && pane->WndProcParent(hWnd, event);
}

}  // namespace modWndProc

#pragma once

#include <QEvent>
#include <QWidget>

class clsVirtualListview;

// The window procedures a form installs on every list view and its parent:
// one pair serves every pane, found through the window's "ObjectPtr".
namespace modWndProc {

// The pane that owns the window, or null.
clsVirtualListview* GetObjectFromHwnd(QWidget* hWnd);

// The list window's procedure: the pane's WndProc, or the window's own
// handling when no pane owns it.
bool ListViewWndProc(QWidget* hWnd, QEvent* event);

// The parent window's procedure: the pane's WndProcParent likewise.
bool ListViewParentWndProc(QWidget* hWnd, QEvent* event);

}  // namespace modWndProc

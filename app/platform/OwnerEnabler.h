#pragma once

class QWidget;

// Disables and enables a window as an owner of long work.  Qt would disable
// the window's own dialogs and progress window with it, so only its content
// (central widget, menus, status bar, controls) is disabled; child windows
// stay usable.  Controls that were already disabled keep their state.
class OwnerEnabler {
public:
    static void SetEnabled(QWidget* owner, bool enabled);
    // Marks a modeless child window whose commands must not start while its
    // owner's work runs (that work may be inside an engine call): its content
    // is disabled and enabled with its owner's.
    static void FollowOwner(QWidget* window);
    static bool IsEnabled(const QWidget* owner);
};

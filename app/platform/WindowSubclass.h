#pragma once

#include <QObject>
#include <QPointer>

class QEvent;
class QWidget;

// A window procedure: sees every event of its window before the window does.
// It returns true when it has handled the event (the window's own handling
// does not run) and false to pass the event on.
using WindowProc = bool (*)(QWidget* hWnd, QEvent* event);

// Installs a window procedure on a widget, the way a window is subclassed:
// the window's properties "OldWndProc" (the replaced handling) and
// "ObjectPtr" (the object that owns the window) tell whether and by whom it
// is subclassed.  A scroll area's viewport receives the window's mouse and
// paint events, so the procedure sees the viewport's events too, with the
// scroll area as its window.
class WindowSubclass : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kOldWndProc = "OldWndProc";
    static constexpr const char* kObjectPtr = "ObjectPtr";

    // False when the window or the procedure is missing.  A window that is
    // already subclassed keeps its procedure and the answer is true.
    static bool Install(QWidget* hWnd, WindowProc proc, QObject* owner);
    // Puts the window's own handling back: false when it was not subclassed.
    static bool Remove(QWidget* hWnd);
    static bool IsInstalled(const QWidget* hWnd);
    // The object recorded as "ObjectPtr"; null when there is none (any more).
    static QObject* Owner(const QWidget* hWnd);
    // Lets the window handle an event its procedure has taken, now, as the
    // replaced procedure would (the procedure does not see it again).
    static void CallOld(QObject* target, QEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowSubclass(QWidget* hWnd, WindowProc proc, QObject* owner);
    static WindowSubclass* Of(const QWidget* hWnd);

    QWidget* m_window;
    QPointer<QWidget> m_viewport;
    WindowProc m_proc;
    QPointer<QObject> m_owner;
    QObject* m_passing = nullptr;
};

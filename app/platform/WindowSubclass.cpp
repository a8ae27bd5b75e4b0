#include "WindowSubclass.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QVariant>
#include <QWidget>

WindowSubclass::WindowSubclass(QWidget* hWnd, WindowProc proc, QObject* owner)
    : QObject(hWnd), m_window(hWnd), m_proc(proc), m_owner(owner) {}

WindowSubclass* WindowSubclass::Of(const QWidget* hWnd) {
    if (hWnd == nullptr) return nullptr;
    return qobject_cast<WindowSubclass*>(hWnd->property(kOldWndProc).value<QObject*>());
}

bool WindowSubclass::Install(QWidget* hWnd, WindowProc proc, QObject* owner) {
    if (hWnd == nullptr || proc == nullptr) return false;
    if (Of(hWnd) != nullptr) return true;
    auto* sub = new WindowSubclass(hWnd, proc, owner);
    hWnd->installEventFilter(sub);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(hWnd)) {
        sub->m_viewport = area->viewport();
        // Installed last, so it runs before the scroll area's own filter.
        area->viewport()->installEventFilter(sub);
    }
    hWnd->setProperty(kOldWndProc, QVariant::fromValue<QObject*>(sub));
    hWnd->setProperty(kObjectPtr, QVariant::fromValue<QObject*>(owner));
    return true;
}

bool WindowSubclass::Remove(QWidget* hWnd) {
    WindowSubclass* sub = Of(hWnd);
    if (sub == nullptr) return false;
    hWnd->removeEventFilter(sub);
    if (sub->m_viewport) sub->m_viewport->removeEventFilter(sub);
    hWnd->setProperty(kOldWndProc, QVariant());
    hWnd->setProperty(kObjectPtr, QVariant());
    sub->deleteLater();
    sub->m_proc = nullptr;
    return true;
}

bool WindowSubclass::IsInstalled(const QWidget* hWnd) { return Of(hWnd) != nullptr; }

QObject* WindowSubclass::Owner(const QWidget* hWnd) {
    WindowSubclass* sub = Of(hWnd);
    return sub ? sub->m_owner.data() : nullptr;
}

void WindowSubclass::CallOld(QObject* target, QEvent* event) {
    if (target == nullptr || event == nullptr) return;
    QWidget* window = qobject_cast<QWidget*>(target);
    if (window != nullptr && Of(window) == nullptr && window->parentWidget() != nullptr)
        window = qobject_cast<QAbstractScrollArea*>(window->parentWidget()) ? window->parentWidget() : window;
    WindowSubclass* sub = Of(window);
    if (sub == nullptr) {
        QCoreApplication::sendEvent(target, event);
        return;
    }
    QObject* previous = sub->m_passing;
    sub->m_passing = target;
    QCoreApplication::sendEvent(target, event);
    sub->m_passing = previous;
}

bool WindowSubclass::eventFilter(QObject* watched, QEvent* event) {
    if (m_proc == nullptr || watched == m_passing) return false;
    return m_proc(m_window, event);
}

#include "ModalShade.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "OwnerEnabler.h"

namespace {
// Disabling a window's content moves the focus off the control the user had.
void GiveFocusBack(QWidget* window, QWidget* focus) {
    if (focus != nullptr && window->focusWidget() != focus && focus->isEnabled()) focus->setFocus();
}
}  // namespace

ModalShade::ModalShade(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("ModalShade")); }

void ModalShade::Install() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || app->findChild<ModalShade*>(QString(), Qt::FindDirectChildrenOnly) != nullptr) return;
    app->installEventFilter(new ModalShade(app));
}

bool ModalShade::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && w->isModal()) {
            if (type == QEvent::Show) Shade(w);
            else Unshade(w);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ModalShade::Shade(QWidget* modal) {
    for (const Shaded& s : m_shaded)
        if (s.modal == modal) return;
    Shaded shaded{modal, {}, {}, {}};
    const bool onlyAncestors = modal->windowModality() == Qt::WindowModal;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == modal || !w->isVisible() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip) continue;
        // The modal window's own windows stay usable; a window-modal one
        // blocks only the windows it belongs to.
        if (modal->isAncestorOf(w) || (onlyAncestors && !w->isAncestorOf(modal))) continue;
        // A window disabled for its own work keeps that state and its ending.
        if (!OwnerEnabler::IsEnabled(w)) continue;
        QWidget* focus = w->focusWidget();
        OwnerEnabler::SetEnabled(w, false);
        // A window that follows this one with its own enabled state would
        // take a modal window it owns with it: that one stays as it was.
        if (!modal->isEnabled()) {
            OwnerEnabler::SetEnabled(w, true);
            GiveFocusBack(w, focus);
            continue;
        }
        shaded.focus.append(focus);
        shaded.windows.append(w);
    }
    if (shaded.windows.isEmpty()) return;
    shaded.destroyed = connect(modal, &QObject::destroyed, this, [this, modal] { Unshade(modal); });
    m_shaded.push_back(std::move(shaded));
}

void ModalShade::Unshade(const QObject* modal) {
    for (auto it = m_shaded.begin(); it != m_shaded.end(); ++it) {
        if (it->modal != modal) continue;
        const Shaded shaded = std::move(*it);
        m_shaded.erase(it);
        disconnect(shaded.destroyed);
        for (qsizetype i = shaded.windows.size() - 1; i >= 0; --i) {
            QWidget* w = shaded.windows.at(i);
            if (w == nullptr) continue;
            OwnerEnabler::SetEnabled(w, true);
            GiveFocusBack(w, shaded.focus.at(i));
        }
        return;
    }
}

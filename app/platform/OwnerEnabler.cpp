#include "OwnerEnabler.h"

#include <utility>

#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* kOwnerDisabled = "ormidOwnerDisabled";
constexpr const char* kDisabledByOwner = "ormidDisabledByOwner";
constexpr const char* kFollowsOwner = "ormidFollowsOwner";
constexpr const char* kFocusKeeper = "ormidFocusKeeper";

// The control that had the window's focus when its work began.  Disabling
// the content takes the focus from it and Qt gives it to no one; without it
// back, the keys of the list the user worked in would reach nothing.
class FocusBeforeWork : public QObject {
public:
    explicit FocusBeforeWork(QWidget* owner) : QObject(owner) {}
    QPointer<QWidget> widget;
};

// One per owner, its child, found through a property of the owner.
FocusBeforeWork* FocusKeeper(QWidget* owner) {
    auto* keeper = static_cast<FocusBeforeWork*>(owner->property(kFocusKeeper).value<QObject*>());
    if (keeper == nullptr) {
        keeper = new FocusBeforeWork(owner);
        owner->setProperty(kFocusKeeper, QVariant::fromValue<QObject*>(keeper));
    }
    return keeper;
}

void RememberFocus(QWidget* owner) {
    QWidget* focus = owner->window()->focusWidget();
    FocusKeeper(owner)->widget = owner->isAncestorOf(focus) ? focus : nullptr;
}

// Unless the work gave the focus to a control of the window itself.
void RestoreFocus(QWidget* owner) {
    const QPointer<QWidget> widget = std::exchange(FocusKeeper(owner)->widget, nullptr);
    if (!widget || !widget->isEnabled() || !widget->isVisible()) return;
    QWidget* now = owner->window()->focusWidget();
    if (now != nullptr && now != widget && now->isEnabled()) return;
    widget->setFocus(Qt::OtherFocusReason);
}
}  // namespace

void OwnerEnabler::FollowOwner(QWidget* window) {
    if (window != nullptr) window->setProperty(kFollowsOwner, true);
}

void OwnerEnabler::SetEnabled(QWidget* owner, bool enabled) {
    if (owner == nullptr) return;
    const bool wasDisabled = owner->property(kOwnerDisabled).toBool();
    if (!enabled && !wasDisabled) RememberFocus(owner);
    owner->setProperty(kOwnerDisabled, !enabled);
    const auto children = owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow()) {
            if (child->property(kFollowsOwner).toBool()) SetEnabled(child, enabled);
            continue;
        }
        if (enabled) {
            if (child->property(kDisabledByOwner).toBool()) {
                child->setProperty(kDisabledByOwner, QVariant());
                child->setEnabled(true);
            }
        } else if (child->isEnabledTo(owner) && !child->property(kDisabledByOwner).toBool()) {
            child->setProperty(kDisabledByOwner, true);
            child->setEnabled(false);
        }
    }
    if (enabled && wasDisabled) RestoreFocus(owner);
}

bool OwnerEnabler::IsEnabled(const QWidget* owner) {
    return owner != nullptr && owner->isEnabled() && !owner->property(kOwnerDisabled).toBool();
}

#include "OwnerEnabler.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* kOwnerDisabled = "ormidOwnerDisabled";
constexpr const char* kDisabledByOwner = "ormidDisabledByOwner";
constexpr const char* kFollowsOwner = "ormidFollowsOwner";
}  // namespace

void OwnerEnabler::FollowOwner(QWidget* window) {
    if (window != nullptr) window->setProperty(kFollowsOwner, true);
}

void OwnerEnabler::SetEnabled(QWidget* owner, bool enabled) {
    if (owner == nullptr) return;
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
}

bool OwnerEnabler::IsEnabled(const QWidget* owner) {
    return owner != nullptr && owner->isEnabled() && !owner->property(kOwnerDisabled).toBool();
}

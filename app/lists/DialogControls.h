#pragma once

#include <QGroupBox>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "ControlGeometry.h"

// A control's place in its container, in twips.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Creates a dialog's control: its object name, its caption when it has
// one, its place and its layout tag (none: it keeps its place).
template <class W>
W* NewControl(QWidget* parent, const QString& name, const QString& caption, TwipsRect at, const char* tag = nullptr) {
    auto* w = new W(parent);
    w->setObjectName(name);
    if constexpr (requires { w->setTitle(caption); })
        w->setTitle(caption);
    else if constexpr (requires { w->setText(caption); })
        w->setText(caption);
    if (tag != nullptr) w->setProperty("Tag", QString::fromLatin1(tag));
    ControlGeometry::Move(w, at.left, at.top, at.width, at.height);
    return w;
}

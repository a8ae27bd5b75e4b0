#include "ControlGeometry.h"

#include <algorithm>
#include <cmath>

#include <QRectF>
#include <QVariant>
#include <QWidget>

#include "Twips.h"

namespace {

constexpr const char* kProperty = "_ormid_twips";

int Px(double twips) { return static_cast<int>(std::lround(twips / Twips::kPerPixel)); }

QRect PixelsOf(const QRectF& t) {
    return QRect(Px(t.x()), Px(t.y()), std::max(0, Px(t.width())), std::max(0, Px(t.height())));
}

QRectF TwipsOf(const QWidget* w) {
    const QVariant v = w->property(kProperty);
    if (v.isValid()) {
        const QRectF t = v.toRectF();
        if (PixelsOf(t) == w->geometry()) return t;
    }
    const QRect g = w->geometry();
    return QRectF(Twips::FromPixels(g.x()), Twips::FromPixels(g.y()), Twips::FromPixels(g.width()),
                  Twips::FromPixels(g.height()));
}

void Apply(QWidget* w, const QRectF& t) {
    w->setGeometry(PixelsOf(t));
    w->setProperty(kProperty, t);
}

}  // namespace

double ControlGeometry::Left(const QWidget* w) { return w ? TwipsOf(w).x() : 0; }
double ControlGeometry::Top(const QWidget* w) { return w ? TwipsOf(w).y() : 0; }
double ControlGeometry::Width(const QWidget* w) { return w ? TwipsOf(w).width() : 0; }
double ControlGeometry::Height(const QWidget* w) { return w ? TwipsOf(w).height() : 0; }

void ControlGeometry::Move(QWidget* w, double left, double top, double width, double height) {
    if (w) Apply(w, QRectF(left, top, std::max(0.0, width), std::max(0.0, height)));
}

void ControlGeometry::SetLeft(QWidget* w, double left) {
    if (!w) return;
    QRectF t = TwipsOf(w);
    t.moveLeft(left);
    Apply(w, t);
}

void ControlGeometry::SetTop(QWidget* w, double top) {
    if (!w) return;
    QRectF t = TwipsOf(w);
    t.moveTop(top);
    Apply(w, t);
}

void ControlGeometry::SetWidth(QWidget* w, double width) {
    if (!w) return;
    QRectF t = TwipsOf(w);
    t.setWidth(std::max(0.0, width));
    Apply(w, t);
}

void ControlGeometry::SetHeight(QWidget* w, double height) {
    if (!w) return;
    QRectF t = TwipsOf(w);
    t.setHeight(std::max(0.0, height));
    Apply(w, t);
}

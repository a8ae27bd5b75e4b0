#include "clsCtrlObj.h"

#include <cmath>
#include <cstdint>

#include <QComboBox>
#include <QVariant>

#include "ControlGeometry.h"

namespace {

bool Flag(const QString& tag, int position) { return tag.size() > position && tag.at(position) == QLatin1Char('1'); }

// The numeric value of one character: a digit gives itself, anything else 0.
double Divisor(const QString& tag, int position) {
    if (tag.size() <= position || !tag.at(position).isDigit()) return 0;
    return tag.at(position).digitValue();
}

// Whole-number share: operands rounded halves to even, division toward zero.
// A divisor of 0 gives no share instead of failing the node.
double Share(double delta, double divisor) {
    const auto d = static_cast<int64_t>(std::nearbyint(divisor));
    if (d == 0) return 0;
    return static_cast<double>(static_cast<int64_t>(std::nearbyint(delta)) / d);
}

}  // namespace

QString clsCtrlObj::Tag(const QWidget* control) {
    return control ? control->property("Tag").toString() : QString();
}

void clsCtrlObj::Initialize(QWidget* Ctl) {
    if (Ctl == nullptr) return;
    Ctrl = Ctl;
    const double left = ControlGeometry::Left(Ctl);
    MinL = left < 0 ? left + kParked : left;
    MinT = ControlGeometry::Top(Ctl);
    MinW = ControlGeometry::Width(Ctl);
    MinH = ControlGeometry::Height(Ctl);
    const QString tag = Tag(Ctl);
    DoMoveL = Flag(tag, 0);
    DoMoveT = Flag(tag, 1);
    DoSizeW = Flag(tag, 2);
    DoSizeH = Flag(tag, 3);
    DivL = Divisor(tag, 4);
    DivT = Divisor(tag, 5);
    DivW = Divisor(tag, 6);
    DivH = Divisor(tag, 7);
}

void clsCtrlObj::Resize(double DeltaL, double DeltaT, double DeltaW, double DeltaH) {
    const bool acts = (DeltaL != 0 && DoMoveL) || (DeltaT != 0 && DoMoveT) || (DeltaW != 0 && DoSizeW) ||
                      (DeltaH != 0 && DoSizeH);
    if (!acts) return;
    const double moveL = Share(DeltaW, DivL);
    const double moveT = Share(DeltaH, DivT);
    const double growW = Share(DeltaW, DivW);
    const double growH = Share(DeltaH, DivH);
    if (Cntr != nullptr) {
        QWidget* c = Ctrl.data();
        if (c == nullptr) return;
        const double left = ControlGeometry::Left(c);
        const double workLeft = left < 0 ? left + kParked : left;
        double newL = workLeft + (DoMoveL ? moveL : 0);
        double newT = ControlGeometry::Top(c) + (DoMoveT ? moveT : 0);
        double newW = ControlGeometry::Width(c) + (DoSizeW ? growW : 0);
        double newH = ControlGeometry::Height(c) + (DoSizeH ? growH : 0);
        newL = std::max(newL, MinL);
        newT = std::max(newT, MinT);
        newW = std::max(newW, MinW);
        newH = std::max(newH, MinH);
        // A parked control stays parked.
        if (ControlGeometry::Left(c) < 0) newL -= kParked;
        if (qobject_cast<QComboBox*>(c) != nullptr) {
            if (DoMoveL) ControlGeometry::SetLeft(c, newL);
            if (DoMoveT) ControlGeometry::SetTop(c, newT);
            if (DoSizeW) ControlGeometry::SetWidth(c, newW);
            if (DoSizeH) ControlGeometry::SetHeight(c, newH);
        } else {
            ControlGeometry::Move(c, newL, newT, newW, newH);
        }
    }
    // Children get their container's amounts, applied or not.
    for (const auto& child : Cntd) child->Resize(moveL, moveT, growW, growH);
}

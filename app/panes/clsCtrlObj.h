#pragma once

#include <memory>
#include <vector>

#include <QPointer>
#include <QString>
#include <QWidget>

// One node of a form's layout tree: a control, its layout tag and the
// controls it contains.  Geometry is in twips, the form's units.
class clsCtrlObj {
public:
    clsCtrlObj() = default;
    clsCtrlObj(const clsCtrlObj&) = delete;
    clsCtrlObj& operator=(const clsCtrlObj&) = delete;

    QPointer<QWidget> Ctrl;
    clsCtrlObj* Cntr = nullptr;
    std::vector<std::unique_ptr<clsCtrlObj>> Cntd;
    double MinL = 0;
    double MinT = 0;
    double MinW = 0;
    double MinH = 0;
    bool DoMoveL = false;
    bool DoMoveT = false;
    bool DoSizeW = false;
    bool DoSizeH = false;

    // Takes the control, its place as the floor of every layout and its tag.
    void Initialize(QWidget* Ctl);
    // Moves and sizes the control by its share of its container's change,
    // then hands its own amounts to the controls it contains.
    void Resize(double DeltaL, double DeltaT, double DeltaW, double DeltaH);

    // The layout tag of a control ("01001111"), kept in its "Tag" property.
    static QString Tag(const QWidget* control);

    // A hidden tab page's controls sit this far left of their place.
    static constexpr double kParked = 75000;

private:
    double DivL = 1;
    double DivT = 1;
    double DivW = 1;
    double DivH = 1;
};

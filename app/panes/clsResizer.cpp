#include "clsResizer.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>

#include "FormGeometry.h"
#include "Twips.h"

clsResizer::clsResizer() : CtrlTree(std::make_unique<clsCtrlObj>()) {}

clsResizer::~clsResizer() = default;

namespace {

// Widgets that only hold controls: they take no part in the layout.
bool IsHolder(const QWidget* w, const QWidget* form) {
    if (auto* main = qobject_cast<const QMainWindow*>(form); main && main->centralWidget() == w) return true;
    const QWidget* parent = w->parentWidget();
    return parent != nullptr && qobject_cast<const QStackedWidget*>(parent) != nullptr &&
           qobject_cast<const QTabWidget*>(parent->parentWidget()) != nullptr;
}

}  // namespace

QList<QWidget*> clsResizer::Controls() const {
    QList<QWidget*> controls;
    for (QWidget* w : Frm->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        if (qobject_cast<QMenu*>(w) || qobject_cast<QMenuBar*>(w) || qobject_cast<QStatusBar*>(w)) continue;
        if (w->isWindow() || IsHolder(w, Frm)) continue;
        controls.append(w);
    }
    return controls;
}

QWidget* clsResizer::Container(QWidget* control, const QList<QWidget*>& controls) const {
    for (QWidget* p = control->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (p == Frm.data() || controls.contains(p)) return p;
    }
    return nullptr;
}

double clsResizer::ScaleWidth() const { return static_cast<double>(Twips::FromPixels(Frm->width())); }

double clsResizer::ScaleHeight() const { return static_cast<double>(Twips::FromPixels(Frm->height())); }

bool clsResizer::Initialize() {
    if (!Frm) return false;
    MinWidth = static_cast<double>(FormGeometry::Width(Frm));
    MinHeight = static_cast<double>(FormGeometry::Height(Frm));
    LastScaleWidth = ScaleWidth();
    LastScaleHeight = ScaleHeight();
    CtrlTree = std::make_unique<clsCtrlObj>();
    CtrlTree->Ctrl = Frm;
    CtrlTree->DoMoveL = CtrlTree->DoMoveT = CtrlTree->DoSizeW = CtrlTree->DoSizeH = true;
    m_controls = Controls();
    return ParseControls(CtrlTree.get());
}

bool clsResizer::ParseControls(clsCtrlObj* Node) {
    if (!Frm || Node == nullptr || !Node->Ctrl) return false;
    for (QWidget* control : m_controls) {
        if (Container(control, m_controls) != Node->Ctrl.data()) continue;
        auto child = std::make_unique<clsCtrlObj>();
        child->Cntr = Node;
        clsCtrlObj* raw = child.get();
        Node->Cntd.push_back(std::move(child));
        raw->Initialize(control);
        if (qobject_cast<QLabel*>(control) == nullptr && !ParseControls(raw)) return false;
    }
    return true;
}

bool clsResizer::Resize() {
    if (!Frm || FormGeometry::IsMinimized(Frm)) return false;
    // Back to the minimum size (outer size, in twips).
    const int extraW = Frm->frameGeometry().width() - Frm->width();
    const int extraH = Frm->frameGeometry().height() - Frm->height();
    int w = Frm->width(), h = Frm->height();
    if (static_cast<double>(FormGeometry::Width(Frm)) < MinWidth) w = Twips::ToPixels(MinWidth) - extraW;
    if (static_cast<double>(FormGeometry::Height(Frm)) < MinHeight) h = Twips::ToPixels(MinHeight) - extraH;
    if (w != Frm->width() || h != Frm->height()) Frm->resize(w, h);
    // No message pumping here: this runs inside the form's resize.
    Frm->update();
    const double dW = ScaleWidth() - LastScaleWidth;
    const double dH = ScaleHeight() - LastScaleHeight;
    CtrlTree->Resize(0, 0, dW, dH);
    LastScaleWidth = ScaleWidth();
    LastScaleHeight = ScaleHeight();
    return true;
}

#pragma once

#include <memory>

#include <QList>
#include <QPointer>
#include <QWidget>

#include "clsCtrlObj.h"

class Screen;
class clsError;

// Keeps a form's layout proportional while the user resizes it: each
// control moves and grows by a fraction of its container's growth, read
// from its layout tag, and never goes left of, above, narrower or shorter
// than it was when the tree was built.  The form's size then is its
// minimum.
//
// The form's controls are its named descendant widgets (menus and status
// bars aside); the pages of a tab widget and a main window's central widget
// only hold controls, which count as placed on the tab widget or the form.
class clsResizer {
public:
    clsResizer();
    ~clsResizer();
    clsResizer(const clsResizer&) = delete;
    clsResizer& operator=(const clsResizer&) = delete;

    std::shared_ptr<clsError> MyError;
    QPointer<QWidget> Frm;
    ::Screen* Screen = nullptr;

    // Records the form's size as its minimum and builds the tree; false
    // when Frm is not set or the tree cannot be built.
    bool Initialize();
    // One layout pass for the change of the form's inner size since the
    // last one; false when nothing was laid out.
    bool Resize();

private:
    bool ParseControls(clsCtrlObj* Node);
    QList<QWidget*> Controls() const;
    QWidget* Container(QWidget* control, const QList<QWidget*>& controls) const;
    double ScaleWidth() const;
    double ScaleHeight() const;

    std::unique_ptr<clsCtrlObj> CtrlTree;
    QList<QWidget*> m_controls;
    double MinWidth = 0;
    double MinHeight = 0;
    double LastScaleWidth = 0;
    double LastScaleHeight = 0;
};

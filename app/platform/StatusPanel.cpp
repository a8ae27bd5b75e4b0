#include "StatusPanel.h"

#include <QMouseEvent>

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {
    QPalette p = palette();
    for (auto role : {QPalette::WindowText, QPalette::Text})
        p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
    setPalette(p);
    setContentsMargins(4, 0, 4, 0);
    SetBevel(1);
}

void StatusPanel::SetBevel(int bevel) {
    m_bevel = bevel;
    switch (bevel) {
        case 1: setFrameStyle(QFrame::Panel | QFrame::Sunken); break;
        case 2: setFrameStyle(QFrame::Panel | QFrame::Raised); break;
        default: setFrameStyle(QFrame::NoFrame); break;
    }
}

void StatusPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit Clicked();
    QLabel::mousePressEvent(event);
}

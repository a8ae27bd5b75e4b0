#include "Screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "Twips.h"

namespace {
Qt::CursorShape ShapeOf(int pointer) {
    switch (pointer) {
        case 2: return Qt::CrossCursor;
        case 3: return Qt::IBeamCursor;
        case 5: return Qt::SizeAllCursor;
        case 6: return Qt::SizeBDiagCursor;
        case 7: return Qt::SizeVerCursor;
        case 8: return Qt::SizeFDiagCursor;
        case 9: return Qt::SizeHorCursor;
        case 10: return Qt::UpArrowCursor;
        case 11: return Qt::WaitCursor;
        case 12: return Qt::ForbiddenCursor;
        case 13: return Qt::BusyCursor;
        case 14: return Qt::WhatsThisCursor;
        case 15: return Qt::SizeAllCursor;
        default: return Qt::ArrowCursor;
    }
}
}  // namespace

Screen* Screen::Instance() {
    static Screen screen;
    return &screen;
}

int64_t Screen::Width() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? Twips::FromPixels(s->geometry().width()) : 0;
}

int64_t Screen::Height() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? Twips::FromPixels(s->geometry().height()) : 0;
}

void Screen::SetMousePointer(int pointer) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        m_pointer = pointer;
        return;
    }
    if (pointer == 0) {
        while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
    } else if (QGuiApplication::overrideCursor() == nullptr) {
        QGuiApplication::setOverrideCursor(QCursor(ShapeOf(pointer)));
    } else {
        QGuiApplication::changeOverrideCursor(QCursor(ShapeOf(pointer)));
    }
    m_pointer = pointer;
}

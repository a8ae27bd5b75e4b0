#include "FormGeometry.h"

#include <QWidget>

#include "Twips.h"

int64_t FormGeometry::Left(const QWidget* w) { return Twips::FromPixels(w->frameGeometry().x()); }
int64_t FormGeometry::Top(const QWidget* w) { return Twips::FromPixels(w->frameGeometry().y()); }
int64_t FormGeometry::Width(const QWidget* w) { return Twips::FromPixels(w->frameGeometry().width()); }
int64_t FormGeometry::Height(const QWidget* w) { return Twips::FromPixels(w->frameGeometry().height()); }

bool FormGeometry::IsMinimized(const QWidget* w) { return w->windowState() & Qt::WindowMinimized; }

void FormGeometry::Move(QWidget* w, int64_t leftTwips, int64_t topTwips) {
    w->move(Twips::ToPixels(static_cast<double>(leftTwips)), Twips::ToPixels(static_cast<double>(topTwips)));
}

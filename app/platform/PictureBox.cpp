#include "PictureBox.h"

#include <QPainter>
#include <QResizeEvent>

#include "Twips.h"

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    EnsureImage();
}

void PictureBox::EnsureImage() const {
    const QSize s(qMax(1, width()), qMax(1, height()));
    if (s == m_image.size()) return;
    m_image = QImage(s, QImage::Format_RGB32);
    m_image.fill(m_back);
    m_printed.clear();
}

double PictureBox::ScaleWidth() const {
    EnsureImage();
    return m_userX ? m_scaleW : static_cast<double>(Twips::FromPixels(m_image.width()));
}

void PictureBox::SetScaleWidth(double units) {
    m_userX = true;
    m_scaleW = units;
}

double PictureBox::ScaleHeight() const {
    EnsureImage();
    return m_userY ? m_scaleH : static_cast<double>(Twips::FromPixels(m_image.height()));
}

void PictureBox::SetScaleHeight(double units) {
    m_userY = true;
    m_scaleH = units;
}

void PictureBox::SetBackColor(const QColor& c) {
    m_back = c;
    Cls();
}

double PictureBox::ToPxX(double x) const {
    const double w = ScaleWidth();
    return w == 0 ? 0 : x * m_image.width() / w;
}

double PictureBox::ToPxY(double y) const {
    const double h = ScaleHeight();
    return h == 0 ? 0 : y * m_image.height() / h;
}

double PictureBox::TextWidth(const QString& text) const {
    EnsureImage();
    const double px = fontMetrics().horizontalAdvance(text);
    return m_image.width() == 0 ? 0 : px * ScaleWidth() / m_image.width();
}

double PictureBox::TextHeight(const QString& text) const {
    EnsureImage();
    const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    const double px = fontMetrics().height() + (lines - 1) * fontMetrics().lineSpacing();
    return m_image.height() == 0 ? 0 : px * ScaleHeight() / m_image.height();
}

void PictureBox::Cls() {
    EnsureImage();
    m_image.fill(m_back);
    m_printed.clear();
    m_x = 0;
    m_y = 0;
    update();
}

void PictureBox::Print(const QString& text) {
    EnsureImage();
    QPainter p(&m_image);
    p.setFont(font());
    p.setPen(m_fore);
    const QFontMetrics fm(font());
    p.drawText(QPointF(ToPxX(m_x), ToPxY(m_y) + fm.ascent()), text);
    p.end();
    m_printed.append(text);
    m_x = 0;
    m_y += TextHeight(text);
    update();
}

void PictureBox::FillBox(double x1, double y1, double x2, double y2, const QColor& color) {
    EnsureImage();
    const int l = qRound(ToPxX(qMin(x1, x2)));
    const int r = qRound(ToPxX(qMax(x1, x2)));
    const int t = qRound(ToPxY(qMin(y1, y2)));
    const int b = qRound(ToPxY(qMax(y1, y2)));
    if (r <= l || b <= t) return;
    QPainter p(&m_image);
    if (m_drawMode == kNotXorPen) p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.fillRect(QRect(l, t, r - l, b - t), color);
    p.end();
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    EnsureImage();
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    EnsureImage();
    QWidget::resizeEvent(event);
}

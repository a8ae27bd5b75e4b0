#include "CriteriaIcons.h"

#include <QFont>
#include <QPainter>

#include "FontFamilies.h"
#include "ImageList.h"

namespace CriteriaIcons {
namespace {

const QColor kFrame(96, 96, 96);
const QColor kGrey(128, 128, 128);
const QColor kRed(200, 20, 20);
const QColor kBlue(20, 60, 200);
const QColor kGreen(0, 140, 40);

QPixmap Blank() {
    QPixmap p(kSize, kSize);
    p.fill(Qt::transparent);
    return p;
}

void Box(QPainter& g, bool ticked) {
    g.setPen(QPen(kFrame, 1));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(2.5, 2.5, 11, 11));
    if (!ticked) return;
    g.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(Qt::NoBrush);
    g.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(7, 10.5), QPointF(11, 5)}));
}

void RightTriangle(QPainter& g, bool solid) {
    const QPolygonF shape({QPointF(4.5, 2.5), QPointF(12.5, 8), QPointF(4.5, 13.5)});
    if (solid) {
        g.setPen(QPen(kBlue, 1));
        g.setBrush(kBlue);
    } else {
        g.setPen(QPen(kGrey, 1.2));
        g.setBrush(Qt::NoBrush);
    }
    g.drawPolygon(shape);
}

void Letters(QPainter& g, const QString& text, const QColor& color) {
    g.setPen(QPen(kFrame, 1));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(0.5, 1.5, 15, 13));
    QFont f = FontFamilies::Arial(7);
    f.setPixelSize(9);
    f.setBold(true);
    g.setFont(f);
    g.setPen(color);
    g.drawText(QRectF(0, 1, kSize, 14), Qt::AlignCenter, text);
}

void HeaderTriangle(QPainter& g, bool down) {
    g.setPen(QPen(kGrey, 1.2));
    g.setBrush(Qt::NoBrush);
    if (down)
        g.drawPolygon(QPolygonF({QPointF(3.5, 5.5), QPointF(12.5, 5.5), QPointF(8, 11)}));
    else
        g.drawPolygon(QPolygonF({QPointF(3.5, 11), QPointF(12.5, 11), QPointF(8, 5.5)}));
}

}  // namespace

QPixmap ItemPicture(int item) {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (item) {
        case kUnticked: Box(g, false); break;
        case kTicked: Box(g, true); break;
        case kInUse: RightTriangle(g, true); break;
        case kHeader: Letters(g, QStringLiteral("He"), kRed); break;
        case kContent: Letters(g, QStringLiteral("Co"), kRed); break;
        case kSubject: Letters(g, QStringLiteral("Su"), kRed); break;
        case kWholeWord: Letters(g, QStringLiteral("Wo"), kBlue); break;
        case kCaseSensitive: Letters(g, QStringLiteral("CS"), kGreen); break;
        case kNotInUse: RightTriangle(g, false); break;
        default: break;
    }
    return p;
}

QPixmap HeaderPicture(int header) {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (header) {
        case kUnsorted: g.fillRect(QRect(4, 7, 8, 2), kGrey); break;
        case kAscending: HeaderTriangle(g, true); break;
        case kDescending: HeaderTriangle(g, false); break;
        default: break;
    }
    return p;
}

ImageList* NewItemImages(QObject* parent) {
    auto* list = new ImageList(QSize(kSize, kSize), parent);
    for (int i = 0; i < kItemCount; ++i) list->Add(ItemPicture(i));
    return list;
}

ImageList* NewHeaderImages(QObject* parent) {
    auto* list = new ImageList(QSize(kSize, kSize), parent);
    for (int i = 0; i < kHeaderCount; ++i) list->Add(HeaderPicture(i));
    return list;
}

}  // namespace CriteriaIcons

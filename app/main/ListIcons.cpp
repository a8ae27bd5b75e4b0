#include "ListIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include "FontFamilies.h"
#include "ImageList.h"

namespace ListIcons {
namespace {

const QColor kFrame(96, 96, 96);
const QColor kGrey(128, 128, 128);
const QColor kGreen(0, 150, 40);
const QColor kRed(210, 20, 20);
const QColor kBlue(20, 60, 200);

QPixmap Blank() {
    QPixmap p(kSize, kSize);
    p.fill(Qt::transparent);
    return p;
}

void CheckBox(QPainter& g, const QColor& fill) {
    g.setPen(QPen(kFrame, 1));
    g.setBrush(fill);
    g.drawRect(QRectF(2.5, 2.5, 11, 11));
}

void Tick(QPainter& g) {
    g.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(Qt::NoBrush);
    g.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(7, 10.5), QPointF(11, 5)}));
}

void Cross(QPainter& g) {
    g.setPen(QPen(QColor(64, 64, 64), 1.6, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(5, 5), QPointF(11, 11));
    g.drawLine(QPointF(11, 5), QPointF(5, 11));
}

// An arrow across the picture; the head on the right when pointing right.
void Arrow(QPainter& g, const QColor& color, bool right) {
    g.setPen(Qt::NoPen);
    g.setBrush(color);
    QPolygonF shape({QPointF(1, 6), QPointF(8, 6), QPointF(8, 2), QPointF(15, 8), QPointF(8, 14), QPointF(8, 10),
                     QPointF(1, 10)});
    if (!right) {
        for (QPointF& pt : shape) pt.setX(kSize - pt.x());
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

void PaperClip(QPainter& g) {
    QPainterPath clip;
    clip.moveTo(10, 5);
    clip.lineTo(10, 12);
    clip.arcTo(QRectF(6, 10, 4, 4), 0, -180);
    clip.lineTo(6, 3.5);
    clip.arcTo(QRectF(6, 1.5, 6, 4), 180, -180);
    clip.lineTo(12, 12.5);
    clip.arcTo(QRectF(4, 9, 8, 6), 0, -180);
    clip.lineTo(4, 6);
    g.setPen(QPen(QColor(70, 70, 90), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(Qt::NoBrush);
    g.drawPath(clip);
}

void Exclamation(QPainter& g) {
    g.setPen(Qt::NoPen);
    g.setBrush(kRed);
    g.drawPolygon(QPolygonF({QPointF(6, 1), QPointF(10, 1), QPointF(9, 10), QPointF(7, 10)}));
    g.drawEllipse(QRectF(6.3, 11.5, 3.4, 3.4));
}

void Triangle(QPainter& g, bool down) {
    g.setPen(Qt::NoPen);
    g.setBrush(kGrey);
    if (down) {
        g.drawPolygon(QPolygonF({QPointF(3, 5), QPointF(13, 5), QPointF(8, 11)}));
    } else {
        g.drawPolygon(QPolygonF({QPointF(3, 11), QPointF(13, 11), QPointF(8, 5)}));
    }
}

}  // namespace

QPixmap ItemPicture(int item) {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (item) {
        case kUnchecked: CheckBox(g, Qt::white); break;
        case kChecked: CheckBox(g, Qt::white); Tick(g); break;
        case kRemoved: CheckBox(g, QColor(192, 192, 192)); Cross(g); break;
        case kLeftInBoth: Arrow(g, kGreen, true); break;
        case kLeftNotInOther: Arrow(g, kRed, true); break;
        case kRightInBoth: Arrow(g, kGreen, false); break;
        case kRightNotInOther: Arrow(g, kRed, false); break;
        case kInvalid: Letters(g, QStringLiteral("In"), kRed); break;
        case kDuplicate: Letters(g, QStringLiteral("Du"), kBlue); break;
        case kDeleted: Letters(g, QStringLiteral("De"), kGreen); break;
        case kAttachment: PaperClip(g); break;
        case kPriority: Exclamation(g); break;
        default: break;
    }
    return p;
}

QPixmap HeaderPicture(int header) {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (header) {
        case kUnsorted:
            g.fillRect(QRect(3, 7, 10, 2), kGrey);
            break;
        case kAscending: Triangle(g, true); break;
        case kDescending: Triangle(g, false); break;
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

}  // namespace ListIcons

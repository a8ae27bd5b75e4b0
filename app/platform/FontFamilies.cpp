#include "FontFamilies.h"

namespace {
QFont Make(const char* family, QFont::StyleHint hint, double points) {
    QFont f(QString::fromLatin1(family));
    f.setStyleHint(hint);
    f.setPointSizeF(points);
    return f;
}
}  // namespace

QFont FontFamilies::Arial(double points) { return Make("Liberation Sans", QFont::SansSerif, points); }
QFont FontFamilies::CourierNew(double points) { return Make("Liberation Mono", QFont::TypeWriter, points); }
QFont FontFamilies::SansSerif(double points) { return Make("Sans Serif", QFont::SansSerif, points); }

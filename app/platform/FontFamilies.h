#pragma once

#include <QFont>

// The fonts the windows use: the metric-compatible Liberation families in
// place of "Arial" and "Courier New", the platform sans-serif in place of
// "MS Sans Serif".
class FontFamilies {
public:
    static QFont Arial(double points);
    static QFont CourierNew(double points);
    static QFont SansSerif(double points);
};

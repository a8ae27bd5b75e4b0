#pragma once

#include <QPixmap>

// The product logo: an envelope-blue square with an "@".
class ProductLogo {
public:
    static QPixmap Pixmap(int size);
};

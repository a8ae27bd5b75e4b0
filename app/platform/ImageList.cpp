#include "ImageList.h"

ImageList::ImageList(const QSize& imageSize, QObject* parent) : QObject(parent), m_size(imageSize) {}

int ImageList::Add(const QPixmap& image) {
    m_images.append(image.size() == m_size ? image
                                           : image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return Count() - 1;
}

QPixmap ImageList::Image(int index) const {
    if (index < 0 || index >= Count()) return QPixmap();
    return m_images.at(index);
}

#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>

// An image list: numbered images of one size (from 0) that list views and
// their headers draw by number.  The form that creates it owns it; a view
// holding it forgets it when it is destroyed.
class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(const QSize& imageSize, QObject* parent = nullptr);

    QSize ImageSize() const { return m_size; }
    // Appends an image, scaled to the list's size; returns its number.
    int Add(const QPixmap& image);
    int Count() const { return static_cast<int>(m_images.size()); }
    // The image of that number; a null pixmap outside 0..Count-1.
    QPixmap Image(int index) const;

private:
    QSize m_size;
    QList<QPixmap> m_images;
};

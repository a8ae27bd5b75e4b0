#pragma once

#include <cstdint>

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

#include "ImageList.h"
#include "ListRowSource.h"

// The model of an owner-data list view.  It holds no cell: its rows are the
// page of the list the view shows (list rows Top() to Top() + Shown() - 1,
// not the whole list), and every cell is asked of the row source when it is
// painted.  Columns are a caption and a header image each.
class OwnerDataModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OwnerDataModel(QObject* parent);

    void SetRowSource(ListRowSource* source) { m_source = source; }

    // The page.  SetTop only moves it (the view repaints); SetShown inserts
    // or removes table rows; Reset starts over for a new list.
    int32_t Top() const { return m_top; }
    int Shown() const { return m_shown; }
    void SetTop(int32_t top) { m_top = top; }
    void SetShown(int shown);
    void Reset(int32_t top, int shown);

    // Row images: with an image list, the cells of column 0 have one, the
    // other columns' only with subItems.
    ImageList* Images() const { return m_images.data(); }
    void SetImages(ImageList* images) { m_images = images; }
    void SetSubItemImages(bool subItems) { m_subItemImages = subItems; }

    int32_t ColumnCount() const { return static_cast<int32_t>(m_captions.size()); }
    void InsertColumn(int32_t pos, const QString& caption);
    void RemoveColumn(int32_t col);
    QString Caption(int32_t col) const { return m_captions.at(col); }
    void SetHeaderImages(ImageList* images);
    void SetHeaderImage(int32_t col, int32_t image);
    int32_t HeaderImage(int32_t col) const { return m_headerImage.at(col); }
    // The tip shown over a column's header; "" shows none.
    void SetHeaderToolTip(int32_t col, const QString& tip);
    QString HeaderToolTip(int32_t col) const { return m_headerTip.at(col); }

    // Cells asked for since construction (for measuring).
    int64_t CellRequests() const { return m_requests; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    ListRowSource* m_source = nullptr;
    int32_t m_top = 0;
    int m_shown = 0;
    QPointer<ImageList> m_images;
    bool m_subItemImages = false;
    QPointer<ImageList> m_headerImages;
    QList<QString> m_captions;
    QList<int32_t> m_headerImage;
    QList<QString> m_headerTip;
    mutable int64_t m_requests = 0;
};

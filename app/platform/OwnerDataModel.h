#pragma once

#include <QAbstractTableModel>

class OwnerDataListView;

// The model of an owner-data list view.  It holds no cell: it exposes the
// rows the view can show at its current scroll position (a page, not the
// whole list) and asks the view, which asks its owner, for every cell.
class OwnerDataModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OwnerDataModel(OwnerDataListView* view);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    friend class OwnerDataListView;
    OwnerDataListView* m_view;
};

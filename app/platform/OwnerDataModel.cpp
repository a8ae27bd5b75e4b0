#include "OwnerDataModel.h"

#include "OwnerDataListView.h"

OwnerDataModel::OwnerDataModel(OwnerDataListView* view) : QAbstractTableModel(view), m_view(view) {}

int OwnerDataModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_view->ShownRows(); }

int OwnerDataModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_view->ColumnCount();
}

QVariant OwnerDataModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    return m_view->CellData(m_view->TopIndex() + index.row(), index.column(), role);
}

QVariant OwnerDataModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return QVariant();
    return m_view->HeaderData(section, role);
}

Qt::ItemFlags OwnerDataModel::flags(const QModelIndex& index) const {
    return index.isValid() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags;
}

#include "OwnerDataModel.h"

OwnerDataModel::OwnerDataModel(QObject* parent) : QAbstractTableModel(parent) {}

void OwnerDataModel::SetShown(int shown) {
    if (shown > m_shown) {
        beginInsertRows(QModelIndex(), m_shown, shown - 1);
        m_shown = shown;
        endInsertRows();
    } else if (shown < m_shown) {
        beginRemoveRows(QModelIndex(), shown, m_shown - 1);
        m_shown = shown;
        endRemoveRows();
    }
}

void OwnerDataModel::Reset(int32_t top, int shown) {
    beginResetModel();
    m_top = top;
    m_shown = shown;
    endResetModel();
}

void OwnerDataModel::InsertColumn(int32_t pos, const QString& caption) {
    beginInsertColumns(QModelIndex(), pos, pos);
    m_captions.insert(pos, caption);
    m_headerImage.insert(pos, -1);
    m_headerTip.insert(pos, QString());
    endInsertColumns();
}

void OwnerDataModel::RemoveColumn(int32_t col) {
    beginRemoveColumns(QModelIndex(), col, col);
    m_captions.removeAt(col);
    m_headerImage.removeAt(col);
    m_headerTip.removeAt(col);
    endRemoveColumns();
}

void OwnerDataModel::SetHeaderImages(ImageList* images) {
    m_headerImages = images;
    if (ColumnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, ColumnCount() - 1);
}

void OwnerDataModel::SetHeaderImage(int32_t col, int32_t image) {
    m_headerImage[col] = image;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void OwnerDataModel::SetHeaderToolTip(int32_t col, const QString& tip) {
    m_headerTip[col] = tip;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

int OwnerDataModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_shown; }

int OwnerDataModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount(); }

QVariant OwnerDataModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || m_source == nullptr) return QVariant();
    const int32_t row = m_top + index.row();
    const int32_t column = index.column();
    switch (role) {
        case Qt::DisplayRole: {
            ++m_requests;
            QString text = m_source->RowText(row, column);
            text.truncate(ListRowSource::kItemTextMax - 1);
            return text;
        }
        case Qt::DecorationRole: {
            if (!m_images || (column > 0 && !m_subItemImages)) return QVariant();
            ++m_requests;
            const QPixmap image = m_images->Image(m_source->RowImage(row, column));
            return image.isNull() ? QVariant() : QVariant(image);
        }
        case Qt::ToolTipRole:
            return m_source->RowToolTip(row, column);
        default:
            return QVariant();
    }
}

QVariant OwnerDataModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount()) return QVariant();
    if (role == Qt::DisplayRole) return m_captions.at(section);
    if (role == Qt::ToolTipRole) return m_headerTip.at(section).isEmpty() ? QVariant() : QVariant(m_headerTip.at(section));
    if (role == Qt::DecorationRole && m_headerImages) {
        const QPixmap image = m_headerImages->Image(m_headerImage.at(section));
        return image.isNull() ? QVariant() : QVariant(image);
    }
    return QVariant();
}

Qt::ItemFlags OwnerDataModel::flags(const QModelIndex& index) const {
    return index.isValid() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags;
}

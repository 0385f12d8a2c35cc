#include "filelistmodel.h"

FileListModel::FileListModel(QObject *parent) : QAbstractListModel(parent) {}

void FileListModel::setItems(const QList<FileItem> &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

int FileListModel::rowOf(const QByteArray &path) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).path() == path)
            return int(i);
    }
    return -1;
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    const FileItem &file = m_items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return file.displayName();
    case Qt::ToolTipRole:
        return file.pathString();
    default:
        return {};
    }
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled
                           : Qt::NoItemFlags;
}

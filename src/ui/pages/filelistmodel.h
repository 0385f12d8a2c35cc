#pragma once

#include "model/fileitem.h"

#include <QAbstractListModel>
#include <QList>

// The files of one page in display order. Cards and rows read their record
// straight from item(); the display role gives the name for accessibility
// and for views that only know Qt's roles.
class FileListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit FileListModel(QObject *parent = nullptr);

    // Replaces every file at once: one reset, no per-row signals.
    void setItems(const QList<FileItem> &items);
    const QList<FileItem> &items() const { return m_items; }
    const FileItem &item(int row) const { return m_items.at(row); }
    // First row of the file at `path`; -1 when it is not listed.
    int rowOf(const QByteArray &path) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QList<FileItem> m_items;
};

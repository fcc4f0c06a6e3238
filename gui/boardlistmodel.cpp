// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardlistmodel.h"

int BoardListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : loaded.size();
}

int BoardListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BoardListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const PanelBoard &board = loaded.at(index.row());
    if (index.column() == PathColumn)
        return board.path;
    return sizeText(board.footprint.width, board.footprint.height);
}

void BoardListModel::append(PanelBoard board)
{
    beginInsertRows(QModelIndex(), loaded.size(), loaded.size());
    loaded.append(std::move(board));
    endInsertRows();
}

void BoardListModel::remove(int row)
{
    if (row < 0 || row >= loaded.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    loaded.removeAt(row);
    endRemoveRows();
}

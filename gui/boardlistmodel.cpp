// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardlistmodel.h"

#include "core/place/footprint.h"

namespace {

// A turned board shows the size it takes on the panel, and its turn.
QString turnedSizeText(const PanelBoard &board)
{
    const BoardFootprint turned = turnedFootprint(board.footprint, board.turn);
    const QString size = sizeText(turned.width, turned.height);
    if (board.turn == 0)
        return size;
    return QStringLiteral("%1 (%2°)").arg(size).arg(board.turn * 90);
}

} // namespace

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
    return turnedSizeText(board);
}

void BoardListModel::append(PanelBoard board)
{
    beginInsertRows(QModelIndex(), loaded.size(), loaded.size());
    loaded.append(std::move(board));
    endInsertRows();
}

void BoardListModel::append(const QVector<PanelBoard> &boards)
{
    if (boards.isEmpty())
        return;
    beginInsertRows(QModelIndex(), loaded.size(), loaded.size() + boards.size() - 1);
    loaded += boards;
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

void BoardListModel::turn(int row)
{
    if (row < 0 || row >= loaded.size())
        return;
    PanelBoard &board = loaded[row];
    board.turn = (board.turn + 1) % 4;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole});
}

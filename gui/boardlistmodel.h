// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/run/panelrun.h"

#include <QAbstractTableModel>
#include <QVector>

// The loaded boards, in the order the panel takes them. Each list of the
// window shows one column: the board's file, or its size.
class BoardListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { PathColumn, SizeColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QVector<PanelBoard> &boards() const { return loaded; }
    void append(PanelBoard board);
    void append(const QVector<PanelBoard> &boards);
    void remove(int row);
    // Turns the board a quarter counterclockwise more.
    void turn(int row);

private:
    QVector<PanelBoard> loaded;
};

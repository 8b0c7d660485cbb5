// SPDX-License-Identifier: GPL-3.0-or-later
#include "netstats/detail_grid.h"

DetailGrid::DetailGrid(QObject* parent) : QAbstractTableModel(parent) {}

void DetailGrid::SetRowCount(int rows) {
    if (rows == rowCount_) {
        return;
    }
    // The view shows the data rows only: row 0 is its header.
    beginResetModel();
    rowCount_ = rows;
    endResetModel();
}

QString DetailGrid::Cell(int col, int row) const {
    if (row < 0 || col < 0 || col >= ColumnCount || row >= static_cast<int>(cells_.size())) {
        return {};
    }
    return cells_[row][col];
}

void DetailGrid::SetCell(int col, int row, const QString& text) {
    if (row < 0 || col < 0 || col >= ColumnCount) {
        return;
    }
    if (row >= static_cast<int>(cells_.size())) {
        cells_.resize(row + 1, std::vector<QString>(ColumnCount));
    }
    QString& cell = cells_[row][col];
    if (cell == text) {
        return;
    }
    cell = text;
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else if (row < rowCount_) {
        const QModelIndex changed = index(row - 1, col);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

int DetailGrid::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(rowCount_ - 1, 0);
}

int DetailGrid::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DetailGrid::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) {
        return {};
    }
    return Cell(index.column(), index.row() + 1);
}

QVariant DetailGrid::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return Cell(section, 0);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail grid's cell store. Texts are kept per column and row whatever the row count, so rows
// hidden by a smaller count keep their texts; a cell never written reads as empty. It is also the
// model that the detail window's table shows: row 0 as the header, rows 1 on as data rows.

#include <QAbstractTableModel>
#include <QString>
#include <vector>

// The grid's columns: the interface, then the octets per second in and out, each with its maximum
// and average over the connection.
enum GridColumn {
    Adapter,
    MacAddress,
    IpAddress,
    InRate,
    InMax,
    InAverage,
    OutRate,
    OutMax,
    OutAverage,
    ColumnCount
};

class DetailGrid : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kInitialRowCount = 5;

    explicit DetailGrid(QObject* parent = nullptr);

    int RowCount() const { return rowCount_; }
    void SetRowCount(int rows);

    // The text at a column and row; reading outside the grid gives an empty text.
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int rowCount_ = kInitialRowCount;
    std::vector<std::vector<QString>> cells_; // [row][col], grown on write, never shrunk
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The detail window: the detail grid, the total throughput (Label1) and the reset day (Label2).

#include "netstats/detail_grid.h"

#include <QLabel>
#include <QTableView>
#include <QWidget>
#include <memory>

namespace Ui {
class TForm2;
}

class TForm2 : public QWidget {
    Q_OBJECT

public:
    // The grid outlives the window, which is made only when first shown.
    explicit TForm2(DetailGrid& grid, QWidget* parent = nullptr);
    ~TForm2() override;

    // The cell store behind sgmib.
    DetailGrid& Grid() { return grid_; }
    QTableView* sgmib() const;
    QLabel* Label1() const;
    QLabel* Label2() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();

    std::unique_ptr<Ui::TForm2> ui_;
    DetailGrid& grid_;
};

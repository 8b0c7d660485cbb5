// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/detail_window.h"

#include "ui_detail_window.h"

#include <QHeaderView>

namespace {

constexpr int kGridHeight = 185;
constexpr int kRowHeight = 24;
const char* const kHeaders[ColumnCount] = {"adaptateur",  "Adresse Mac", "Adresse IP",
                                           "oct/sec in",  "Max in/sec",  "Moy in/sec",
                                           "oct/sec out", "Max out/sec", "Moy out/sec"};

} // namespace

TForm2::TForm2(DetailGrid& grid, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm2>()), grid_(grid) {
    ui_->setupUi(this);
    move(198, 114); // the layout's place, frame included; a top-level's is not applied by setupUi
    // A secondary window: closing it only hides it, and never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    ui_->sgmib->setModel(&grid_);
    ui_->sgmib->horizontalHeader()->setFixedHeight(kRowHeight);
    ui_->sgmib->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui_->sgmib->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FormCreate();
}

TForm2::~TForm2() = default;

QTableView* TForm2::sgmib() const {
    return ui_->sgmib;
}
QLabel* TForm2::Label1() const {
    return ui_->Label1;
}
QLabel* TForm2::Label2() const {
    return ui_->Label2;
}

void TForm2::FormCreate() {
    for (int col = 0; col < ColumnCount; ++col) {
        grid_.SetCell(col, 0, QString::fromUtf8(kHeaders[col]));
    }
}

void TForm2::resizeEvent(QResizeEvent* event) {
    // The grid is aligned to the top: it follows the window's width and keeps its height.
    ui_->sgmib->setGeometry(0, 0, width(), kGridHeight);
    QWidget::resizeEvent(event);
}

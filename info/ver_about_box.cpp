// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/ver_about_box.h"

#include "info/version_info.h"
#include "ui_ver_about_box.h"

#include <QIcon>
#include <QScreen>
#include <QStyle>

namespace {

constexpr std::chrono::milliseconds kTimerInterval{2000};
// The tick after a showing that closes the box.
constexpr int kClosingTick = 2;
constexpr int kIconSize = 32;

} // namespace

TVerAboutBox::TVerAboutBox(QWidget* parent)
    : TShowingForm(parent, Qt::Window | Qt::FramelessWindowHint),
      ui_(std::make_unique<Ui::TVerAboutBox>()), timer1_(kTimerInterval) {
    ui_->setupUi(this);
    // Closing only hides the box, and never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    ui_->imgProgramIcon->setPixmap(QIcon(":/icons/filocompte.ico").pixmap(kIconSize, kIconSize));
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->geometry())
             .topLeft());
    connect(&timer1_, &PhasedTimer::Timeout, this, &TVerAboutBox::Timer1Timer);
    connect(ui_->Button1, &QPushButton::clicked, this, &TVerAboutBox::Button1Click);
    FormCreate();
}

TVerAboutBox::~TVerAboutBox() = default;

void TVerAboutBox::FormCreate() {
    timer1_.Start();
}

void TVerAboutBox::FormShow() {
    tickCount_ = 0;
    ui_->lblProductName->setText(ReadVersionInfo(TInfo::ProductName));
    ui_->lblVersion->setText("Version " + ReadVersionInfo(TInfo::FileVersion));
    ui_->lblCopyright->setText("Copyright " + ReadVersionInfo(TInfo::LegalCopyright));
    timer1_.Start();
}

void TVerAboutBox::Timer1Timer() {
    ++tickCount_;
    if (tickCount_ == kClosingTick) {
        close();
    }
    // Past the closing tick the ticks would change nothing until the next showing.
    if (tickCount_ >= kClosingTick) {
        timer1_.Stop();
    }
}

void TVerAboutBox::Button1Click() {
    hide();
    close();
}

void TVerAboutBox::VersionInfo1Click() {
    show();
    raise();
}

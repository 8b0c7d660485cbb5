#include "info/ver_about_box.h"

#include "info/version_info.h"
#include "ui_ver_about_box.h"

#include <QIcon>
#include <QScreen>
#include <QStyle>

namespace {

constexpr int kTimerInterval = 2000;
constexpr int kIconSize = 32;

// Ticks since the box was last shown; it closes the box when it reaches 2.
int tickCount = 0;

} // namespace

TVerAboutBox::TVerAboutBox(QWidget* parent)
    : TShowingForm(parent, Qt::Window | Qt::FramelessWindowHint),
      ui_(std::make_unique<Ui::TVerAboutBox>()) {
    ui_->setupUi(this);
    // Closing only hides the box, and never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    ui_->imgProgramIcon->setPixmap(QIcon(":/icons/filocompte.ico").pixmap(kIconSize, kIconSize));
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->geometry())
             .topLeft());
    connect(&timer1_, &QTimer::timeout, this, &TVerAboutBox::Timer1Timer);
    connect(ui_->Button1, &QPushButton::clicked, this, &TVerAboutBox::Button1Click);
    FormCreate();
}

TVerAboutBox::~TVerAboutBox() = default;

void TVerAboutBox::FormCreate() {
    timer1_.start(kTimerInterval);
}

void TVerAboutBox::FormShow() {
    tickCount = 0;
    ui_->lblProductName->setText(ReadVersionInfo(TInfo::ProductName));
    ui_->lblVersion->setText("Version " + ReadVersionInfo(TInfo::FileVersion));
    ui_->lblCopyright->setText("Copyright " + ReadVersionInfo(TInfo::LegalCopyright));
}

void TVerAboutBox::Timer1Timer() {
    ++tickCount;
    if (tickCount == 2) {
        close();
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

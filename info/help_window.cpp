// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/help_window.h"

#include "info/resource.h"
#include "ui_help_window.h"

#include <QScreen>
#include <QStyle>

namespace {

constexpr std::chrono::milliseconds kTimerInterval{25};
constexpr int kStartAlpha = 10;
constexpr int kEndAlpha = 200;

// The help text without the file's final line break, which would show as an extra empty line.
QString HelpText() {
    QString text = QString::fromUtf8(ResourceBytes(":/help.txt"));
    if (text.endsWith('\n')) {
        text.chop(1);
    }
    return text;
}

} // namespace

TForm4::TForm4(QWidget* parent)
    : TShowingForm(parent, Qt::Window), ui_(std::make_unique<Ui::TForm4>()),
      timer1_(kTimerInterval) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    // Closing only hides the window, and never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->geometry())
             .topLeft());
    connect(&timer1_, &PhasedTimer::Timeout, this, &TForm4::Timer1Timer);
    FormCreate();
}

TForm4::~TForm4() = default;

QPlainTextEdit* TForm4::Memo1() const {
    return ui_->Memo1;
}

void TForm4::FormCreate() {
    SetAlphaBlendValue(kStartAlpha);
    ui_->Memo1->setPlainText(HelpText());
    timer1_.Start();
}

void TForm4::FormShow() {
    SetAlphaBlendValue(kStartAlpha);
    timer1_.Start();
}

void TForm4::Timer1Timer() {
    if (alpha_ < kEndAlpha) {
        SetAlphaBlendValue(alpha_ + 1);
    }
    // Past the end of the fade the ticks would change nothing until the next showing; nor while the
    // window is hidden, since a showing starts the fade again from its start.
    if (alpha_ >= kEndAlpha || !isVisible()) {
        timer1_.Stop();
    }
}

void TForm4::SetAlphaBlendValue(int alpha) {
    alpha_ = alpha;
    setWindowOpacity(alpha / 255.0);
}

void TForm4::Unpetitcoupdemain1Click() {
    show();
    raise();
}

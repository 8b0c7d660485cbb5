// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/bar_gauge.h"

#include "platform/failure.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <string>

namespace {

constexpr std::int64_t kLowest = -2147483647;
constexpr std::int64_t kHighest = 2147483647;

platform::InvalidOperation OutOfRange(std::int64_t lowest, std::int64_t highest) {
    return platform::InvalidOperation("La valeur doit être comprise entre " +
                                      std::to_string(lowest) + " et " + std::to_string(highest));
}

// The part of a length that a percentage covers, truncated toward zero.
int FillSize(int percent, int length) {
    return static_cast<int>(static_cast<long double>(length) * (percent * 0.01L));
}

} // namespace

TBarGauge::TBarGauge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TBarGauge::SetMinValue(int value) {
    if (value == min_) {
        return;
    }
    if (value > max_ && !loading_) {
        throw OutOfRange(kLowest, std::int64_t(max_) - 1);
    }
    min_ = value;
    progress_ = std::max(progress_, min_);
    repaint();
}

void TBarGauge::SetMaxValue(int value) {
    if (value == max_) {
        return;
    }
    if (value < min_ && !loading_) {
        throw OutOfRange(std::int64_t(min_) + 1, kHighest);
    }
    max_ = value;
    progress_ = std::min(progress_, max_);
    repaint();
}

void TBarGauge::SetProgress(int value) {
    value = value < min_ ? min_ : value > max_ ? max_ : value;
    if (value == progress_) {
        return;
    }
    const int before = FillWidth();
    progress_ = value;
    if (FillWidth() != before) {
        repaint();
    }
}

int TBarGauge::PercentDone() const {
    const double span = double(max_) - double(min_);
    if (span == 0) {
        return 0;
    }
    // Only a range loaded upside down leaves the progress outside it; keep a percentage anyway.
    return static_cast<int>(std::clamp((double(progress_) - min_) * 100 / span, 0.0, 100.0));
}

// A disabled gauge lets presses and moves through to whatever lies beneath it.
void TBarGauge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        setAttribute(Qt::WA_TransparentForMouseEvents, !isEnabled());
    }
    QWidget::changeEvent(event);
}

// Drawn off screen and copied in one go, so the bar never flickers.
void TBarGauge::paintEvent(QPaintEvent*) {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    PaintBar(painter);
    painter.end();
    QPainter(this).drawImage(0, 0, image);
}

// Within a border, the bar lies inside a black ring one pixel wide.
QRect TBarGauge::Bar() const {
    return border_ == TBorderStyle::bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
}

// The percentage of the bar's width plus one column, at most that many; 0 without a fore colour.
int TBarGauge::FillWidth() const {
    if (fore_ == clNone) {
        return 0;
    }
    const int w = Bar().width() + 1;
    return std::max(std::min(FillSize(PercentDone(), w), w), 0);
}

// The fill's right edge is the fill size itself, not an offset from the bar's left.
void TBarGauge::PaintBar(QPainter& painter) const {
    const QRect bar = Bar();
    painter.fillRect(bar, ToQColor(back_));
    const int fill = FillWidth();
    if (fill > 0) {
        painter.fillRect(QRect(bar.topLeft(), QPoint(fill - 1, bar.height())), ToQColor(fore_));
    }
}

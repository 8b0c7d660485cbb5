// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A horizontal bar gauge: the share of its range that the progress covers, filled in the fore
// colour over the back colour. It paints its whole rectangle itself.

#include "shell/colors.h"

#include <QWidget>

class TBarGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(TColor ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(TColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText)

public:
    enum class TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    explicit TBarGauge(QWidget* parent = nullptr);

    // While loading, the range setters accept a minimum above the maximum: the layout may set the
    // two in either order.
    void SetLoading(bool loading) { loading_ = loading; }

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progress_; }
    TColor ForeColor() const { return fore_; }
    TColor BackColor() const { return back_; }
    TBorderStyle BorderStyle() const { return border_; }
    bool ShowText() const { return showText_; }

    // Refused (platform::InvalidOperation) when above the maximum.
    void SetMinValue(int value);
    // Refused (platform::InvalidOperation) when below the minimum.
    void SetMaxValue(int value);
    // Clamped to the range; repaints only when the fill shows more or fewer columns.
    void SetProgress(int value);
    // clNone leaves the filled part unpainted.
    void SetForeColor(TColor color) { Assign(fore_, color); }
    void SetBackColor(TColor color) { Assign(back_, color); }
    void SetBorderStyle(TBorderStyle style) { Assign(border_, style); }
    // Kept for the layout; the bar draws no text.
    void SetShowText(bool show) { Assign(showText_, show); }

    // The whole percentage of the range that the progress covers, 0 for an empty range.
    int PercentDone() const;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    template <typename T> void Assign(T& field, T value) {
        if (field != value) {
            field = value;
            repaint();
        }
    }
    QRect Bar() const;
    // The columns filled in the fore colour.
    int FillWidth() const;
    void PaintBar(QPainter& painter) const;

    int min_ = 0;
    int max_ = 100;
    int progress_ = 0;
    TColor fore_ = clBlack;
    TColor back_ = 0xFFFFFF;
    TBorderStyle border_ = TBorderStyle::bsSingle;
    bool showText_ = true;
    bool loading_ = false;
};

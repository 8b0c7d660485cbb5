// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: a small borderless yellow card with the product name, file version and copyright,
// shown as a splash at start-up and on demand; it closes itself on its timer's second tick after
// a showing. The timer sleeps from that tick to the next showing.

#include "info/phased_timer.h"
#include "info/showing_form.h"

#include <memory>

namespace Ui {
class TVerAboutBox;
}

class TVerAboutBox : public TShowingForm {
    Q_OBJECT

public:
    explicit TVerAboutBox(QWidget* parent = nullptr);
    ~TVerAboutBox() override;

    const PhasedTimer& Timer1() const { return timer1_; }

public slots:
    void VersionInfo1Click();
    void Timer1Timer();
    void Button1Click();

private:
    void FormCreate();
    void FormShow() override;

    std::unique_ptr<Ui::TVerAboutBox> ui_;
    PhasedTimer timer1_;
    // Ticks since the box was last shown.
    int tickCount_ = 0;
};

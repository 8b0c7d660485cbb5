// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: an always-on-top editable memo holding the help text, fading in at each
// showing. Its fade timer sleeps between the end of a fade and the next showing.

#include "info/phased_timer.h"
#include "info/showing_form.h"

#include <memory>

class QPlainTextEdit;

namespace Ui {
class TForm4;
}

class TForm4 : public TShowingForm {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    QPlainTextEdit* Memo1() const;
    const PhasedTimer& Timer1() const { return timer1_; }
    // The window's opacity, 0 (invisible) to 255 (opaque).
    int AlphaBlendValue() const { return alpha_; }

public slots:
    void Unpetitcoupdemain1Click();
    void Timer1Timer();

private:
    void FormCreate();
    void FormShow() override;
    void SetAlphaBlendValue(int alpha);

    std::unique_ptr<Ui::TForm4> ui_;
    PhasedTimer timer1_;
    // Kept apart from windowOpacity(), which rounds through a byte and would stall the fade.
    int alpha_ = 0;
};

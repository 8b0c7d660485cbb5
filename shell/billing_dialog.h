// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog "Règles de facturation": the billing rule's fields, "Par défaut" for the program's
// own rule, and "OK", which takes only a rule that can serve and otherwise says why and keeps the
// dialog open with what was typed.

#include "counter/billing.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TForm6;
}

class TForm6 : public QDialog {
    Q_OBJECT

public:
    explicit TForm6(const BillingRule& rule, QWidget* parent = nullptr);
    ~TForm6() override;

    // The rule as the fields hold it.
    BillingRule Rule() const;

public slots:
    void OK1Click();
    void ParDefaut1Click();

private:
    void ShowRule(const BillingRule& rule);
    std::optional<QString> Problem() const;

    std::unique_ptr<Ui::TForm6> ui_;
};

// Runs the dialog over parent, the timers ticking meanwhile: the rule on "OK", nothing on
// "Annuler".
std::optional<BillingRule> AskBillingRule(QWidget* parent, const BillingRule& rule);

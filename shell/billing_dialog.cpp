// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/billing_dialog.h"

#include "info/dialogs.h"
#include "ui_billing_dialog.h"

TForm6::TForm6(const BillingRule& rule, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TForm6>()) {
    ui_->setupUi(this);
    connect(ui_->OK1, &QPushButton::clicked, this, &TForm6::OK1Click);
    connect(ui_->Annuler1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->ParDefaut1, &QPushButton::clicked, this, &TForm6::ParDefaut1Click);
    connect(ui_->HeuresGratuites1, &QCheckBox::toggled, ui_->De1, &QWidget::setEnabled);
    connect(ui_->HeuresGratuites1, &QCheckBox::toggled, ui_->A1, &QWidget::setEnabled);
    ShowRule(rule);
}

TForm6::~TForm6() = default;

void TForm6::ShowRule(const BillingRule& rule) {
    ui_->TempsMort1->setValue(rule.deadTime);
    ui_->Minimum1->setValue(rule.firstPeriod);
    ui_->Pas1->setValue(rule.step);
    ui_->HeuresGratuites1->setChecked(rule.HasFreeWindow());
    ui_->De1->setEnabled(rule.HasFreeWindow());
    ui_->A1->setEnabled(rule.HasFreeWindow());
    ui_->De1->setTime(rule.freeFrom);
    ui_->A1->setTime(rule.freeTo);
    ui_->Samedi1->setChecked(rule.freeSaturday);
    ui_->Dimanche1->setChecked(rule.freeSunday);
}

BillingRule TForm6::Rule() const {
    const bool window = ui_->HeuresGratuites1->isChecked();
    return {ui_->TempsMort1->value(),
            ui_->Minimum1->value(),
            ui_->Pas1->value(),
            window ? ui_->De1->time() : QTime(0, 0),
            window ? ui_->A1->time() : QTime(0, 0),
            ui_->Samedi1->isChecked(),
            ui_->Dimanche1->isChecked()};
}

// A field left empty or out of range while typing holds no value yet.
std::optional<QString> TForm6::Problem() const {
    for (const QSpinBox* field : {ui_->TempsMort1, ui_->Minimum1, ui_->Pas1}) {
        if (!field->hasAcceptableInput()) {
            return QStringLiteral("« %1 » n'est pas un nombre de secondes de %2 à %3.")
                .arg(field->text())
                .arg(field->minimum())
                .arg(field->maximum());
        }
    }
    if (ui_->HeuresGratuites1->isChecked() && ui_->De1->time() == ui_->A1->time()) {
        return QStringLiteral("Les heures gratuites doivent commencer et finir à des heures "
                              "différentes.");
    }
    return RuleProblem(Rule());
}

void TForm6::OK1Click() {
    if (const auto problem = Problem()) {
        ShowMessage(this, *problem);
        return;
    }
    accept();
}

void TForm6::ParDefaut1Click() {
    ShowRule({});
}

std::optional<BillingRule> AskBillingRule(QWidget* parent, const BillingRule& rule) {
    TForm6 dialog(rule, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Rule();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/about_message.h"

#include "info/dialogs.h"

#include <QStringList>

QString AboutMessageText(const QString& billingRule) {
    const QStringList lines = {
        "Filocompte, par les contributeurs de Filocompte (2026)",
        billingRule.isEmpty() ? QStringLiteral("(temps mort arbitraire = 10 Secondes)")
                              : "(facturation : " + billingRule + ')',
        "",
        "Quoi de neuf dans cette version",
        "- Le débit fonctionne avec Windows NT,2000,XP",
        "- Chaque mois, le programme propose la réinitialisation",
        "- Le débit calculé est entrant+sortant",
        "- La session en cours est en heures:minutes:secondes",
        "- Gestion du forfait",
    };
    return lines.join("\r\n");
}

void Aproposde1Click(QWidget* parent, const QString& billingRule) {
    ShowMessage(parent, AboutMessageText(billingRule));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/dialogs.h"
#include "tests/support/modal_dialog.h"

#include <functional>

namespace {

TEST(StandardBoxes, ShowTheirTextAsWrittenAndAnswerAsPressed) {
    const QString question = "Initialiser les valeurs enregistrées";
    const auto confirm = [question] { return QString::number(ConfirmBox(nullptr, question)); };
    // A prompt may carry a file's text: shown as written, never as markup.
    const auto input = [] {
        return InputBox(nullptr, "Fixer le forfait en heures", "<b>x</b>", "20").value_or("none");
    };
    const auto error = [](const char* message) {
        return [message] {
            ErrorBox(message);
            return QString();
        };
    };
    const SeenDialog confirmation{"Confirmation",        question,        "", Qt::PlainText,
                                  QMessageBox::Question, {"&Oui", "&Non"}};
    const SeenDialog inputBox{"Fixer le forfait en heures", "<b>x</b>",       "20", Qt::PlainText,
                              QMessageBox::NoIcon,          {"OK", "Annuler"}};
    const auto errorBox = [](const char* shown) {
        return SeenDialog{"Filocompte", shown, "", Qt::PlainText, QMessageBox::Critical, {"OK"}};
    };
    const struct {
        std::function<QString()> open;
        const char* button;
        QString result;
        SeenDialog seen;
    } cases[] = {
        {confirm, "&Oui", "1", confirmation},
        {confirm, "&Non", "0", confirmation},
        {input, "OK", "35", inputBox},
        {input, "Annuler", "none", inputBox},
        {error("Fichier introuvable"), "OK", "", errorBox("Fichier introuvable.")},
        {error("Erreur E/S 7"), "OK", "", errorBox("Erreur E/S 7.")},
        {error("Déjà fini."), "OK", "", errorBox("Déjà fini.")},
        {error("Attention!"), "OK", "", errorBox("Attention!")},
    };
    for (const auto& c : cases) {
        SeenDialog seen;
        AnswerNextDialog(seen, c.button, "35");
        EXPECT_EQ(c.open(), c.result) << c.button;
        SettleDialogs();
        EXPECT_EQ(seen, c.seen);
    }
}

// The boxes that only inform wait for nobody, and the same text is not shown twice at once.
TEST(StandardBoxes, InformingBoxesReturnAtOnceWithoutPilingUp) {
    ErrorBox("Disque plein");
    ErrorBox("Disque plein");
    ShowMessage(nullptr, "Disque plein.");
    ErrorBox("Fichier introuvable");
    QStringList open;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        open << qobject_cast<QMessageBox*>(window)->text();
        window->close();
    }
    open.sort();
    EXPECT_EQ(open, QStringList({"Disque plein.", "Fichier introuvable."}));
    SettleDialogs();
}

// A box opens over the first of the covered windows that is shown, stays on top as they do, and
// one that is open when such a window is shown goes over it.
TEST(StandardBoxes, CoverTheFirstShownOfTheProgramsWindows) {
    QWidget help;
    QWidget strip;
    KeepBoxesAbove({&help, &strip});
    const auto parentOf = [](const QString& text) -> QWidget* {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (box != nullptr && box->text() == text) {
                EXPECT_TRUE(box->isVisible() &&
                            box->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
                    << text.toStdString();
                return box->parentWidget();
            }
        }
        ADD_FAILURE() << "no box " << text.toStdString();
        return nullptr;
    };
    ErrorBox("Avant les fenêtres");
    EXPECT_EQ(parentOf("Avant les fenêtres."), nullptr);
    strip.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(parentOf("Avant les fenêtres."), &strip);
    ShowMessage(nullptr, "Sur le bandeau");
    EXPECT_EQ(parentOf("Sur le bandeau"), &strip);
    help.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(parentOf("Avant les fenêtres."), &help);
    EXPECT_EQ(parentOf("Sur le bandeau"), &help);
    ShowMessage(&strip, "Sur l'aide");
    EXPECT_EQ(parentOf("Sur l'aide"), &help);
    KeepBoxesAbove({});
}

} // namespace

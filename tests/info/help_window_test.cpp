#include "info/help_window.h"

#include <QLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

const QStringList kHelpLines = {
    "Bonjour,",
    "",
    "C'est sans doute la première fois je suis lancé ou-bien mes fichiers dépendants ont été "
    "ôtés.",
    "Il s'agit de  : ",
    "\t- decompte_internet.log",
    "\t- jour_raz.txt",
    "",
    "Autre possibilité : besoin d'un petit coup de main.",
    "",
    "De toute façon, pour m'utiliser, il faut fixer un jour de R.A.Z du compteur. Cette R.A.Z. ne "
    "sera pas systématique ",
    "mais sera proposée systématiquement dès qu'un mois se sera écoulé depuis la dernière "
    "réinitialisation. Ceci ",
    "correspond au cas le plus fréquent de forfait mensuel.",
    "",
    "Tant que j'y suis, je vous dois quelques ex complications...",
    "",
    "Tout d'abord, la langue qui dépasse, c'est ma poignée : ",
    "Un click droit dessus et un menu popup apparaît. Faites votre choix...",
    "Un click gauche et je montre toute mon interface mais si la souris me chatouille, je me "
    "dissimule à nouveau.",
    "",
    "Sachez d'autre part que le petit icône style web (toile avec un point d'interrogation rouge) "
    "de la trackbar, c'est ",
    "encore moi. Et même punition pour le click droit.",
    "",
    "Au fait,",
    "Si je fonctionne bien, c'est grâce aux contributeurs de Filocompte qui m'ont écrit.",
    "Si je ne fonctionne pas, je ne sais pas quel est le #@^{# qui m'a écrit.",
    ".",
    "Filocompte, logiciel libre maintenu par ses contributeurs.",
};

// As if the timer fired count times.
void Tick(TForm4& form, int count) {
    for (int i = 0; i < count; ++i) {
        form.Timer1Timer();
    }
}

TEST(HelpWindow, MemoHoldsTheHelpTextExactly) {
    TForm4 form;
    EXPECT_EQ(form.Memo1()->document()->blockCount(), 27);
    EXPECT_EQ(form.Memo1()->toPlainText(), kHelpLines.join('\n'));
}

TEST(HelpWindow, FadesInOneStepATickFrom10To200ThenItsTimerSleeps) {
    TForm4 form;
    EXPECT_EQ(form.AlphaBlendValue(), 10);
    EXPECT_TRUE(form.Timer1().isActive());
    EXPECT_EQ(form.Timer1().interval(), std::chrono::milliseconds(25));
    form.Unpetitcoupdemain1Click();
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.AlphaBlendValue(), 10);
    for (int step = 1; step <= 190; ++step) {
        ASSERT_TRUE(form.Timer1().isActive()) << step;
        form.Timer1Timer();
        ASSERT_EQ(form.AlphaBlendValue(), 10 + step);
    }
    EXPECT_NEAR(form.windowOpacity(), 200 / 255.0, 1 / 255.0);
    EXPECT_FALSE(form.Timer1().isActive());
    Tick(form, 20);
    EXPECT_EQ(form.AlphaBlendValue(), 200);
    EXPECT_FALSE(form.Timer1().isActive());
}

TEST(HelpWindow, OnlyAShowingAfterHidingRestartsTheFade) {
    TForm4 form;
    form.show();
    Tick(form, 50);
    form.Unpetitcoupdemain1Click();
    EXPECT_EQ(form.AlphaBlendValue(), 60);

    // Hidden, the fade sleeps at its next tick: what it would change nobody sees.
    form.close();
    EXPECT_FALSE(form.isVisible());
    Tick(form, 1);
    EXPECT_FALSE(form.Timer1().isActive());
    form.Unpetitcoupdemain1Click();
    EXPECT_EQ(form.AlphaBlendValue(), 10);
    EXPECT_TRUE(form.Timer1().isActive());
}

TEST(HelpWindow, UserEditsSurviveHidingAndShowing) {
    TForm4 form;
    form.show();
    EXPECT_FALSE(form.Memo1()->isReadOnly());
    form.Memo1()->appendPlainText("ma note");
    form.close();
    form.show();
    EXPECT_EQ(form.Memo1()->toPlainText(), kHelpLines.join('\n') + "\nma note");
}

TEST(HelpWindow, IsASizeableAlwaysOnTopWindowWithTheMemoFillingIt) {
    TForm4 form;
    EXPECT_EQ(form.windowTitle(), "Je vous dois des ex-complications");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(form.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_FALSE(form.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(form.size(), QSize(763, 436));

    form.show();
    // Centred before the window frame is known: off by at most half the frame, and rounding.
    const QPoint offCentre = form.frameGeometry().center() - form.screen()->geometry().center();
    const QSize frame = form.frameGeometry().size() - form.size();
    EXPECT_LE(offCentre.manhattanLength(), (frame.width() + frame.height()) / 2 + 2);
    const QFont font = form.Memo1()->font();
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pixelSize(), 15);
    EXPECT_EQ(form.Memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.Memo1()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form.Memo1()->geometry(), form.rect());
    form.resize(500, 300);
    form.layout()->activate();
    EXPECT_EQ(form.Memo1()->geometry(), QRect(0, 0, 500, 300));
}

} // namespace

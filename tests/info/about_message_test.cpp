#include "info/about_message.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(AboutMessage, IsNineLinesJoinedByCrLf) {
    EXPECT_EQ(AboutMessageText(), "Filocompte, par les contributeurs de Filocompte (2026)\r\n"
                                  "(temps mort arbitraire = 10 Secondes)\r\n"
                                  "\r\n"
                                  "Quoi de neuf dans cette version\r\n"
                                  "- Le débit fonctionne avec Windows NT,2000,XP\r\n"
                                  "- Chaque mois, le programme propose la réinitialisation\r\n"
                                  "- Le débit calculé est entrant+sortant\r\n"
                                  "- La session en cours est en heures:minutes:secondes\r\n"
                                  "- Gestion du forfait");
}

struct SeenBox {
    bool found = false;
    bool modal = false;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::Information;
    QStringList buttons;
};

TEST(AboutMessage, ShowsAModalBoxWithTheTextAndASingleOkButton) {
    SeenBox seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QApplication::closeAllWindows();
            return;
        }
        seen.found = true;
        seen.modal = box->isModal();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text();
        }
        box->buttons().first()->click();
    });
    Aproposde1Click(nullptr);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.title, "Filocompte");
    EXPECT_EQ(seen.text, AboutMessageText());
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
}

} // namespace

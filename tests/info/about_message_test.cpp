// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/about_message.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Nine lines joined by CR LF, the first naming the program, the dead time told as it is counted.
TEST(AboutMessage, IsNineLinesJoinedByCrLf) {
    const QString text = AboutMessageText();
    const QStringList lines = text.split("\r\n");
    EXPECT_EQ(lines.size(), 9);
    EXPECT_FALSE(text.contains(QRegularExpression("[^\r]\n|\r[^\n]")));
    EXPECT_TRUE(lines[0].startsWith("Filocompte"));
    EXPECT_EQ(lines[1], "(temps mort arbitraire = 10 Secondes)");
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_EQ(AboutMessageText("temps mort = 5 s, puis à la seconde").split("\r\n")[1],
              "(facturation : temps mort = 5 s, puis à la seconde)")
        << "a rule of the user's in place of the dead time";
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

#include "shell/widget_window.h"

#include "info/about_message.h"
#include "info/dialogs.h"
#include "info/help_window.h"
#include "info/ver_about_box.h"
#include "netstats/detail_window.h"
#include "shell/application.h"
#include "ui_widget_window.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScreen>

namespace {

constexpr int kTickInterval = 1000;

} // namespace

TForm1::TForm1(TVerAboutBox& aboutBox, TForm2& detail, TForm4& help, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TForm1>()), aboutBox_(aboutBox), detail_(detail), help_(help),
      sampler_(detail.grid()), counter_(*this) {
    ui_->setupUi(this);
    timer1_.setInterval(kTickInterval);
    connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
    CreatePopupMenu1();
    // A failure of the start-up is reported like any other, and the window still comes up.
    Guard([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    timer1_.stop();
    move(0, -ui_->origine->y());
    resize(screen()->geometry().width(), height());
    counter_.ResetConnection();
    CaptureMIBData(true);
    timer1_.start();
    FormClick();
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const QString& caption,
                         void (TForm1::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, handler);
    return item;
}

void TForm1::CreatePopupMenu1() {
    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName("PopupMenu1");
    AddItem(popupMenu1_, "Voirledtaildesconnexions1", "Voir le détail des connexions",
            &TForm1::Voirledtaildesconnexions1Click);
    AddItem(popupMenu1_, "Rinitialiserlecompteur1", "Réinitialiser le compteur",
            &TForm1::Rinitialiserlecompteur1Click);
    QMenu* resetDay = popupMenu1_->addMenu("Jour de R.A.Z.");
    resetDay->menuAction()->setObjectName("JourdeRAZ1");
    AddItem(resetDay, "Changer1", "Changer", &TForm1::Changer1Click);
    AddItem(resetDay, "Voir1", "Voir", &TForm1::Voir1Click);
    AddItem(popupMenu1_, "Fixerleforfait1", "Fixer le forfait", &TForm1::Fixerleforfait1Click);
    AddItem(popupMenu1_, "Rduite1", "Masquer", &TForm1::Rduite1Click)->setCheckable(true);
    QAction* about = popupMenu1_->addAction("A propos de ...");
    about->setObjectName("Aproposde1");
    connect(about, &QAction::triggered, this, [this] { Aproposde1Click(this); });
    QAction* versionInfo = popupMenu1_->addAction("Version Info");
    versionInfo->setObjectName("VersionInfo1");
    connect(versionInfo, &QAction::triggered, &aboutBox_, &TVerAboutBox::VersionInfo1Click);
    QAction* help = popupMenu1_->addAction("Un petit coup de main");
    help->setObjectName("Unpetitcoupdemain1");
    connect(help, &QAction::triggered, &help_, &TForm4::Unpetitcoupdemain1Click);
    AddItem(popupMenu1_, "Dcrocher1", "Décrocher", &TForm1::Dcrocher1Click);
    AddItem(popupMenu1_, "Raccrocher1", "Raccrocher", &TForm1::Raccrocher1Click);
    AddItem(popupMenu1_, "Quitter1", "Quitter", &TForm1::Quitter1Click);
}

QAction* TForm1::MenuItem(const char* name) const {
    return popupMenu1_->findChild<QAction*>(name);
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    popupMenu1_->popup(event->globalPos());
}

void TForm1::Timer1Timer() {
    counter_.Timer1Timer();
}

void TForm1::FormClick() {
    counter_.FormClick();
}

void TForm1::Voirledtaildesconnexions1Click() {
    detail_.show();
    detail_.raise();
}

void TForm1::Rinitialiserlecompteur1Click() {
    counter_.Rinitialiserlecompteur1Click();
}

void TForm1::Changer1Click() {
    counter_.Changer1Click();
}

void TForm1::Voir1Click() {
    counter_.Voir1Click();
}

void TForm1::Fixerleforfait1Click() {
    counter_.Fixerleforfait1Click();
}

// The check mark is the state, whether or not the window is visible meanwhile.
void TForm1::Rduite1Click() {
    QAction* item = MenuItem("Rduite1");
    if (!item->isChecked()) {
        show();
    } else {
        hide();
    }
}

void TForm1::Dcrocher1Click() {
    counter_.Dcrocher1Click();
}

void TForm1::Raccrocher1Click() {
    counter_.Raccrocher1Click();
}

void TForm1::Quitter1Click() {
    counter_.Quitter1Click();
}

void TForm1::SetLabel1(const QString& text) {
    ui_->Label1->setText(text);
}

void TForm1::SetLabel2(const QString& text) {
    ui_->Label2->setText(text);
    ui_->Label2->adjustSize();
}

void TForm1::SetLabel8(const QString& text) {
    ui_->Label8->setText(text);
}

void TForm1::SetShape1Color(TColor color) {
    ui_->Shape1->setBrushColor(color);
}

bool TForm1::Shape2Visible() const {
    return !ui_->Shape2->isHidden();
}

void TForm1::SetShape2Visible(bool visible) {
    ui_->Shape2->setVisible(visible);
}

void TForm1::SetGaugeColors(TColor fore, TColor back) {
    gaugeFore_ = fore;
    gaugeBack_ = back;
}

void TForm1::SetDialEnabled(bool dial, bool hangUp) {
    MenuItem("Dcrocher1")->setEnabled(dial);
    MenuItem("Raccrocher1")->setEnabled(hangUp);
}

void TForm1::ShowTrayFrame(int) {}

void TForm1::ShowApplicationIcon() {}

HWND TForm1::Handle() {
    return reinterpret_cast<HWND>(winId());
}

const DetailGrid& TForm1::Grid() const {
    return detail_.grid();
}

void TForm1::CaptureMIBData(bool flag) {
    sampler_.CaptureMIBData(flag);
}

void TForm1::SetDetailLabel1(const QString& text) {
    detail_.Label1()->setText(text);
}

void TForm1::SetDetailLabel2(const QString& text) {
    detail_.Label2()->setText(text);
}

void TForm1::ShowMessage(const QString& text) {
    ::ShowMessage(this, text);
}

bool TForm1::Confirm(const QString& text) {
    return ConfirmBox(this, text);
}

std::optional<QString> TForm1::InputBox(const QString& caption, const QString& prompt,
                                        const QString& value) {
    return ::InputBox(this, caption, prompt, value);
}

void TForm1::ShowHelpWindow() {
    help_.Unpetitcoupdemain1Click();
}

void TForm1::Terminate() {
    show();
    QCoreApplication::quit();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/widget_window.h"

#include "info/about_message.h"
#include "info/dialogs.h"
#include "info/help_window.h"
#include "info/resource.h"
#include "info/ver_about_box.h"
#include "platform/memory.h"
#include "platform/program_module.h"
#include "platform/termination.h"
#include "platform/x11_window.h"
#include "shell/application.h"
#include "shell/billing_dialog.h"
#include "shell/detail_window.h"
#include "shell/history_module.h"
#include "shell/image_list.h"
#include "shell/picone_barre_tache.h"
#include "shell/x11_connection.h"
#include "ui_widget_window.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImageReader>
#include <QMenu>
#include <QPixmapCache>
#include <QScreen>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QWindow>

namespace {

constexpr int kTickInterval = 1000;
constexpr int kAnimationInterval = 100;
constexpr int kGaugeSteps = 10;

// Read as the BMP it is: left to guess, the reader would load every image plugin to ask each.
QImage SkinPicture() {
    QImageReader reader(QStringLiteral(":/skin/skin.bmp"), "bmp");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

TForm1::TForm1(TVerAboutBox* splash, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TForm1>()), aboutBox_(splash),
      historyFolders_(platform::ModuleFolders()), sampler_(grid_), counter_(*this) {
    ui_->setupUi(this);
    if (splash != nullptr) {
        GoesWhenClosed(splash);
    }
    KeepBoxesAbove({this});
    // Window managers leave a dock where it asks to be, above normal windows, and neither
    // maximise it nor pull it back onto the screen. Outside its shape the window is transparent
    // too, for compositors that draw it without the shape.
    setAttribute(Qt::WA_TranslucentBackground);
    // The toolkit writes the type only on a window that exists.
    winId();
    setAttribute(Qt::WA_X11NetWmWindowTypeDock);
    timer1_.setInterval(kTickInterval);
    connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&timer2_, &QTimer::timeout, this, &TForm1::Timer2Timer);
    CreatePopupMenu1();
    connect(&counter_.History(), &Journal::Added, &history_, &HistoryProcess::JournalAdded);
    LoadComponents();
    WatchTerminationRequests();
    timer2_.start(kAnimationInterval);
    // A failure of the start-up is reported like any other, and the window still comes up.
    Guard([this] { FormCreate(); });
}

TForm1::~TForm1() {
    SetDisplayLossHandler({});
    delete aboutBox_;
}

// What the layout gives the components beyond their places: the skin's picture and mask, the
// gauge's range and colours, the tray icon's properties; and the handle's mouse events.
void TForm1::LoadComponents() {
    ui_->SkinForm1->SetPicture(SkinPicture());
    ui_->SkinForm1->ReadMask(ResourceBytes(":/skin/mask2.bin"));
    connect(ui_->SkinForm1, &TSkinForm::MouseMove, this, &TForm1::SkinForm1MouseMove);
    TBarGauge& gauge = *ui_->Gauge1;
    gauge.SetBorderStyle(TBarGauge::TBorderStyle::bsNone);
    gauge.SetShowText(false);
    gauge.SetMaxValue(kGaugeSteps);
    gauge.SetBackColor(clGreen);
    gauge.SetForeColor(clNone);
    ui_->origine->installEventFilter(this);
    piconeBarreTache1_ = new TPiconeBarreTache(this);
    piconeBarreTache1_->SetMenuPop(popupMenu1_);
    piconeBarreTache1_->SetReduireSiFin(false);
    piconeBarreTache1_->SetPetiteIconeVisible(true);
    piconeBarreTache1_->SetGrandeIconeVisible(false);
    piconeBarreTache1_->SetApplicationCachee(false);
    piconeBarreTache1_->SetHint("Filocompte");
    piconeBarreTache1_->Loaded();
}

// A shutdown, a logout or a kill by the user first records the running connection. Watched from
// before the start-up, which may wait for the user in a message box. So does the loss of the
// display (a crashed session, some logouts), after which the toolkit ends the program.
void TForm1::WatchTerminationRequests() {
    SetDisplayLossHandler([this] { counter_.TerminationRequested(); });
    const int requests = platform::terminationRequests();
    if (requests < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(requests, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        platform::drainTerminationRequests();
        counter_.TerminationRequested();
    });
}

void TForm1::FormCreate() {
    timer1_.stop();
    // The hidden position: the strip above the screen, the tongue hanging from its top edge.
    MoveTo(0, -ui_->origine->y());
    // No bigger than the shape: a window wider than the screen is one that window managers hold
    // at its left edge, or maximise.
    const QRect shape = ui_->SkinForm1->Mask().region.boundingRect();
    if (!shape.isEmpty()) {
        resize(shape.right() + 1, shape.bottom() + 1);
    }
    counter_.ResetConnection();
    CaptureMIBData(true);
    timer1_.start();
    FormClick();
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const QString& caption,
                         const std::function<void()>& handler) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, handler);
    return item;
}

void TForm1::CreatePopupMenu1() {
    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName("PopupMenu1");
    AddItem(popupMenu1_, "Voirledtaildesconnexions1", "Voir le détail des connexions",
            [this] { Voirledtaildesconnexions1Click(); });
    AddItem(popupMenu1_, "Historiquedesconnexions1", "Historique des connexions…",
            [this] { Historiquedesconnexions1Click(); });
    AddItem(popupMenu1_, "Rinitialiserlecompteur1", "Réinitialiser le compteur",
            [this] { Rinitialiserlecompteur1Click(); });
    AddItem(popupMenu1_, "Corrigerlecompteur1", "Corriger le compteur…",
            [this] { Corrigerlecompteur1Click(); });
    QMenu* resetDay = popupMenu1_->addMenu("Jour de R.A.Z.");
    resetDay->menuAction()->setObjectName("JourdeRAZ1");
    AddItem(resetDay, "Changer1", "Changer", [this] { Changer1Click(); });
    AddItem(resetDay, "Voir1", "Voir", [this] { Voir1Click(); });
    AddItem(popupMenu1_, "Fixerleforfait1", "Fixer le forfait", [this] { Fixerleforfait1Click(); });
    AddItem(popupMenu1_, "Rglesdefacturation1", "Règles de facturation…",
            [this] { Rglesdefacturation1Click(); });
    AddItem(popupMenu1_, "Fixerleforfaitdevolume1", "Fixer le forfait de volume…",
            [this] { Fixerleforfaitdevolume1Click(); });
    AddItem(popupMenu1_, "Rduite1", "Masquer", [this] { Rduite1Click(); })->setCheckable(true);
    AddItem(popupMenu1_, "Aproposde1", "A propos de ...", [this] {
        Aproposde1Click(this,
                        counter_.Rule() == BillingRule{} ? QString() : RuleText(counter_.Rule()));
    });
    AddItem(popupMenu1_, "VersionInfo1", "Version Info",
            [this] { AboutBox().VersionInfo1Click(); });
    AddItem(popupMenu1_, "Unpetitcoupdemain1", "Un petit coup de main",
            [this] { Help().Unpetitcoupdemain1Click(); });
    AddItem(popupMenu1_, "Dcrocher1", "Décrocher", [this] { Dcrocher1Click(); });
    AddItem(popupMenu1_, "Raccrocher1", "Raccrocher", [this] { Raccrocher1Click(); });
    AddItem(popupMenu1_, "Quitter1", "Quitter", [this] { Quitter1Click(); });
    // Only the tray icon brings a hidden strip back: without a tray, hiding it would leave the
    // program out of reach.
    connect(popupMenu1_, &QMenu::aboutToShow, this, [this] {
        MenuItem("Rduite1")->setEnabled(QSystemTrayIcon::isSystemTrayAvailable());
        ShowHistoryInstalled();
    });
}

QAction* TForm1::MenuItem(const char* name) const {
    return popupMenu1_->findChild<QAction*>(name);
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    popupMenu1_->popup(event->globalPos());
}

// The handle takes a press (with Ctrl: the detail window) and a left click (the strip comes down).
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (watched == ui_->origine && (press || event->type() == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (press) {
            origineMouseDown(mouse->button(), mouse->modifiers());
        } else if (mouse->button() == Qt::LeftButton &&
                   ui_->origine->rect().contains(mouse->pos())) {
            origineClick();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::origineClick() {
    MoveTo(left_, ui_->origine->y());
}

void TForm1::origineMouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift) {
    if (shift.testFlag(Qt::ControlModifier)) {
        Voirledtaildesconnexions1Click();
    }
}

// Any move over the bare skin sends the strip back up, wherever it was.
void TForm1::SkinForm1MouseMove(Qt::KeyboardModifiers, int, int) {
    MoveTo(left_, -ui_->origine->y());
}

// Where the handlers put the window, the top kept for the drift.
void TForm1::MoveTo(int left, int top) {
    top_ = top;
    move(left, top_);
    left_ = left;
    PaintGaugeOnlyOnScreen();
}

// Where the display put the window, which a window manager may have chosen, or a drag.
void TForm1::moveEvent(QMoveEvent* event) {
    if (!placing_) {
        left_ = x();
    }
    PaintGaugeOnlyOnScreen();
    QWidget::moveEvent(event);
}

// With the strip above the screen the gauge is out of sight, and its ten repaints a second would
// show nobody anything. As the strip is asked down it is painted at once, so that the display
// shows its present picture; and wherever the display then holds the window, the gauge is
// painted when it can be seen there.
void TForm1::PaintGaugeOnlyOnScreen() {
    TBarGauge& gauge = *ui_->Gauge1;
    const bool onScreen = y() + gauge.geometry().bottom() >= screen()->geometry().top();
    if (onScreen != gauge.updatesEnabled()) {
        gauge.setUpdatesEnabled(onScreen);
        if (onScreen) {
            gauge.repaint();
        }
    }
}

// The gauge cycles, the strip drifts one pixel right and wraps, and the taskbar button that a
// left press on the tray icon brought back goes again.
void TForm1::Timer2Timer() {
    TBarGauge& gauge = *ui_->Gauge1;
    gauge.SetProgress(gauge.Progress() >= kGaugeSteps ? 0 : gauge.Progress() + 1);
    // Off X11 the toolkit moves the window and knows where it is (a hidden window too, which has
    // no move events); on X11 the drift goes by its own left.
    Drift(Drifted(X11Connection() == nullptr ? x() : left_, 1));
    placing_ = false;
    piconeBarreTache1_->SetGrandeIconeVisible(false);
    if (moveNotifications_ && windowHandle() != nullptr && windowHandle()->isExposed()) {
        SelectMoveNotifications(false);
    }
}

// The left that many ticks of drift after left: one pixel right a tick, back to the screen's left
// edge once the time label would pass its right edge.
int TForm1::Drifted(int left, qint64 ticks) const {
    const qint64 last = screen()->geometry().width() - ui_->Label1->width();
    const qint64 right = left + ticks;
    return static_cast<int>(right <= last ? right : (right - last - 1) % (last + 1));
}

// The drift's move, ten times a second. The height is the one the handlers chose: a window manager
// that pulled the window back onto the screen when it was mapped, or a drag, does not keep it
// there. The bare request speaks the display's pixels, the handlers the toolkit's scaled ones.
void TForm1::Drift(int left) {
    left_ = left;
    void* connection = X11Connection();
    if (connection == nullptr || !testAttribute(Qt::WA_WState_Created)) {
        move(left, top_);
        return;
    }
    const QPoint at = DevicePosition(QPoint(left, top_));
    platform::x11::MoveWindow(connection, static_cast<std::uint32_t>(winId()), at.x(), at.y());
}

// As the toolkit scales a top-level position: the screen's corner stays where it is and the
// rest is scaled from there, rounded to the nearest pixel.
QPoint TForm1::DevicePosition(QPoint logical) const {
    const QPoint corner = screen()->geometry().topLeft();
    return (logical - corner) * devicePixelRatioF() + corner;
}

// Each move of the drift would come back as a notification (from the window manager, which moves
// the window), and the toolkit would then ask the display for the window's frame: three wake-ups
// and a round trip ten times a second, for a position the window already knows. Once the window
// is mapped and shown, the display no longer tells it of its moves; before it is unmapped, it does
// again, so that the toolkit learns the unmapping as usual. The window's own moves (drift, reveal,
// drag) keep the position it goes by.
void TForm1::SelectMoveNotifications(bool selected) {
    if (void* connection = X11Connection();
        connection != nullptr && moveNotifications_ != selected) {
        platform::x11::SelectStructureNotifications(connection, static_cast<std::uint32_t>(winId()),
                                                    selected);
        moveNotifications_ = selected;
    }
}

void TForm1::setVisible(bool visible) {
    if (!visible) {
        SelectMoveNotifications(true);
    }
    QWidget::setVisible(visible);
}

// A window manager forgets a window's workspace and states when the window is unmapped: told
// again before each mapping. Hidden by "Masquer", the strip stood still; it comes back where its
// drift would have taken it meanwhile.
void TForm1::showEvent(QShowEvent* event) {
    if (hiddenFor_.isValid()) {
        // Where a window manager maps it meanwhile is overridden at the next tick.
        Drift(Drifted(left_, hiddenFor_.elapsed() / kAnimationInterval));
        placing_ = true;
        hiddenFor_.invalidate();
        timer2_.start(kAnimationInterval);
    }
    if (void* connection = X11Connection()) {
        platform::x11::ShowOnEveryDesktop(connection, static_cast<std::uint32_t>(winId()));
    }
    QWidget::showEvent(event);
}

// Hidden, the strip neither drifts nor animates its gauge.
void TForm1::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        timer2_.stop();
        hiddenFor_.start();
    }
    QWidget::hideEvent(event);
}

// Only "Quitter" ends the program.
void TForm1::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    FormResize();
    QWidget::resizeEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        FormResize();
    }
    QWidget::changeEvent(event);
}

// The widget is never left minimised or maximised.
void TForm1::FormResize() {
    if (windowState() != Qt::WindowNoState) {
        setWindowState(Qt::WindowNoState);
    }
}

void TForm1::Timer1Timer() {
    counter_.Tick();
    if (history_.Running()) {
        history_.Update(HistoryFacts());
    }
}

void TForm1::FormClick() {
    counter_.Reload();
}

void TForm1::Voirledtaildesconnexions1Click() {
    Detail().show();
    detail_->raise();
}

TForm2& TForm1::Detail() {
    if (!detail_) {
        detail_ = std::make_unique<TForm2>(grid_);
        detail_->Label1()->setText(throughput_);
        detail_->Label2()->setText(resetDayAndMonth_);
    }
    return *detail_;
}

// A window shown now and then is deleted when closed, and its memory given back to the system
// once it is gone: freed, it would stay with the program, amid the blocks still in use. So do the
// style's pictures of its buttons, headers and frames, which the strip does not draw.
void TForm1::GoesWhenClosed(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, this, [] {
        QMetaObject::invokeMethod(
            qApp,
            [] {
                QPixmapCache::clear();
                platform::releaseFreedMemory();
            },
            Qt::QueuedConnection);
    });
}

TVerAboutBox& TForm1::AboutBox() {
    if (aboutBox_ == nullptr) {
        aboutBox_ = new TVerAboutBox;
        GoesWhenClosed(aboutBox_);
    }
    return *aboutBox_;
}

TForm4& TForm1::Help() {
    if (!help_) {
        help_ = std::make_unique<TForm4>();
        // The boxes cover the help window, large and in the middle of the screen, before the strip.
        KeepBoxesAbove({help_.get(), this});
    }
    return *help_;
}

// The history is an optional part of the program: without its module the item says so.
void TForm1::ShowHistoryInstalled() {
    const bool installed = HistoryModuleInstalled(historyFolders_);
    QAction* item = MenuItem("Historiquedesconnexions1");
    item->setEnabled(installed);
    item->setText(installed ? "Historique des connexions…"
                            : "Historique des connexions (non installé)");
}

void TForm1::Historiquedesconnexions1Click() {
    history_.Show(HistoryFacts());
}

CounterFacts TForm1::HistoryFacts() const {
    const QDateTime now = QDateTime::currentDateTime();
    return {counter_.PeriodStart(now),
            counter_.CumulatedSeconds(),
            counter_.Plan(),
            counter_.ResetDay(),
            now,
            counter_.PeriodVolume(),
            counter_.VolumeAllowance()};
}

void TForm1::Rinitialiserlecompteur1Click() {
    counter_.ResetCounter();
}

void TForm1::Changer1Click() {
    counter_.ChangeResetDay();
}

void TForm1::Voir1Click() {
    counter_.ShowResetDay();
}

void TForm1::Fixerleforfait1Click() {
    counter_.SetPlan();
}

void TForm1::Fixerleforfaitdevolume1Click() {
    counter_.SetVolumePlan();
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

void TForm1::Rglesdefacturation1Click() {
    counter_.SetBillingRule();
}

void TForm1::Corrigerlecompteur1Click() {
    counter_.CorrectCounter();
}

void TForm1::Dcrocher1Click() {
    counter_.Dial();
}

void TForm1::Raccrocher1Click() {
    counter_.HangUp();
}

void TForm1::Quitter1Click() {
    counter_.Quit();
}

void TForm1::ShowCumulatedTime(const QString& text) {
    ui_->Label1->setText(text);
}

void TForm1::ShowConnectionTime(const QString& text) {
    ui_->Label8->setText(text);
}

void TForm1::ShowThroughput(const QString& text) {
    throughput_ = text;
    if (detail_) {
        detail_->Label1()->setText(text);
    }
    ui_->Label2->setText(text);
    ui_->Label2->adjustSize();
}

// Red with a yellow gauge while connected, dark green with a lime one while not.
void TForm1::ShowLook(Look look) {
    const bool connected = look == Look::Connected;
    look_ = look;
    ui_->Shape1->setBrushColor(connected ? clRed : clGreen);
    ui_->Gauge1->SetForeColor(connected ? clYellow : clLime);
    ui_->Gauge1->SetBackColor(connected ? clRed : clGreen);
}

void TForm1::ShowAlarm(bool shown) {
    ui_->Shape2->setVisible(shown);
}

void TForm1::SetDialEnabled(bool dial, bool hangUp) {
    MenuItem("Dcrocher1")->setEnabled(dial);
    MenuItem("Raccrocher1")->setEnabled(hangUp);
}

void TForm1::ShowTrayFrame(int frame) {
    const QIcon icon = ImageList1Icon(frame);
    setWindowIcon(icon);
    piconeBarreTache1_->SetIcone(icon);
}

void TForm1::ShowApplicationIcon() {
    piconeBarreTache1_->SetIcone(QApplication::windowIcon());
}

HWND TForm1::Handle() {
    return reinterpret_cast<HWND>(winId());
}

const DetailGrid& TForm1::Grid() const {
    return grid_;
}

void TForm1::CaptureMIBData(bool flag) {
    sampler_.CaptureMIBData(flag);
}

void TForm1::ShowResetDayAndMonth(const QString& text) {
    resetDayAndMonth_ = text;
    if (detail_) {
        detail_->Label2()->setText(text);
    }
}

void TForm1::ShowMessage(const QString& text) {
    ::ShowMessage(this, text);
}

void TForm1::ShowError(const QString& text) {
    ErrorBox(text);
}

bool TForm1::Confirm(const QString& text) {
    return ConfirmBox(this, text);
}

std::optional<QString> TForm1::InputBox(const QString& caption, const QString& prompt,
                                        const QString& value) {
    return ::InputBox(this, caption, prompt, value);
}

std::optional<BillingRule> TForm1::AskBillingRule(const BillingRule& rule) {
    return ::AskBillingRule(this, rule);
}

void TForm1::ShowHelpWindow() {
    Help().Unpetitcoupdemain1Click();
}

void TForm1::Terminate() {
    show();
    // exit, not quit: a quit request asks the windows first, and this one refuses to close.
    terminated_ = true;
    QCoreApplication::exit(0);
}

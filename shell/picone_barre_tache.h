// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tray icon component: an icon with a tooltip in the notification area, whose right press
// opens a pop-up menu and left press brings the main form back, and the owner form's presence in
// the taskbar. The owner is the application's main form.

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>
#include <optional>

class TPiconeBarreTache;

// Zero-size child of the owner form that handles the tray's callback.
class TPourHandle : public QWidget {
    Q_OBJECT

public:
    // Mouse messages the tray callback acts on; any other is ignored.
    static constexpr unsigned WM_LBUTTONDOWN = 0x201;
    static constexpr unsigned WM_RBUTTONDOWN = 0x204;

    TPourHandle(TPiconeBarreTache& component, QWidget* owner);

    // The tray callback: mouseMessage is what the pointer did on the icon.
    void WMTrayIcon(unsigned mouseMessage);

private:
    TPiconeBarreTache& component_;
};

class TPiconeBarreTache : public QObject {
    Q_OBJECT

public:
    // The component lives as a child of owner, the form whose close it hooks.
    explicit TPiconeBarreTache(QWidget* owner);
    ~TPiconeBarreTache() override;

    // Menu opened by a right press on the icon; null opens nothing.
    void SetMenuPop(QMenu* menu) { menuPop_ = menu; }
    // Closing the owner form hides it in the tray instead.
    void SetReduireSiFin(bool value) { reduireSiFin_ = value; }
    // The icon is in the tray (from Loaded() on).
    void SetPetiteIconeVisible(bool visible);
    // The owner form is shown in the taskbar. An assignment tells the taskbar only what it was not
    // told since the owner was last shown or changed its state (either may undo the entry).
    bool GrandeIconeVisible() const { return grandeIconeVisible_; }
    void SetGrandeIconeVisible(bool visible);
    // The owner form is hidden (from Loaded() on).
    void SetApplicationCachee(bool hidden);
    // Picture in the tray; an empty icon shows the application's icon.
    void SetIcone(const QIcon& icon);
    // Tooltip, at most 63 characters: a longer one is kept here but raises platform::RangeError
    // and leaves the tray's tooltip as it was.
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint);

    // A message in a balloon beside the icon, which goes away by itself: how notifications show
    // where the desktop has no notification service.
    void ShowBalloon(const QString& title, const QString& message);

    // Called once the owner has set the properties: adds the icon if PetiteIconeVisible.
    void Loaded();

    // A click on the icon as the notification area reports it: a context request is the right
    // press, a plain click the left press; double and middle clicks do nothing.
    void TrayActivated(QSystemTrayIcon::ActivationReason reason);

    // What the notification area is given: icon, tooltip, presence.
    const QSystemTrayIcon& TrayIcon() const { return tray_; }
    // Whether the taskbar was last told to show the owner's entry; none when it must be told again.
    std::optional<bool> TaskbarEntry() const { return taskbarEntry_; }
    TPourHandle& PourHandle() { return *pourHandle_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TPourHandle;

    void FormClose(QEvent* event);
    void ApplicationActivate(Qt::ApplicationState state);
    // Shows or hides the owner form's taskbar entry, leaving GrandeIconeVisible alone; nothing
    // when the taskbar was already told so.
    void ShowTaskbarEntry(bool shown);

    QPointer<QWidget> owner_;
    QPointer<TPourHandle> pourHandle_;
    QSystemTrayIcon tray_;
    QPointer<QMenu> menuPop_;
    QIcon icone_;
    QString hint_;
    bool reduireSiFin_ = false;
    bool petiteIconeVisible_ = false;
    bool grandeIconeVisible_ = true;
    bool loaded_ = false;
    std::optional<bool> taskbarEntry_;
};

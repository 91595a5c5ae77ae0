#pragma once
// The one window of Vorla Setting. It shows what the wheel stores and writes
// back what the user changes:
//   onInit       opens the wheel and reads colours, paddles and version;
//   LED page     picks colours (preview at once) and stores them; its context
//                menu exports them to a profile file and imports one;
//   paddle page  previews the bite point while the slider moves, stores it;
//   device page  hands a firmware image to the VorlaUpgrade worker, follows its
//                progress and reconnects once the wheel has restarted;
//   watcher      notices the wheel pulled out (the window shows it and waits,
//                its sending controls locked) and plugged back in (onInit
//                reads it again).
// All device traffic of the GUI thread happens inside these slots, through
// the serialised connection in device/.

#include "device/DeviceWatcher.h"
#include "device/leds.h"
#include "upgrade/VorlaUpgrade.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <QPoint>

#include <chrono>
#include <cstdint>

class MainWindowForm;
class QPushButton;
class QTimer;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The firmware worker, for tests that shorten its waits.
    VorlaUpgrade &upgradeWorker() { return upgrade; }
    // How long the wheel may take to come back after a transfer (15 s).
    void setReconnectWait(std::chrono::milliseconds wait) { reconnectWait = wait; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    // Asks the window system to move the window with the mouse (a press in the
    // header strip); false where it will not (no window manager, offscreen),
    // and the window then follows the mouse itself.
    virtual bool startSystemMove();

protected slots:
    void onSidebar();
    void onColorPick();
    void onInit();
    void onSaveColor();
    void onShowPath();
    void onUpgrade();
    void onProgress(int value);
    void onSavePaddle();
    void onPaddleChange();
    void onInvalidImage();
    void onWheelArrived();
    void onWheelLeft();

private slots:
    // The LED page's context menu: colours to and from a profile file.
    void onColorMenu(const QPoint &position);
    void onExportColors();
    void onImportColors();

private:
    // LED page.
    void setButtonColor(QWidget *button, const QColor &colour);
    QColor buttonColor(QWidget *button) const;
    void showColors(const std::uint8_t *block);
    void showColors(const vorla::LedColors &colours);
    vorla::LedColors slotColors() const;
    bool writeColors(bool store);
    QPushButton *ledButton(int slot) const;
    QList<QPushButton *> ledButtons() const;

    // Paddle page.
    void showPaddle(std::uint8_t value);
    std::uint8_t paddleValue() const;

    // Device page.
    void finishUpgrade(bool succeeded);
    void setSendingControlsEnabled(bool enabled);

    // The wheel coming and going.
    void connectAgain(std::chrono::milliseconds within);
    void goAway();
    // After a report failed: if the wheel is gone, the window shows it.
    void noticeFailedReport();

    MainWindowForm *ui;
    QPoint dragOrigin;
    VorlaUpgrade upgrade;

    // Why onInit connects: at start-up a failure ends the program at once;
    // after a transfer the wheel restarts, and onInit keeps trying until
    // connectDeadline, then ends it; when a wheel came back after it was
    // pulled out, onInit keeps trying until connectDeadline, then waits on.
    enum class ConnectReason { Startup, AfterUpgrade, Return };
    ConnectReason connectReason = ConnectReason::Startup;
    QDeadlineTimer connectDeadline;
    QTimer *retryTimer;
    std::chrono::milliseconds reconnectWait{15000};

    vorla::DeviceWatcher *watcher;
    QWidget *disconnectedBanner;
    bool wheelAway = false;
    bool permissionTold = false; // while away: the permission box was shown
};

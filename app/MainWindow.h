#pragma once
// The one window of Vorla Setting. It shows what the wheel stores and writes
// back what the user changes:
//   onInit       opens the wheel and reads colours, paddles and version;
//   LED page     picks colours (preview at once) and stores them; its context
//                menu exports them to a profile file and imports one;
//   paddle page  previews the bite point while the slider moves, stores it;
//   device page  checks a firmware image, asks before writing it, hands it to
//                the VorlaUpgrade worker, follows its progress and reconnects
//                once the wheel has restarted;
//   unsaved      what the wheel stores against what it was sent to preview
//                (device/UnsavedChanges.h): the pages mark unsaved previews,
//                and closing with some asks to store or discard them;
//   session      the connection's life (device/WheelSession.h): it opens and
//                reads the wheel, waits for it after an upload, notices it
//                pulled out and plugged back in, waits while another instance
//                upgrades it; the window shows what it says (the settings,
//                the banner, locked controls, the boxes).
// All device traffic of the GUI thread happens inside these slots, through
// the serialised connection in device/.

#include "device/UnsavedChanges.h"
#include "device/WheelSession.h"
#include "device/leds.h"
#include "upgrade/VorlaUpgrade.h"

#include <QColor>
#include <QMainWindow>
#include <QPoint>

#include <cstdint>

class DisconnectedBanner;
class MainWindowForm;
class QPushButton;
class UnsavedMark;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The firmware worker, for tests that shorten its waits.
    VorlaUpgrade &upgradeWorker() { return upgrade; }
    // The connection's life, for tests that follow it.
    vorla::WheelSession &wheelSession() { return *session; }

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
    void onPaddleToggle();
    void onInvalidImage();

    // What the session says.
    void onWheelRead(const vorla::WheelSettings &settings);
    void onUpgradeWait(bool waiting);
    void onWheelLeft();
    void onPermissionDenied();
    void onOtherUpgrade(bool waiting);
    void onWheelFailed(vorla::WheelSession::Failure why);

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

    // Unsaved previews: stores checked against what the wheel then stores,
    // the wheel set back to what it stores, and the question on closing.
    bool storeColors();
    bool storePaddle();
    bool restoreStoredColors();
    bool restoreStoredPaddle();
    bool mayClose();
    bool discardUnsaved();
    void showUnsaved();

    // Device page.
    bool confirmUpgrade(const QString &path, const QByteArray &image, const QString &sha256);
    void finishUpgrade(bool succeeded);
    void setSendingControlsEnabled(bool enabled);

    MainWindowForm *ui;
    QPoint dragOrigin;
    VorlaUpgrade upgrade;

    vorla::WheelSession *session;
    DisconnectedBanner *disconnectedBanner;
    QString wheelVersion; // as last read, for the question before an upgrade

    vorla::UnsavedChanges unsaved;
    UnsavedMark *ledsMark;
    UnsavedMark *paddleMark;
};

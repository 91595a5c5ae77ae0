#pragma once
// The one window of Vorla Setting. It shows what the wheel stores and writes
// back what the user changes:
//   onInit       opens the wheel and reads colours, paddles and version;
//   LED page     picks colours (preview at once) and stores them;
//   paddle page  previews the bite point while the slider moves, stores it;
//   device page  hands a firmware image to the VorlaUpgrade worker, follows its
//                progress and reconnects once the wheel has restarted.
// All device traffic of the GUI thread happens inside these slots, through
// the serialised connection in device/.

#include "upgrade/VorlaUpgrade.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <QPoint>

#include <cstdint>

class MainWindowForm;
class QPushButton;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The firmware worker, for tests that shorten its waits.
    VorlaUpgrade &upgradeWorker() { return upgrade; }

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

private:
    // LED page.
    void setButtonColor(QWidget *button, const QColor &colour);
    QColor buttonColor(QWidget *button) const;
    void showColors(const std::uint8_t *block);
    bool writeColors(bool store);
    QPushButton *ledButton(int slot) const;
    QList<QPushButton *> ledButtons() const;

    // Paddle page.
    void showPaddle(std::uint8_t value);

    // Device page.
    void finishUpgrade(bool succeeded);
    void setSendingControlsEnabled(bool enabled);

    MainWindowForm *ui;
    QPoint dragOrigin;
    VorlaUpgrade upgrade;

    // After a transfer the wheel restarts; onInit keeps trying until then.
    QDeadlineTimer reconnectDeadline{QDeadlineTimer::Forever};
    bool reconnecting = false;
    // Whether the running transfer has reported its end (100 or a failure).
    bool upgradeEnded = true;
};

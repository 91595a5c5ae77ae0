// Connecting: open the wheel and show what it stores. The one path to the
// wheel, at start-up, after a firmware transfer and when it comes back after
// it was pulled out; and what the window does while the wheel is away.

#include "app/MainWindow.h"

#include "app/forms/MainWindowForm.h"
#include "device/connection.h"
#include "device/query.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <optional>

namespace {

// While a restarting or returning wheel is not ready yet, it is tried this often.
constexpr int kRetryIntervalMs = 250;
// A node that appeared may refuse the open for a moment: the seat's access
// list can be applied a little after it.
constexpr std::chrono::milliseconds kReturnWait{2000};

} // namespace

void MainWindow::onInit()
{
    using vorla::connection::OpenResult;
    const OpenResult opened = vorla::connection::open();
    std::optional<vorla::WheelSettings> settings;
    if (opened == OpenResult::Opened) {
        // Nothing half-read is shown: an all-zero block would later be stored
        // over the user's real colours.
        settings = vorla::readSettings();
        if (!settings)
            vorla::connection::close();
    }

    if (!settings) {
        // A wheel that restarts or returns may be gone still, up but not yet
        // answering, or not yet ours to open: all are tried again while it
        // has time.
        if (connectReason != ConnectReason::Startup && !connectDeadline.hasExpired()) {
            if (connectReason == ConnectReason::AfterUpgrade) {
                ui->lbUpgrade->setText(tr("Waiting for the wheel ..."));
                ui->lbUpgrade->show();
            }
            retryTimer->start(kRetryIntervalMs);
            return;
        }
        const QString permissionText =
            tr("The wheel is connected, but this user may not open it. Install the udev rule "
               "60-vorla-z-arc.rules (see README) and plug the wheel in again.");
        if (connectReason == ConnectReason::Return) {
            // Still away: wait for the next time it is plugged in.
            if (opened == OpenResult::PermissionDenied && !permissionTold) {
                permissionTold = true;
                QMessageBox::critical(this, tr("Error"), permissionText);
            }
            return;
        }
        ui->lbUpgrade->hide();
        if (opened == OpenResult::PermissionDenied)
            QMessageBox::critical(this, tr("Error"), permissionText);
        else if (connectReason == ConnectReason::Startup && opened == OpenResult::Opened)
            QMessageBox::critical(this, tr("Error"), tr("Can not read setting."));
        else
            QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("No device."));
        QCoreApplication::quit();
        return;
    }

    if (connectReason == ConnectReason::AfterUpgrade)
        ui->lbUpgrade->hide();
    connectReason = ConnectReason::Startup;
    wheelAway = false;
    disconnectedBanner->hide();
    watcher->setWheelAway(false);
    showColors(settings->ledBlock.data());
    showPaddle(settings->paddle);
    ui->lbVersion->setText(tr("Firmware Version:") + settings->version);
    setSendingControlsEnabled(true);
}

void MainWindow::connectAgain(std::chrono::milliseconds within)
{
    connectDeadline.setRemainingTime(within);
    retryTimer->stop();
    onInit();
}

void MainWindow::goAway()
{
    retryTimer->stop();
    vorla::connection::close();
    wheelAway = true;
    permissionTold = false;
    connectReason = ConnectReason::Return;
    setSendingControlsEnabled(false);
    disconnectedBanner->show();
    watcher->setWheelAway(true);
}

void MainWindow::onWheelLeft()
{
    // A transfer ends by itself when the wheel goes (its report fails), and
    // after a transfer the reconnect is already waiting for the wheel.
    if (wheelAway || upgrade.isRunning() || connectReason == ConnectReason::AfterUpgrade)
        return;
    goAway();
}

void MainWindow::onWheelArrived()
{
    // Only a wheel the window waits for; while an attempt runs it goes on.
    if (!wheelAway || upgrade.isRunning() || retryTimer->isActive())
        return;
    connectAgain(kReturnWait);
}

void MainWindow::noticeFailedReport()
{
    if (!wheelAway && !upgrade.isRunning() && !vorla::connection::wheelPresent())
        goAway();
}

// Connecting: open the wheel and show what it stores. The one path to the
// wheel, at start-up and after a firmware transfer.

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

// After a firmware transfer the wheel restarts and is gone for a few seconds.
constexpr int kReconnectIntervalMs = 250;

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
        // A wheel that is still restarting may be gone, or up but not yet
        // answering: both are tried again while it has time.
        if (connectReason == ConnectReason::AfterUpgrade && !connectDeadline.hasExpired()) {
            ui->lbUpgrade->setText(tr("Waiting for the wheel ..."));
            ui->lbUpgrade->show();
            QTimer::singleShot(kReconnectIntervalMs, this, SLOT(onInit()));
            return;
        }
        ui->lbUpgrade->hide();
        if (connectReason == ConnectReason::Startup && opened == OpenResult::Opened)
            QMessageBox::critical(this, QStringLiteral("Error"), tr("Can not read setting."));
        else
            QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("No device."));
        QCoreApplication::quit();
        return;
    }

    if (connectReason == ConnectReason::AfterUpgrade)
        ui->lbUpgrade->hide();
    connectReason = ConnectReason::Startup;
    showColors(settings->ledBlock.data());
    showPaddle(settings->paddle);
    ui->lbVersion->setText(tr("Firmware Version:") + settings->version);
    setSendingControlsEnabled(true);
}

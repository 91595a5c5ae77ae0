// Start-up: open the wheel and show what it stores.

#include "app/MainWindow.h"

#include "app/forms/MainWindowForm.h"
#include "device/connection.h"
#include "device/query.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace {

// After a firmware transfer the wheel restarts and is gone for a few seconds.
constexpr int kReconnectIntervalMs = 250;

} // namespace

void MainWindow::onInit()
{
    if (vorla::connection::open() != vorla::connection::OpenResult::Opened) {
        if (reconnecting && !reconnectDeadline.hasExpired()) {
            ui->lbUpgrade->setText(tr("Waiting for the wheel ..."));
            ui->lbUpgrade->show();
            QTimer::singleShot(kReconnectIntervalMs, this, SLOT(onInit()));
            return;
        }
        reconnecting = false;
        ui->lbUpgrade->hide();
        QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("No device."));
        QCoreApplication::quit();
        return;
    }
    if (reconnecting) {
        reconnecting = false;
        ui->lbUpgrade->hide();
    }

    // Nothing half-read is shown: an all-zero block would later be stored
    // over the user's real colours.
    const std::optional<vorla::WheelSettings> settings = vorla::readSettings();
    if (!settings) {
        vorla::connection::close();
        QMessageBox::critical(this, tr("Error"), tr("Can not read setting."));
        QCoreApplication::quit();
        return;
    }

    showColors(settings->ledBlock.data());
    showPaddle(settings->paddle);
    ui->lbVersion->setText(tr("Firmware Version:") + settings->version);
    setSendingControlsEnabled(true);
}

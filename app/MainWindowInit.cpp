// Connecting: onInit asks the wheel session (device/WheelSession.h) to open
// and read the wheel, at start-up and whenever asked again; what the session
// then says is shown here: the settings, the wait after an upload, the wheel
// away and back, another instance upgrading it, and the boxes with which the
// program gives up.

#include "app/MainWindow.h"

#include "app/DisconnectedBanner.h"
#include "app/forms/MainWindowForm.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>

namespace {

QString permissionText()
{
#ifdef Q_OS_WIN
    // Windows lets every user open a HID device; it refuses one that another
    // program holds for itself.
    return MainWindow::tr("The wheel is connected, but it may not be opened: another program may be "
                          "using it. Close that program and plug the wheel in again.");
#else
    return MainWindow::tr("The wheel is connected, but this user may not open it. Install the udev rule "
                          "60-vorla-z-arc.rules (see README) and plug the wheel in again.");
#endif
}

} // namespace

void MainWindow::onInit()
{
    session->connectWheel();
}

void MainWindow::onWheelRead(const vorla::WheelSettings &settings)
{
    disconnectedBanner->hide();
    // Known before the pages are shown: showing the paddle value previews it.
    unsaved.read(settings.ledBlock.data(), settings.paddle);
    showColors(settings.ledBlock.data());
    showPaddle(settings.paddle);
    wheelVersion = settings.version;
    ui->lbVersion->setText(tr("Firmware Version:") + settings.version);
    setSendingControlsEnabled(true);
    showUnsaved();
}

void MainWindow::onUpgradeWait(bool waiting)
{
    if (waiting)
        ui->lbUpgrade->setText(tr("Waiting for the wheel ..."));
    ui->lbUpgrade->setVisible(waiting);
}

void MainWindow::onWheelLeft()
{
    setSendingControlsEnabled(false);
    unsaved.wheelLeft();
    showUnsaved();
    disconnectedBanner->showDisconnected();
}

void MainWindow::onOtherUpgrade(bool waiting)
{
    if (!waiting) {
        disconnectedBanner->hide();
        return;
    }
    // The wheel restarts with what it stores: previews are gone.
    setSendingControlsEnabled(false);
    unsaved.wheelLeft();
    showUnsaved();
    disconnectedBanner->showOtherUpgrade();
}

void MainWindow::onPermissionDenied()
{
    QMessageBox::critical(this, tr("Error"), permissionText());
}

void MainWindow::onWheelFailed(vorla::WheelSession::Failure why)
{
    using Failure = vorla::WheelSession::Failure;
    if (why == Failure::PermissionDenied)
        QMessageBox::critical(this, tr("Error"), permissionText());
    else if (why == Failure::CannotRead)
        QMessageBox::critical(this, tr("Error"), tr("Can not read setting."));
    else
        QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("No device."));
    QCoreApplication::quit();
}

// The device page: choose a firmware image, check it, hand it to the worker,
// follow its progress, and reconnect once the wheel has restarted.

#include "app/MainWindow.h"

#include "app/ProgressPacer.h"
#include "app/forms/MainWindowForm.h"
#include "device/firmware.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <optional>

namespace {

// The size of the image at `path` when the page takes it: a readable regular
// file named "*.bin" (case-sensitive) of 1 to kMaxFirmwareSize bytes.
std::optional<qint64> acceptedFirmwareSize(const QString &path)
{
    if (!path.endsWith(QLatin1String(".bin"), Qt::CaseSensitive))
        return std::nullopt;
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable() || !vorla::isFirmwareSize(file.size()))
        return std::nullopt;
    return file.size();
}

} // namespace

void MainWindow::onShowPath()
{
    const QString path = QFileDialog::getOpenFileName(nullptr, QString(), QString(), tr("Firmware File (*.bin);;"));
    if (!path.isEmpty())
        ui->lePath->setText(path);
}

void MainWindow::onUpgrade()
{
    if (upgrade.isRunning())
        return;
    const QString path = ui->lePath->text();
    const std::optional<qint64> size = acceptedFirmwareSize(path);
    if (!size) {
        QMessageBox::critical(this, tr("Error"), tr("Not a valid firmware."));
        return;
    }
    // Nothing else may talk to the wheel while it takes an image.
    setSendingControlsEnabled(false);
    session->beginTransfer();
    upgrade.setFirmwarePath(path);
    upgrade.setFirmwareSize(*size);
    upgrade.start();
}

void MainWindow::onProgress(int value)
{
    if (value == vorla::kProgressDone || value < 0) {
        finishUpgrade(value == vorla::kProgressDone);
        return;
    }
    ui->lbUpgrade->setText(value > vorla::kProgressTransferScale ? tr("Writing ...") : tr("Uploading ..."));
    ProgressPacer::of(ui->pgUpgrade)->setValue(value);
    ui->pgUpgrade->show();
    ui->lbUpgrade->show();
}

void MainWindow::onInvalidImage()
{
    // Nothing was sent: the wheel is as it was, and no reconnect is needed.
    ui->pgUpgrade->hide();
    ui->lbUpgrade->hide();
    QMessageBox::critical(this, tr("Error"), tr("Not a valid firmware."));
    session->transferAbandoned();
    setSendingControlsEnabled(session->canSend());
}

void MainWindow::finishUpgrade(bool succeeded)
{
    ui->pgUpgrade->hide();
    ui->lbUpgrade->hide();
    if (succeeded)
        QMessageBox::information(this, tr("Notify"), tr("Upgrade firmware done."));
    else
        QMessageBox::critical(this, tr("Error"), tr("Upgrade firmware failed."));

    // The session reconnects, or waits for a wheel pulled out meanwhile.
    session->transferFinished(succeeded);
}

void MainWindow::setSendingControlsEnabled(bool enabled)
{
    for (QPushButton *button : ledButtons())
        button->setEnabled(enabled);
    for (QWidget *control : {static_cast<QWidget *>(ui->pbSave), static_cast<QWidget *>(ui->pbSaveP),
                             static_cast<QWidget *>(ui->hsBite), static_cast<QWidget *>(ui->pbUpgrade)})
        control->setEnabled(enabled);
}

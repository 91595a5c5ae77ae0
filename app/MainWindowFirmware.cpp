// The device page: choose a firmware image, check it, ask before writing it,
// hand it to the worker, follow its progress, and reconnect once the wheel
// has restarted.

#include "app/MainWindow.h"

#include "app/ProgressPacer.h"
#include "app/forms/MainWindowForm.h"
#include "device/escaped.h"
#include "device/firmware.h"
#include "device/firmwarefile.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

void MainWindow::onShowPath()
{
    const QString path = QFileDialog::getOpenFileName(nullptr, QString(), QString(), tr("Firmware File (*.bin);;"));
    if (!path.isEmpty())
        ui->lePath->setText(path);
}

void MainWindow::onUpgrade()
{
    if (upgrade.isRunning() || !session->canSend())
        return;
    // Read once: what is checked and shown is what the worker sends.
    const QString path = ui->lePath->text();
    const vorla::FirmwareFile file = vorla::readFirmwareFile(path);
    if (file.problem == vorla::FirmwareFile::Problem::Content) {
        QMessageBox::critical(this, tr("Error"), vorla::notAnImageMessage(file.content));
        return;
    }
    if (file.problem != vorla::FirmwareFile::Problem::None) {
        QMessageBox::critical(this, tr("Error"), tr("Not a valid firmware."));
        return;
    }
    if (!confirmUpgrade(path, file.image, file.sha256()))
        return;
    // While the box was open the wheel may have gone.
    if (!session->canSend())
        return;
    if (!session->beginTransfer()) {
        // Another instance got there first: the session waits for it.
        session->reportFailed();
        return;
    }
    // Nothing else may talk to the wheel while it takes an image.
    setSendingControlsEnabled(false);
    upgrade.setImage(file.image);
    upgrade.start();
}

bool MainWindow::confirmUpgrade(const QString &path, const QByteArray &image, const QString &sha256)
{
    const QString text =
        tr("Write this firmware image into the wheel?\n\n"
           "File: %1\n"
           "Size: %2 bytes\n"
           "SHA-256: %3\n"
           "Firmware version now: %4\n\n"
           "The wheel must stay plugged in until it restarts.")
            .arg(vorla::escaped(QFileInfo(path).fileName()), QLocale().toString(image.size()), sha256, wheelVersion);
    QMessageBox box(QMessageBox::Question, tr("Upgrade firmware"), text, QMessageBox::Yes | QMessageBox::Cancel, this);
    box.button(QMessageBox::Yes)->setText(tr("Upgrade"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setTextFormat(Qt::PlainText);
    // The hash can be copied and compared with the one the maker publishes.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    return box.exec() == QMessageBox::Yes;
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

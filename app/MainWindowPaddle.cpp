// The paddle page: combined mode and bite point, one byte on the wheel.

#include "app/MainWindow.h"

#include "app/forms/MainWindowForm.h"
#include "device/connection.h"
#include "device/paddle.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QSlider>

void MainWindow::showPaddle(std::uint8_t value)
{
    const bool combined = vorla::paddleCombined(value);
    ui->cbPaddle->setChecked(combined);
    if (combined)
        ui->hsBite->setValue(value); // previews the value when the slider moves
}

void MainWindow::onPaddleChange()
{
    if (!ui->cbPaddle->isChecked())
        return;
    if (vorla::connection::sendFeatureReport(vorla::paddleReport(std::uint8_t(ui->hsBite->value()), false)) < 0)
        noticeFailedReport();
}

void MainWindow::onSavePaddle()
{
    const std::uint8_t value = ui->cbPaddle->isChecked() ? std::uint8_t(ui->hsBite->value()) : vorla::kPaddleOff;
    if (vorla::connection::sendFeatureReport(vorla::paddleReport(value, true)) >= 0) {
        QMessageBox::information(this, tr("Success"), tr("Paddle status saved."));
        return;
    }
    noticeFailedReport();
    QMessageBox::critical(this, tr("Error"), tr("Can not save setting."));
}

// The paddle page: combined mode and bite point, one byte on the wheel.

#include "app/MainWindow.h"

#include "app/forms/MainWindowForm.h"
#include "device/paddle.h"
#include "device/send.h"

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
    const auto value = std::uint8_t(ui->hsBite->value());
    if (!vorla::sendPaddle(value, false)) {
        session->reportFailed();
        return;
    }
    unsaved.paddlePreviewed(value);
    showUnsaved();
}

std::uint8_t MainWindow::paddleValue() const
{
    return ui->cbPaddle->isChecked() ? std::uint8_t(ui->hsBite->value()) : vorla::kPaddleOff;
}

void MainWindow::onSavePaddle()
{
    // Failures are said by storePaddle.
    if (storePaddle())
        QMessageBox::information(this, tr("Success"), tr("Paddle status saved."));
}

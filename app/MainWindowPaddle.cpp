// The paddle page: combined mode and bite point, one byte on the wheel.
// Toggling combined mode sends nothing; the next slider movement or a store
// does. Until then the page holds a setting the wheel does not show, which
// counts as unsaved.

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
    unsaved.paddleOnPage(paddleValue());
}

void MainWindow::onPaddleToggle()
{
    unsaved.paddleOnPage(paddleValue());
    showUnsaved();
}

void MainWindow::onPaddleChange()
{
    unsaved.paddleOnPage(paddleValue());
    if (!ui->cbPaddle->isChecked())
        return;
    const auto value = std::uint8_t(ui->hsBite->value());
    if (!vorla::sendPaddle(value, false)) {
        session->reportFailed();
        showUnsaved();
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

// Unsaved previews and checked stores. A preview changes what the wheel shows
// and not what it keeps (device/UnsavedChanges.h decides what is unsaved);
// the pages mark it beside "Save Setting", and closing with it asks whether to
// store it or set the wheel back to what it stores. A store is read back: a
// wheel that did not keep it is told as such, and the page then shows what
// the wheel does store.

#include "app/MainWindow.h"

#include "app/UnsavedMark.h"
#include "app/forms/MainWindowForm.h"
#include "device/send.h"
#include "device/store.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

void MainWindow::showUnsaved()
{
    ledsMark->setUnsaved(unsaved.ledsUnsaved());
    paddleMark->setUnsaved(unsaved.paddleUnsaved());
}

bool MainWindow::storeColors()
{
    const vorla::LedColors colours = slotColors();
    const vorla::LedStore result = vorla::storeLedsChecked(colours);
    switch (result.outcome) {
    case vorla::StoreOutcome::Kept:
        unsaved.ledsStored(result.stored);
        showUnsaved();
        return true;
    case vorla::StoreOutcome::NotSent:
        session->reportFailed();
        QMessageBox::critical(this, tr("Error"), tr("Can not save setting."));
        return false;
    case vorla::StoreOutcome::NotAnswered:
        // The wheel got the colours and shows them, stored or not.
        unsaved.ledsPreviewed(vorla::packLedBlock(colours, false));
        showUnsaved();
        session->reportFailed();
        QMessageBox::critical(this, tr("Error"),
                              tr("The wheel did not answer when asked what it stores: the LED colours may not "
                                 "be saved."));
        return false;
    case vorla::StoreOutcome::NotKept:
        unsaved.ledsStored(result.stored);
        restoreStoredColors();
        QMessageBox::critical(this, tr("Error"),
                              tr("The wheel did not keep the LED colours. The page shows the colours it stores."));
        return false;
    }
    return false;
}

bool MainWindow::storePaddle()
{
    const std::uint8_t value = paddleValue();
    const vorla::PaddleStore result = vorla::storePaddleChecked(value);
    switch (result.outcome) {
    case vorla::StoreOutcome::Kept:
        unsaved.paddleStored(result.stored);
        showUnsaved();
        return true;
    case vorla::StoreOutcome::NotSent:
        session->reportFailed();
        QMessageBox::critical(this, tr("Error"), tr("Can not save setting."));
        return false;
    case vorla::StoreOutcome::NotAnswered:
        unsaved.paddlePreviewed(value);
        showUnsaved();
        session->reportFailed();
        QMessageBox::critical(this, tr("Error"),
                              tr("The wheel did not answer when asked what it stores: the paddle setting may not "
                                 "be saved."));
        return false;
    case vorla::StoreOutcome::NotKept:
        unsaved.paddleStored(result.stored);
        restoreStoredPaddle();
        QMessageBox::critical(this, tr("Error"),
                              tr("The wheel did not keep the paddle setting. The page shows the setting it stores."));
        return false;
    }
    return false;
}

void MainWindow::restoreStoredColors()
{
    // The stored block itself goes back, not the page's colours: a button
    // that stands for three LEDs shows only one of their stored colours.
    const vorla::LedBlock block = unsaved.storedLedPreview();
    showColors(block.data());
    if (vorla::sendLedBlock(block))
        unsaved.ledsPreviewed(block);
    else
        session->reportFailed();
    showUnsaved();
}

void MainWindow::restoreStoredPaddle()
{
    const std::uint8_t value = unsaved.storedPaddle();
    {
        // One preview of the stored value below, not one more from the slider.
        const QSignalBlocker blocker(ui->hsBite);
        showPaddle(value);
    }
    if (vorla::sendPaddle(value, false))
        unsaved.paddlePreviewed(value);
    else
        session->reportFailed();
    showUnsaved();
}

bool MainWindow::mayClose()
{
    // With the wheel away nothing can be stored or set back, and it shows its
    // stored settings anyway when it comes back.
    if (!session->canSend() || !unsaved.anyUnsaved())
        return true;

    const bool leds = unsaved.ledsUnsaved(), paddle = unsaved.paddleUnsaved();
    QString what;
    if (leds && paddle)
        what = tr("The wheel shows LED colours and a paddle setting that it has not stored.");
    else if (leds)
        what = tr("The wheel shows LED colours that it has not stored.");
    else
        what = tr("The wheel shows a paddle setting that it has not stored.");
    QMessageBox box(QMessageBox::Question, tr("Notify"), what,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(tr("Save stores them in the wheel; Discard sets the wheel back to what it stores."));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();

    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Save:
        // The LEDs first, as the command line stores them; a failure is said
        // and the window stays.
        return (!leds || storeColors()) && (!paddle || storePaddle());
    case QMessageBox::Discard:
        if (leds)
            restoreStoredColors();
        if (paddle)
            restoreStoredPaddle();
        return true;
    default:
        return false;
    }
}

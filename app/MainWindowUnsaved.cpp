// Unsaved previews and checked stores. A preview changes what the wheel shows
// and not what it keeps (device/UnsavedChanges.h decides what is unsaved);
// the pages mark it beside "Save Setting", and closing with it asks whether to
// store it or set the wheel back to what it stores (which, refused by a wheel
// that is still there, is said). The paddle page may also hold a setting it
// has not sent: that too is marked, asked about, and stored by Save. A store
// is read back: a wheel that did not keep it is told as such, and the page
// then shows what the wheel does store.

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
    ledsMark->setUnsaved(unsaved.ledsUnsaved()
                             ? tr("The wheel shows LED colours that it has not stored. Save Setting stores them.")
                             : QString());
    QString paddle;
    if (unsaved.paddleShownUnsaved())
        paddle = tr("The wheel shows a paddle setting that it has not stored. Save Setting stores the setting on "
                    "this page.");
    else if (unsaved.paddleUnsaved())
        paddle = tr("This page holds a paddle setting that the wheel has not stored; the wheel still shows the stored "
                    "one. Save Setting stores it.");
    paddleMark->setUnsaved(paddle);
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

bool MainWindow::restoreStoredColors()
{
    // The stored block itself goes back, not the page's colours: a button
    // that stands for three LEDs shows only one of their stored colours.
    const vorla::LedBlock block = unsaved.storedLedPreview();
    showColors(block.data());
    const bool sent = vorla::sendLedBlock(block);
    if (sent)
        unsaved.ledsPreviewed(block);
    else
        session->reportFailed();
    showUnsaved();
    return sent;
}

bool MainWindow::restoreStoredPaddle()
{
    const std::uint8_t value = unsaved.storedPaddle();
    {
        // One preview of the stored value below, not one more from the slider.
        const QSignalBlocker blocker(ui->hsBite);
        showPaddle(value);
    }
    const bool sent = vorla::sendPaddle(value, false);
    if (sent)
        unsaved.paddlePreviewed(value);
    else
        session->reportFailed();
    showUnsaved();
    return sent;
}

bool MainWindow::mayClose()
{
    // With the wheel away nothing can be stored or set back, and it shows its
    // stored settings anyway when it comes back.
    if (!session->canSend() || !unsaved.anyUnsaved())
        return true;

    // The paddle page may hold a setting that was never sent (combined mode
    // toggled alone): then the wheel shows what it stores.
    const bool leds = unsaved.ledsUnsaved(), paddleShown = unsaved.paddleShownUnsaved();
    const bool paddleOnPage = !paddleShown && unsaved.paddleUnsaved();
    QString what;
    if (leds && paddleShown)
        what = tr("The wheel shows LED colours and a paddle setting that it has not stored.");
    else if (leds && paddleOnPage)
        what = tr("The wheel shows LED colours that it has not stored, and the paddle page holds a setting that "
                  "the wheel has not stored.");
    else if (leds)
        what = tr("The wheel shows LED colours that it has not stored.");
    else if (paddleShown)
        what = tr("The wheel shows a paddle setting that it has not stored.");
    else
        what = tr("The paddle page holds a setting that the wheel has not stored; the wheel still shows the stored "
                  "one.");
    QMessageBox box(QMessageBox::Question, tr("Notify"), what,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(leds || paddleShown
                               ? tr("Save stores them in the wheel; Discard sets the wheel back to what it stores.")
                               : tr("Save stores it in the wheel; Discard leaves the wheel showing what it stores."));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();

    const QMessageBox::StandardButton answer = box.standardButton(box.clickedButton());
    if (answer != QMessageBox::Save && answer != QMessageBox::Discard)
        return false;
    // The wheel may have been pulled out, or pulled out and plugged in again
    // and read afresh, while the box was open: the answer acts on what is
    // unsaved now.
    if (!session->canSend())
        return true;
    if (answer == QMessageBox::Discard)
        return discardUnsaved();
    // The LEDs first, as the command line stores them; a failure is said and
    // the window stays.
    return (!unsaved.ledsUnsaved() || storeColors()) && (!unsaved.paddleUnsaved() || storePaddle());
}

bool MainWindow::discardUnsaved()
{
    // Only what the wheel shows goes back: a paddle setting held on the page
    // alone was never sent.
    bool restored = true;
    if (unsaved.ledsUnsaved())
        restored = restoreStoredColors();
    if (unsaved.paddleShownUnsaved())
        restored = restoreStoredPaddle() && restored;
    // A wheel that went away meanwhile shows its stored settings when it
    // comes back.
    if (restored || !session->canSend())
        return true;
    QMessageBox::critical(this, tr("Error"),
                          tr("The wheel could not be set back to what it stores: it may still show the unsaved LED "
                             "colours or paddle setting."));
    return false;
}

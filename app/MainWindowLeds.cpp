// The LED page. Each LED button keeps its colour in its own style sheet, as
// the "rgb(r,g,b)" triple of its background; that sheet is the only copy of
// the colours on this side.

#include "app/MainWindow.h"

#include "app/Accessibility.h"
#include "app/forms/MainWindowForm.h"
#include "device/leds.h"
#include "device/send.h"

#include <QColorDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

using ButtonMember = QPushButton *MainWindowForm::*;

// The 18 buttons, in the order their clicks are connected.
const std::array<ButtonMember, 18> kLedButtons = {
    &MainWindowForm::pbB1,  &MainWindowForm::pbB2,  &MainWindowForm::pbB3,  &MainWindowForm::pbB4,
    &MainWindowForm::pbB5,  &MainWindowForm::pbB6,  &MainWindowForm::pbD13, &MainWindowForm::pbD16,
    &MainWindowForm::pbD3,  &MainWindowForm::pbD4,  &MainWindowForm::pbB9,  &MainWindowForm::pbB10,
    &MainWindowForm::pbB11, &MainWindowForm::pbB12, &MainWindowForm::pbB13, &MainWindowForm::pbB14,
    &MainWindowForm::pbD23, &MainWindowForm::pbD26,
};

} // namespace

QPushButton *MainWindow::ledButton(int slot) const
{
    return ui->page2->findChild<QPushButton *>(QLatin1String("pb") + QLatin1String(vorla::kLedSlotButtons[slot]),
                                               Qt::FindDirectChildrenOnly);
}

QList<QPushButton *> MainWindow::ledButtons() const
{
    QList<QPushButton *> buttons;
    for (ButtonMember member : kLedButtons)
        buttons << ui->*member;
    return buttons;
}

void MainWindow::setButtonColor(QWidget *button, const QColor &colour)
{
    // The new triple goes right after the first "color:", where the old one
    // was taken out, so the sheet keeps its shape however often it changes.
    QString sheet = button->styleSheet();
    const int triple = sheet.indexOf(QLatin1String("rgb"));
    const int end = sheet.indexOf(QLatin1Char(';'), triple);
    if (triple < 0 || end < 0)
        return;
    sheet.remove(triple, end - triple + 1);
    const int colourKey = sheet.indexOf(QLatin1String("color:"));
    if (colourKey < 0)
        return;
    sheet.insert(colourKey + 6, QString::asprintf("rgb(%d,%d,%d);", colour.red(), colour.green(), colour.blue()));
    button->setStyleSheet(sheet);
    accessibility::describeLed(button, colour);
}

QColor MainWindow::buttonColor(QWidget *button) const
{
    QString triple = button->styleSheet();
    triple = triple.mid(triple.indexOf(QLatin1String("rgb(")) + 4);
    triple = triple.left(triple.indexOf(QLatin1Char(')')));
    const QStringList parts = triple.split(QLatin1Char(','), Qt::KeepEmptyParts);
    int channel[3] = {0, 0, 0};
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        channel[i] = qBound(0, parts.at(i).trimmed().toInt(), 255);
    return QColor(channel[0], channel[1], channel[2]);
}

void MainWindow::showColors(const std::uint8_t *block)
{
    showColors(vorla::unpackLedBlock(block));
}

void MainWindow::showColors(const vorla::LedColors &colours)
{
    // In slot order: a button that stands for three slots ends with the colour of its last.
    for (int slot = 0; slot < int(vorla::kLedCount); ++slot) {
        const vorla::Rgb &c = colours[slot];
        setButtonColor(ledButton(slot), QColor(c.red, c.green, c.blue));
    }
}

vorla::LedColors MainWindow::slotColors() const
{
    vorla::LedColors colours{};
    for (int slot = 0; slot < int(vorla::kLedCount); ++slot) {
        const QColor c = buttonColor(ledButton(slot));
        colours[slot] = vorla::Rgb{std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())};
    }
    return colours;
}

bool MainWindow::writeColors(bool store)
{
    const vorla::LedBlock block = vorla::packLedBlock(slotColors(), store);
    if (!vorla::sendLedBlock(block))
        return false;
    if (!store) {
        unsaved.ledsPreviewed(block);
        showUnsaved();
    }
    return true;
}

void MainWindow::onColorPick()
{
    auto *button = qobject_cast<QWidget *>(sender());
    if (!button)
        return;
    // Qt's default title, but from this program's catalogue, so that a
    // translation of the program covers it.
    const QColor colour = QColorDialog::getColor(Qt::white, nullptr, tr("Select Color"));
    if (!colour.isValid())
        return; // cancelled: the button keeps its colour and the wheel is left alone
    setButtonColor(button, colour);
    if (!writeColors(false))
        session->reportFailed();
}

void MainWindow::onSaveColor()
{
    // Failures are said by storeColors.
    if (storeColors())
        QMessageBox::information(this, tr("Success"), tr("LED colors saved."));
}

// The LED page. Each LED button keeps its colour in its own style sheet, as
// the "rgb(r,g,b)" triple of its background; that sheet is the only copy of
// the colours on this side.

#include "app/MainWindow.h"

#include "app/forms/MainWindowForm.h"
#include "device/connection.h"
#include "device/leds.h"

#include <QColorDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

using ButtonMember = QPushButton *MainWindowForm::*;

// The button that shows each of the wheel's LED slots. pbD13/pbD23 and
// pbD16/pbD26 each stand for three LEDs that always share a colour.
const std::array<ButtonMember, vorla::kLedCount> kSlotButtons = {
    &MainWindowForm::pbB1,  &MainWindowForm::pbB9,  &MainWindowForm::pbB2,  &MainWindowForm::pbB10,
    &MainWindowForm::pbB3,  &MainWindowForm::pbB11, &MainWindowForm::pbB4,  &MainWindowForm::pbB12,
    &MainWindowForm::pbB5,  &MainWindowForm::pbB13, &MainWindowForm::pbB6,  &MainWindowForm::pbB14,
    &MainWindowForm::pbD13, &MainWindowForm::pbD23, &MainWindowForm::pbD13, &MainWindowForm::pbD23,
    &MainWindowForm::pbD13, &MainWindowForm::pbD23, &MainWindowForm::pbD16, &MainWindowForm::pbD26,
    &MainWindowForm::pbD16, &MainWindowForm::pbD26, &MainWindowForm::pbD16, &MainWindowForm::pbD26,
    &MainWindowForm::pbD3,  &MainWindowForm::pbD4,
};

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
    return ui->*kSlotButtons[slot];
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
    const vorla::LedColors colours = vorla::unpackLedBlock(block);
    for (int slot = 0; slot < int(vorla::kLedCount); ++slot) {
        const vorla::Rgb &c = colours[slot];
        setButtonColor(ledButton(slot), QColor(c.red, c.green, c.blue));
    }
}

bool MainWindow::writeColors(bool store)
{
    vorla::LedColors colours{};
    for (int slot = 0; slot < int(vorla::kLedCount); ++slot) {
        const QColor c = buttonColor(ledButton(slot));
        colours[slot] = vorla::Rgb{std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())};
    }
    const vorla::LedBlock block = vorla::packLedBlock(colours, store);
    for (std::size_t chunk = 0; chunk < vorla::kLedChunkCount; ++chunk) {
        // After a lost chunk the rest would join the wheel's older copy of it;
        // stop, so that no mixed block is previewed or stored.
        if (vorla::connection::write(vorla::ledChunkReport(block, chunk)) < 0)
            return false;
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
    writeColors(false);
}

void MainWindow::onSaveColor()
{
    if (writeColors(true))
        QMessageBox::information(this, tr("Success"), tr("LED colors saved."));
    else
        QMessageBox::critical(this, tr("Error"), tr("Can not save setting."));
}

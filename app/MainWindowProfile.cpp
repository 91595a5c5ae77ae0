// The LED page's context menu: the colours exported to a profile file, and a
// profile's colours imported and previewed like a pick ("Save Setting" then
// stores them). The window's import takes the colours only; the profile's
// paddle setting is for the command line's --apply.

#include "app/MainWindow.h"

#include "app/forms/MainWindowForm.h"
#include "profile/profile.h"
#include "device/escaped.h"

#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString profileFilter()
{
    return MainWindow::tr("Colour profiles (*.json);;All files (*)");
}

// A failure told in an "Error" box. The message quotes a file name and the
// file's text: shown as plain text, never as rich text, and escaped.
void showFailure(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, MainWindow::tr("Error"), vorla::escaped(message), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void MainWindow::onColorMenu(const QPoint &position)
{
    QMenu menu(this);
    QAction *exportColors = menu.addAction(tr("Export colours…"));
    QAction *importColors = menu.addAction(tr("Import colours…"));
    // An import previews on the wheel: not while a firmware transfer has it,
    // nor while the wheel is away.
    importColors->setEnabled(session->canSend());
    QAction *chosen = menu.exec(ui->page2->mapToGlobal(position));
    if (chosen == exportColors)
        onExportColors();
    else if (chosen == importColors)
        onImportColors();
}

void MainWindow::onExportColors()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Export colours"), QString(), profileFilter());
    if (path.isEmpty())
        return;
    vorla::Profile profile;
    profile.leds = slotColors();
    profile.paddle = paddleValue();
    QString message;
    if (!vorla::writeProfile(path, profile, &message))
        showFailure(this, message);
}

void MainWindow::onImportColors()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Import colours"), QString(), profileFilter());
    if (path.isEmpty())
        return;
    QString message;
    const std::optional<vorla::Profile> profile = vorla::readProfile(path, &message);
    if (!profile) {
        showFailure(this, message);
        return;
    }
    showColors(profile->leds);
    if (!writeColors(false))
        session->reportFailed();
}

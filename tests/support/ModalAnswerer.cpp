#include "support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QMessageBox>
#include <QtTest>

ModalAnswerer::ModalAnswerer(QObject *parent)
    : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answer);
    m_timer.start(5);
}

void ModalAnswerer::cancelDialogs()
{
    m_colour = QColor();
    m_path.clear();
    m_menuEntry.clear();
}

QStringList ModalAnswerer::messages() const
{
    QStringList list;
    for (const Box &box : m_boxes)
        if (!box.kind.startsWith(QLatin1Char('Q'))) // dialogs and menus go by their class name
            list << box.title + QLatin1Char('/') + box.text;
    return list;
}

void ModalAnswerer::answer()
{
    // A menu is a popup, not modal; it is chosen from as a user would, with
    // the keyboard, so that exec() returns the entry.
    if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
        if (!menu->isVisible())
            return;
        QStringList entries;
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            entries << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
            if (action->text() == m_menuEntry && action->isEnabled())
                chosen = action;
        }
        m_boxes.append({QStringLiteral("QMenu"), menu->title(), entries.join(QLatin1Char('|')), {}});
        if (chosen) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            menu->close();
        }
        return;
    }

    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;

    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        const bool asks = !box->button(QMessageBox::Ok);
        if (asks && m_questionReady && !m_questionReady())
            return;
        static const QHash<int, QString> kinds = {{QMessageBox::Critical, QStringLiteral("critical")},
                                                  {QMessageBox::Information, QStringLiteral("information")},
                                                  {QMessageBox::Warning, QStringLiteral("warning")},
                                                  {QMessageBox::Question, QStringLiteral("question")}};
        QStringList buttons;
        for (QAbstractButton *button : box->buttons())
            buttons << button->text().remove(QLatin1Char('&'))
                           + (button == box->defaultButton() ? QStringLiteral(" (default)") : QString());
        buttons.sort();
        m_boxes.append({kinds.value(box->icon()), box->windowTitle(), box->text(), buttons});
        QAbstractButton *chosen = box->button(QMessageBox::StandardButton(m_questionButton));
        if (!asks)
            box->button(QMessageBox::Ok)->click();
        else if (m_questionKey)
            QTest::keyClick(box, Qt::Key(m_questionKey));
        else if (m_questionButton && chosen)
            chosen->click();
        else
            box->reject();
    } else if (auto *dialog = qobject_cast<QColorDialog *>(modal)) {
        m_boxes.append({QStringLiteral("QColorDialog"), dialog->windowTitle(), QString(), {}});
        if (m_colour.isValid()) {
            dialog->setCurrentColor(m_colour);
            dialog->accept();
        } else {
            dialog->reject();
        }
    } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        m_boxes.append({QStringLiteral("QFileDialog"), dialog->windowTitle(), dialog->nameFilters().join(QLatin1String(";;")), {}});
        if (!m_path.isEmpty()) {
            dialog->selectFile(m_path);
            QMetaObject::invokeMethod(dialog, "accept"); // protected in QFileDialog
        } else {
            dialog->reject();
        }
    }
}

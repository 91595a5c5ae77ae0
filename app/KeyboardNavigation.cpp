#include "app/KeyboardNavigation.h"

#include "app/forms/MainWindowForm.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QStackedWidget>

namespace {

const char *const kNextPage[] = {"Ctrl+Tab", "Ctrl+PgDown"};
const char *const kPreviousPage[] = {"Ctrl+Shift+Tab", "Ctrl+PgUp"};

// The controls in Tab order, hidden pages' included.
QList<QWidget *> tabOrder(const MainWindowForm &f)
{
    return {
        f.pbS1, f.pbS2, f.pbS3, f.pbS4, f.pbS5,
        // The LED buttons across the wheel: the left grip top to bottom, the
        // four rotaries in reading order, the right grip top to bottom.
        f.pbB1, f.pbB2, f.pbD3, f.pbB3, f.pbB4, f.pbB5, f.pbB6,
        f.pbD13, f.pbD23, f.pbD16, f.pbD26,
        f.pbB9, f.pbB10, f.pbD4, f.pbB11, f.pbB12, f.pbB13, f.pbB14,
        f.pbSave,
        f.cbPaddle, f.hsBite, f.pbSaveP,
        f.lePath, f.pbPath, f.pbUpgrade,
        f.pbClose,
    };
}

} // namespace

KeyboardNavigation::KeyboardNavigation(QWidget *window, MainWindowForm *form)
    : QObject(window)
    , form(form)
    , sidebar{form->pbS1, form->pbS2, form->pbS3, form->pbS4, form->pbS5}
{
    const QList<QWidget *> order = tabOrder(*form);
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));

    for (const char *keys : kNextPage)
        connect(new QShortcut(QKeySequence(QLatin1String(keys), QKeySequence::PortableText), window),
                &QShortcut::activated, this, [this] { showPage(1); });
    for (const char *keys : kPreviousPage)
        connect(new QShortcut(QKeySequence(QLatin1String(keys), QKeySequence::PortableText), window),
                &QShortcut::activated, this, [this] { showPage(-1); });

    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        button->installEventFilter(this);
}

void KeyboardNavigation::showPage(int step)
{
    const int count = int(sidebar.size());
    QPushButton *const button = sidebar.at((form->stackedWidget->currentIndex() + step + count) % count);
    button->click();
    button->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool KeyboardNavigation::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QObject::eventFilter(watched, event);

    auto *button = static_cast<QAbstractButton *>(watched);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A push button takes Enter only in a dialog; here it does what Space does.
        if (button->isEnabled())
            button->click();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right: {
        const int at = int(sidebar.indexOf(static_cast<QPushButton *>(button)));
        if (at < 0)
            break;
        const bool back = key->key() == Qt::Key_Up || key->key() == Qt::Key_Left;
        const int to = qBound(0, at + (back ? -1 : 1), int(sidebar.size()) - 1);
        sidebar.at(to)->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

#pragma once
// The window without a mouse: Tab follows the screen (the sidebar top to
// bottom, the visible page's controls in reading order, its "Save Setting",
// then the close button); Ctrl+Tab / Ctrl+Shift+Tab and Ctrl+PgDown /
// Ctrl+PgUp go through the pages as in a tab widget, the focus on the
// sidebar button of the page shown; the arrow keys move between the
// sidebar's buttons; Enter, like Space, presses the focused button.

#include <QList>
#include <QObject>

class MainWindowForm;
class QPushButton;
class QWidget;

class KeyboardNavigation : public QObject
{
    Q_OBJECT

public:
    KeyboardNavigation(QWidget *window, MainWindowForm *form);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPage(int step);

    MainWindowForm *const form;
    QList<QPushButton *> sidebar;
};

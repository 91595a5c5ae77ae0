#include "app/InputModality.h"

#include <QCoreApplication>
#include <QEvent>

InputModality::InputModality(QObject *parent)
    : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool InputModality::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: // a shortcut's key press may never arrive as such
        set(true);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
        set(false);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void InputModality::set(bool keyboard)
{
    if (keyboard == usingKeyboard)
        return;
    usingKeyboard = keyboard;
    emit changed(keyboard);
}

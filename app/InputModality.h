#pragma once
// Whether the user is working with the keyboard or with the mouse: a key
// press means the keyboard, a mouse button or a touch the pointer. The focus
// ring shows only for the keyboard, so that a click leaves the window looking
// as it always did. No widgets: it watches the application's events.

#include <QObject>

class InputModality : public QObject
{
    Q_OBJECT

public:
    explicit InputModality(QObject *parent = nullptr);

    bool keyboard() const { return usingKeyboard; }

signals:
    void changed(bool keyboard);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void set(bool keyboard);

    bool usingKeyboard = false;
};

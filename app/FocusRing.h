#pragma once
// The mark of the keyboard focus: a 2-pixel ring in the sidebar's blue just
// outside the focused control, whatever that control's style sheet draws. It
// shows while the user works with the keyboard (InputModality) and is gone
// after a mouse click, so that without keyboard use every pixel of the window
// stays as it was. A QFocusFrame follows its control when it moves, hides and
// shows, and stays out of the accessibility tree.

#include <QFocusFrame>

class InputModality;

class FocusRing : public QFocusFrame
{
    Q_OBJECT

public:
    // The ring for the controls of `window`, made its child.
    explicit FocusRing(QWidget *window);

    static const QColor &colour();
    static constexpr int kWidth = 2;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void follow();

private:
    QWidget *const ownWindow;
    InputModality *const modality;
};

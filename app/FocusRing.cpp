#include "app/FocusRing.h"

#include "app/InputModality.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

FocusRing::FocusRing(QWidget *window)
    : QFocusFrame(window)
    , ownWindow(window)
    , modality(new InputModality(this))
{
    setObjectName(QStringLiteral("focusRing"));
    // A child left visible would show with the window.
    hide();
    connect(qApp, &QApplication::focusChanged, this, &FocusRing::follow);
    connect(modality, &InputModality::changed, this, &FocusRing::follow);
}

const QColor &FocusRing::colour()
{
    // The checked sidebar button's blue: about 5:1 against the window's near-black.
    static const QColor blue(17, 146, 207);
    return blue;
}

void FocusRing::follow()
{
    QWidget *const focus = QApplication::focusWidget();
    const bool shown = modality->keyboard() && focus && focus != ownWindow && focus->window() == ownWindow;
    setWidget(shown ? focus : nullptr);
}

void FocusRing::paintEvent(QPaintEvent *)
{
    if (!widget())
        return;
    // The frame reaches the style's focus-frame margin (2 pixels) beyond the
    // control on each side; the ring fills that band and nothing inside it.
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(QRect(all.left(), all.top(), all.width(), kWidth), colour());
    painter.fillRect(QRect(all.left(), all.bottom() - kWidth + 1, all.width(), kWidth), colour());
    painter.fillRect(QRect(all.left(), all.top(), kWidth, all.height()), colour());
    painter.fillRect(QRect(all.right() - kWidth + 1, all.top(), kWidth, all.height()), colour());
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    const bool result = QFocusFrame::eventFilter(watched, event);
    // QFocusFrame hides on a style change; an LED button gets one with every
    // new colour, and keeps the focus.
    if (watched == widget() && event->type() == QEvent::StyleChange && widget()->isVisible())
        show();
    return result;
}

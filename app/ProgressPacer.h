#pragma once
// Paces what a progress bar paints. QProgressBar::setValue repaints at once,
// synchronously, whenever the groove or text changes; a worker that reports
// faster than the screen can show would keep the GUI thread painting. The
// pacer sets the value at once (value() is always current) but lets the bar
// paint, through update(), at most once per interval: the first value of a
// quiet spell right away, the ones that follow when the interval is over.

#include <QObject>
#include <QTimer>

class QProgressBar;

class ProgressPacer : public QObject
{
    Q_OBJECT

public:
    // One frame of a 30 Hz screen: the bar still looks continuous.
    static constexpr int kIntervalMs = 30;

    // The bar's pacer, made as the bar's child on first use.
    static ProgressPacer *of(QProgressBar *bar);

    void setValue(int value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ProgressPacer(QProgressBar *bar);
    void release();

    QProgressBar *bar;
    QTimer interval;
};

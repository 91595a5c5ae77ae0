#include "app/ProgressPacer.h"

#include <QEvent>
#include <QProgressBar>

ProgressPacer *ProgressPacer::of(QProgressBar *bar)
{
    if (auto *pacer = bar->findChild<ProgressPacer *>(QString(), Qt::FindDirectChildrenOnly))
        return pacer;
    return new ProgressPacer(bar);
}

ProgressPacer::ProgressPacer(QProgressBar *bar)
    : QObject(bar)
    , bar(bar)
{
    interval.setSingleShot(true);
    interval.setInterval(kIntervalMs);
    connect(&interval, &QTimer::timeout, this, [this] {
        // Something was held back during the interval: paint it now and give
        // the next values another interval.
        if (!this->bar->updatesEnabled()) {
            release();
            interval.start();
        }
    });
    bar->installEventFilter(this);
}

void ProgressPacer::setValue(int value)
{
    // With updates off, setValue's own repaint does nothing.
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    if (!interval.isActive()) {
        release();
        interval.start();
    }
}

void ProgressPacer::release()
{
    bar->setUpdatesEnabled(true); // posts an update() of the bar
}

bool ProgressPacer::eventFilter(QObject *watched, QEvent *event)
{
    // A hidden bar has nothing to paint; it must not stay blocked until shown again.
    if (watched == bar && event->type() == QEvent::Hide) {
        interval.stop();
        release();
    }
    return QObject::eventFilter(watched, event);
}

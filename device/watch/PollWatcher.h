#pragma once
// A watcher for systems that cannot tell: while the wheel is away, it asks
// hidapi's enumeration about once a second whether the wheel is back.

#include "device/DeviceWatcher.h"

#include <QTimer>

namespace vorla {

class PollWatcher : public DeviceWatcher
{
    Q_OBJECT

public:
    explicit PollWatcher(QObject *parent = nullptr);
    void setWheelAway(bool away) override;

private:
    void look();

    QTimer timer;
};

} // namespace vorla

#pragma once
// A strip over the top of the pages, shown while the wheel cannot be used: it
// says plainly why (the wheel disconnected, or another instance of the
// program upgrading it) and that the program waits.

#include <QLabel>

class DisconnectedBanner : public QLabel
{
    Q_OBJECT

public:
    explicit DisconnectedBanner(QWidget *parent);

    void showDisconnected();
    void showOtherUpgrade();
};

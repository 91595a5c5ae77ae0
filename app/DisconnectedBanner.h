#pragma once
// A strip over the top of the pages, shown while the wheel is away: it says
// plainly that the wheel is disconnected and that the program waits for it.

#include <QLabel>

class DisconnectedBanner : public QLabel
{
    Q_OBJECT

public:
    explicit DisconnectedBanner(QWidget *parent);
};

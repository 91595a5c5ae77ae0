#include "app/DisconnectedBanner.h"

namespace {

// In the header strip, under the title and above the header line, so that
// it hides nothing of any page. It takes no mouse presses: a press on it
// still drags the window.
const QRect kGeometry(140, 44, 751, 26);
const char kStyle[] = "background-color: rgb(150, 24, 24); color: rgb(255, 255, 255);"
                      " font-family: Arial; font-weight: bold; font-size: 14px; padding-left: 10px; border-radius: 4px;";

QString disconnectedText()
{
    return DisconnectedBanner::tr("The wheel is disconnected. Waiting for it to be plugged in again ...");
}

} // namespace

DisconnectedBanner::DisconnectedBanner(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("disconnectedBanner"));
    setGeometry(kGeometry);
    setStyleSheet(QString::fromLatin1(kStyle));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setText(disconnectedText());
    hide();
}

void DisconnectedBanner::showDisconnected()
{
    setText(disconnectedText());
    show();
}

void DisconnectedBanner::showOtherUpgrade()
{
    setText(tr("Another Vorla Setting is upgrading the wheel's firmware. Waiting for it to finish ..."));
    show();
}

#include "app/UpgradeProgress.h"

#include "device/firmware.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace upgradeprogress {
namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(UpgradeProgress)
};

constexpr int kBarWidth = 30;

bool writing(int value)
{
    return value > vorla::kProgressTransferScale;
}

// The share of the image sent, in percent: the upload's 0-95 spread over
// 0-100, all of it once the wheel writes.
int percent(int value)
{
    return writing(value) ? 100 : std::max(value, 0) * 100 / vorla::kProgressTransferScale;
}

QString kib(qint64 bytes)
{
    return QString::number(double(bytes) / 1024, 'f', 1);
}

QString sentOfTotal(int value, qint64 size)
{
    return Text::tr("%1 of %2 KiB").arg(kib(size * percent(value) / 100), kib(size));
}

QString phase(int value)
{
    return writing(value) ? Text::tr("Writing ...") : Text::tr("Uploading ...");
}

} // namespace

QString bar(int value, qint64 size)
{
    const int filled = percent(value) * kBarWidth / 100;
    return QStringLiteral("%1 %2 % [%3%4]  %5")
        .arg(phase(value))
        .arg(percent(value), 3)
        .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')), sentOfTotal(value, size));
}

QString plainLine(int value, qint64 size, int &tenthShown)
{
    const int tenth = writing(value) ? 10 : percent(value) / 10;
    if (tenth <= tenthShown)
        return QString();
    tenthShown = tenth;
    if (writing(value))
        return phase(value);
    return QStringLiteral("%1 %2 % (%3)").arg(phase(value)).arg(percent(value)).arg(sentOfTotal(value, size));
}

int secondsLeft(int value, qint64 elapsedMs, qint64 writingStepMs)
{
    constexpr int kSteps = vorla::kProgressDone - vorla::kProgressWritingFirst + 1;
    double left = 0;
    if (writing(value)) {
        left = double(vorla::kProgressDone - value) * double(writingStepMs);
    } else {
        // The chunk reported is through: at least one 96th of the image.
        const double done = double(std::max(value, 0) + 1) / vorla::kProgressTransferScale;
        left = double(elapsedMs) * (1 - done) / done + kSteps * double(writingStepMs);
    }
    return std::max(1, int(std::ceil(left / 1000)));
}

} // namespace upgradeprogress

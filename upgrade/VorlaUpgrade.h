#pragma once
// The firmware transfer: streams an image file to the wheel on its own thread
// and reports how far it has come through progress(int):
//   0-95      the share of the image the wheel has accepted (only on change);
//   97-99     the wheel writing the image, one value a second;
//   100       done, the last value of a successful run;
//   below 0   a data or finish report failed (the send's result); the last
//             value of the run. No finish report follows a failed data report.
// A run that cannot read a whole image of 1 to kMaxFirmwareSize bytes (the
// file gone, unreadable, emptied, grown or shortened since the page checked
// it) sends nothing at all and ends with invalidImage() instead.

#include <QString>
#include <QThread>

#include <chrono>

class VorlaUpgrade : public QThread
{
    Q_OBJECT

public:
    explicit VorlaUpgrade(QObject *parent = nullptr);
    ~VorlaUpgrade() override;

    // Set on the GUI thread before start().
    void setFirmwarePath(const QString &path) { firmwarePath = path; }
    // The size the page found when it checked the file; a run refuses a file
    // that no longer has it. Negative: whatever size the file has when read.
    void setFirmwareSize(qint64 size) { firmwareSize = size; }

    // Each of the four steps the wheel is given to write the image (1 s).
    void setWritingStepDuration(std::chrono::milliseconds duration) { writingStep = duration; }

signals:
    void progress(int);
    void invalidImage();

protected:
    void run() override;

private:
    QString firmwarePath;
    qint64 firmwareSize = -1;
    std::chrono::milliseconds writingStep{1000};
};

#pragma once
// The firmware transfer: streams an image to the wheel on its own thread and
// reports how far it has come through progress(int):
//   0-95      the share of the image the wheel has accepted (only on change);
//   97-99     the wheel writing the image, one value a second;
//   100       done, the last value of a successful run;
//   below 0   a data or finish report failed (the send's result); the last
//             value of the run. No finish report follows a failed data report.
// The image is handed over as bytes, read once by whoever checked and showed
// it (device/firmwarefile.h): a file changed meanwhile changes nothing. A run
// given no image of 1 to kMaxFirmwareSize bytes sends nothing at all and ends
// with invalidImage() instead.

#include <QByteArray>
#include <QThread>

#include <chrono>

class VorlaUpgrade : public QThread
{
    Q_OBJECT

public:
    explicit VorlaUpgrade(QObject *parent = nullptr);
    ~VorlaUpgrade() override;

    // Set on the GUI thread before start().
    void setImage(const QByteArray &bytes) { image = bytes; }

    // Each of the four steps the wheel is given to write the image (1 s).
    void setWritingStepDuration(std::chrono::milliseconds duration) { writingStep = duration; }
    std::chrono::milliseconds writingStepDuration() const { return writingStep; }

signals:
    void progress(int);
    void invalidImage();

protected:
    void run() override;

private:
    QByteArray image;
    std::chrono::milliseconds writingStep{1000};
};

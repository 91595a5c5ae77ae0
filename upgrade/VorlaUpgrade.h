#pragma once
// The firmware transfer: streams an image file to the wheel on its own thread
// and reports how far it has come through progress(int):
//   0-95      the share of the image the wheel has accepted (only on change);
//   97-99     the wheel writing the image, one value a second;
//   100       done, the last value of a successful run;
//   below 0   the transfer failed (the failed send's result, or -1 when the
//             file no longer holds a valid image); the last value of the run.
//             Nothing is committed: no finish report follows a failure.
// A run whose file cannot be opened ends without a value.

#include <QString>
#include <QThread>

#include <chrono>

class VorlaUpgrade : public QThread
{
    Q_OBJECT

public:
    explicit VorlaUpgrade(QObject *parent = nullptr);
    ~VorlaUpgrade() override;

    QString firmwarePath() const { return m_firmwarePath; }
    // Set on the GUI thread before start().
    void setFirmwarePath(const QString &path) { m_firmwarePath = path; }

    // Each of the four steps the wheel is given to write the image (1 s).
    void setWritingStepDuration(std::chrono::milliseconds duration) { m_writingStep = duration; }

signals:
    void progress(int);

protected:
    void run() override;

private:
    QString m_firmwarePath;
    std::chrono::milliseconds m_writingStep{1000};
};

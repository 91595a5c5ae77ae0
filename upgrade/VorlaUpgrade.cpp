#include "upgrade/VorlaUpgrade.h"

#include "device/connection.h"
#include "device/firmware.h"

#include <QFile>

#include <algorithm>

namespace {

// Reported when the file no longer holds an image the wheel can take.
constexpr int kInvalidImage = -1;

} // namespace

VorlaUpgrade::VorlaUpgrade(QObject *parent)
    : QThread(parent)
{
}

VorlaUpgrade::~VorlaUpgrade()
{
    // A transfer cannot be abandoned halfway; let it end first.
    wait();
}

void VorlaUpgrade::run()
{
    QFile file(m_firmwarePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // The page checked the size, but the file may have grown since: read one
    // byte more than the wheel takes, to notice and to never send it.
    const QByteArray image = file.read(vorla::kMaxFirmwareSize + 1);
    file.close();
    const qint64 size = image.size();
    if (size > vorla::kMaxFirmwareSize) {
        emit progress(kInvalidImage);
        return;
    }

    const auto *data = reinterpret_cast<const std::uint8_t *>(image.constData());
    vorla::Report report{};
    report[0] = vorla::kFeatureReportId;
    int lastProgress = -1;
    for (qint64 offset = 0; offset < size; offset += vorla::kFirmwareChunkSize) {
        const auto length = std::size_t(std::min<qint64>(vorla::kFirmwareChunkSize, size - offset));
        vorla::setFirmwareDataReport(report, std::uint32_t(offset), data + offset, length);
        const int sent = vorla::connection::sendFeatureReport(report);
        if (sent < 0) {
            // No finish report: the wheel must not write a partial image.
            emit progress(sent);
            return;
        }
        const int value = vorla::firmwareProgress(offset, size);
        if (value != lastProgress) {
            emit progress(value);
            lastProgress = value;
        }
    }

    vorla::setFirmwareFinishReport(report);
    vorla::connection::sendFeatureReport(report);
    for (int value = vorla::kProgressWritingFirst; value <= vorla::kProgressDone; ++value) {
        msleep(static_cast<unsigned long>(m_writingStep.count()));
        emit progress(value);
    }
}

#include "upgrade/VorlaUpgrade.h"

#include "device/connection.h"
#include "device/firmware.h"

#include <algorithm>

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
    const qint64 size = image.size();
    if (!vorla::isFirmwareSize(size)) {
        // Not even a finish report: the wheel would write an image it never got.
        emit invalidImage();
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
    const int finished = vorla::connection::sendFeatureReport(report);
    if (finished < 0) {
        // The wheel may or may not have taken it: never a success.
        emit progress(finished);
        return;
    }
    for (int value = vorla::kProgressWritingFirst; value <= vorla::kProgressDone; ++value) {
        msleep(static_cast<unsigned long>(writingStep.count()));
        emit progress(value);
    }
}

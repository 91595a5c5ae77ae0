#include "device/firmwarefile.h"

#include "device/firmware.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace vorla {
namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(FirmwareFile)
};

} // namespace

QString FirmwareFile::sha256() const
{
    return QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
}

FirmwareFile readFirmwareFile(const QString &path)
{
    using Problem = FirmwareFile::Problem;
    FirmwareFile file;
    if (!path.endsWith(QLatin1String(".bin"), Qt::CaseSensitive)) {
        file.problem = Problem::Name;
        return file;
    }
    const QFileInfo info(path);
    QFile reader(path);
    // A directory opens on some systems; a device or a pipe may never end.
    if (info.exists() && !info.isFile()) {
        file.problem = Problem::Unreadable;
        file.reason = Text::tr("not a regular file");
        return file;
    }
    if (!reader.open(QIODevice::ReadOnly)) {
        file.problem = Problem::Unreadable;
        file.reason = reader.errorString();
        return file;
    }
    file.size = reader.size();
    if (!isFirmwareSize(file.size)) {
        file.problem = Problem::Size;
        return file;
    }
    // One byte more than the wheel takes: a file that grows while it is read
    // shows up as too large.
    file.image = reader.read(kMaxFirmwareSize + 1);
    if (reader.error() != QFileDevice::NoError) {
        file.problem = Problem::Unreadable;
        file.reason = reader.errorString();
        file.image.clear();
        return file;
    }
    file.size = file.image.size();
    if (!isFirmwareSize(file.size)) {
        file.problem = Problem::Size;
        file.image.clear();
        return file;
    }
    file.content = imageContent(file.image);
    if (file.content != ImageContent::Image) {
        file.problem = Problem::Content;
        file.image.clear();
    }
    return file;
}

} // namespace vorla

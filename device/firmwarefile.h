#pragma once
// A firmware image file as the window and the command line take it: read
// once, so that the bytes checked, hashed and shown to the user are the very
// bytes the worker sends, whatever happens to the file afterwards.

#include "device/imagecheck.h"

#include <QByteArray>
#include <QString>

namespace vorla {

struct FirmwareFile {
    enum class Problem {
        None,
        Name,       // the name does not end in ".bin" (case-sensitive)
        Unreadable, // not a regular file that can be read whole
        Size,       // not 1 to kMaxFirmwareSize bytes
        Content,    // plainly something else (imagecheck.h)
    };
    Problem problem = Problem::None;
    QByteArray image;     // the whole file, when there is no problem
    qint64 size = 0;      // the file's size, once it was found
    QString reason;       // Unreadable: the system's words
    ImageContent content = ImageContent::Image;

    // The image's SHA-256 as 64 lower-case hex digits.
    QString sha256() const;
};

FirmwareFile readFirmwareFile(const QString &path);

} // namespace vorla

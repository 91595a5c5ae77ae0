#pragma once
// Whether a file is plainly something other than a firmware image. The wheel
// takes its image as raw bytes with no header of its own, so nothing proves a
// file is one; but an archive, a HEX or S-record text, a program, a document
// or a picture has a signature or a structure that raw machine code cannot
// plausibly have, and writing one of those into the wheel's flash leaves it
// without working firmware. Only such certain cases are refused: several
// bytes of a signature where the format has them, a record's own checksum for
// the text formats, and text or blank content only from kMinCheckedLength
// bytes on. Anything else is taken, as small files always are.

#include <QByteArray>
#include <QString>

namespace vorla {

enum class ImageContent {
    Image, // nothing says otherwise
    ZipArchive,
    SevenZipArchive,
    RarArchive,
    GzipArchive,
    XzArchive,
    Bzip2Archive,
    IntelHex,
    MotorolaSRecord,
    ElfProgram,
    WindowsProgram,
    MacProgram,
    PdfDocument,
    PngPicture,
    JpegPicture,
    Uf2Image,
    Text,   // printable UTF-8 and white space only
    Blank,  // all 0x00
    Erased, // all 0xFF, as erased flash reads
};

// Text and blank content is told apart from code only in files this long.
constexpr int kMinCheckedLength = 256;

// What `bytes` (a whole file) plainly is; Image when nothing is certain.
ImageContent imageContent(const QByteArray &bytes);

// What the file is and what to do instead, for the user; empty for Image.
QString notAnImageMessage(ImageContent content);

} // namespace vorla

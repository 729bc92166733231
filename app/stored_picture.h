#pragma once

#include <QByteArray>
#include <QImage>

namespace nomaro {

// A picture kept ready to show, so that loading it costs no decoding: "NMPX", the width and the
// height as 32-bit little-endian numbers, then the rows of premultiplied ARGB pixels
// (QImage::Format_ARGB32_Premultiplied), each pixel a 32-bit little-endian number.
QByteArray encodeStoredPicture(const QImage &picture);

// The picture held by the bytes, or a null image when they are not a whole stored picture.
// Where the machine's own pixel layout allows, the image reads the bytes in place, so they must
// outlive it (as the program's compiled-in resources do).
QImage decodeStoredPicture(const uchar *bytes, qsizetype size);

} // namespace nomaro

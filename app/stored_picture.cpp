#include "app/stored_picture.h"

#include <QtEndian>
#include <cstdint>
#include <cstring>

namespace nomaro {
namespace {

constexpr char kMagic[4] = {'N', 'M', 'P', 'X'};
constexpr qsizetype kHeaderSize = 12;
// Far beyond any picture of the program; keeps the size arithmetic below overflow.
constexpr quint32 kLargestSide = 4096;

} // namespace

QByteArray encodeStoredPicture(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray bytes(kHeaderSize + qsizetype(pixels.width()) * pixels.height() * 4, Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(bytes.data());
    std::memcpy(out, kMagic, sizeof kMagic);
    qToLittleEndian<quint32>(quint32(pixels.width()), out + 4);
    qToLittleEndian<quint32>(quint32(pixels.height()), out + 8);
    out += kHeaderSize;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x, out += 4)
            qToLittleEndian<quint32>(row[x], out);
    }
    return bytes;
}

QImage decodeStoredPicture(const uchar *bytes, qsizetype size)
{
    if (!bytes || size < kHeaderSize || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return {};
    const quint32 width = qFromLittleEndian<quint32>(bytes + 4);
    const quint32 height = qFromLittleEndian<quint32>(bytes + 8);
    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide
        || size != kHeaderSize + qsizetype(width) * height * 4)
        return {};
    const uchar *pixels = bytes + kHeaderSize;
    const bool inPlace = QSysInfo::ByteOrder == QSysInfo::LittleEndian
        && reinterpret_cast<std::uintptr_t>(pixels) % alignof(quint32) == 0;
    if (inPlace)
        return QImage(pixels, int(width), int(height), int(width * 4), QImage::Format_ARGB32_Premultiplied);
    QImage picture(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x, pixels += 4)
            row[x] = qFromLittleEndian<quint32>(pixels);
    }
    return picture;
}

} // namespace nomaro

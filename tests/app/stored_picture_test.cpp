#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <cstring>

#include "app/icons.h"
#include "app/stored_picture.h"

namespace {

// Semi-transparent pixels are where a careless premultiplication would show.
QImage samplePicture()
{
    QImage picture(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(40 * x + 7, 90 * y + 3, 200 - 30 * x, 255 - 60 * x));
    return picture;
}

QImage decode(const QByteArray &bytes)
{
    return nomaro::decodeStoredPicture(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size());
}

} // namespace

TEST(StoredPicture, GivesBackThePicturePixelForPixel)
{
    const QImage picture = samplePicture();
    const QByteArray bytes = nomaro::encodeStoredPicture(picture);
    EXPECT_EQ(bytes.size(), 12 + 5 * 3 * 4);
    const QImage decoded = decode(bytes);
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), picture.size());
    EXPECT_EQ(decoded, picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST(StoredPicture, ReadsBytesThatAreNotAlignedForPixels)
{
    const QImage picture = samplePicture();
    const QByteArray bytes = nomaro::encodeStoredPicture(picture);
    QByteArray shifted(bytes.size() + 1, '\0');
    std::memcpy(shifted.data() + 1, bytes.constData(), std::size_t(bytes.size()));
    const QImage decoded = nomaro::decodeStoredPicture(reinterpret_cast<const uchar *>(shifted.constData()) + 1,
                                                       bytes.size());
    EXPECT_EQ(decoded, picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST(StoredPicture, RefusesBytesThatAreNotAWholePicture)
{
    const QByteArray good = nomaro::encodeStoredPicture(samplePicture());
    QByteArray wrongMagic = good;
    wrongMagic[0] = 'P';
    QByteArray hugeWidth = good;
    hugeWidth[7] = char(0x7f); // a width near 2^31 must not wrap the size arithmetic
    QByteArray zeroHeight = good;
    zeroHeight[8] = zeroHeight[9] = zeroHeight[10] = zeroHeight[11] = 0;
    const struct
    {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"header only", good.left(12)},
        {"one byte short", good.left(good.size() - 1)},
        {"one byte over", good + 'x'},
        {"another format", wrongMagic},
        {"width beyond any picture", hugeWidth},
        {"no rows", zeroHeight},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(decode(c.bytes).isNull()) << c.what;
    EXPECT_TRUE(nomaro::decodeStoredPicture(nullptr, 40).isNull());
}

// The sizes an icon offers are what the window system is handed (the program icon) and what the
// buttons choose from; at one pixel per point the 2x pictures stay out, as they did when the
// icons were read from "<name>.png" files.
TEST(StoredPicture, ButtonPicturesAndTheProgramIconOfferTheirDesignedSizes)
{
    ASSERT_LE(qApp->devicePixelRatio(), 1.0);
    const QIcon filter = nomaro::pictureIcon(QStringLiteral("filter"));
    EXPECT_EQ(filter.availableSizes(QIcon::Normal), QList<QSize>{QSize(20, 20)});
    EXPECT_EQ(filter.availableSizes(QIcon::Disabled), QList<QSize>{QSize(20, 20)});
    const QIcon add = nomaro::pictureIcon(QStringLiteral("add"));
    EXPECT_EQ(add.availableSizes(QIcon::Normal), QList<QSize>{QSize(20, 20)});
    EXPECT_TRUE(add.availableSizes(QIcon::Disabled).isEmpty());
    EXPECT_FALSE(add.pixmap(20, 20, QIcon::Disabled).isNull()); // the style's greyed look
    EXPECT_EQ(nomaro::programIcon().availableSizes(), QList<QSize>{QSize(256, 256)});
    EXPECT_TRUE(nomaro::pictureIcon(QStringLiteral("no_such_picture")).isNull());
}

#include "app/icons.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QResource>

#include "app/stored_picture.h"
#include "app/theme_colours.h"

// The pictures are compiled into the static library that holds this file. Nothing else refers to
// them, so the linker would leave them out of the program unless they are registered from here.
// Q_INIT_RESOURCE must stand outside any namespace.
static void registerPictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(nomaro);
        return true;
    }();
    (void)registered;
}

namespace nomaro {
namespace {

// The pictures are stored uncompressed (see tools/icongen), so that the image reads the
// resource's bytes where they lie.
QImage storedPicture(const QString &file)
{
    const QResource resource(QStringLiteral(":/icons/") + file);
    if (!resource.isValid())
        return {};
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        return decodeStoredPicture(resource.data(), resource.size());
    const QByteArray bytes = resource.uncompressedData();
    return decodeStoredPicture(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size()).copy();
}

// The picture, changed by the given look when there is one.
using Look = QImage (*)(const QImage &, const QPalette &);

bool addPicture(QIcon &icon, const QString &file, QIcon::Mode mode, Look look = nullptr,
                const QPalette &palette = QPalette())
{
    const QImage picture = storedPicture(file);
    if (picture.isNull())
        return false;
    icon.addPixmap(QPixmap::fromImage(look ? look(picture, palette) : picture), mode);
    return true;
}

// Each picture at 1x, and at 2x too on a screen that shows more than one pixel per point, as an
// icon reading "<name>.png" would pick up "<name>@2x.png".
bool addPictures(QIcon &icon, const QString &name, QIcon::Mode mode, Look look = nullptr,
                 const QPalette &palette = QPalette())
{
    if (!addPicture(icon, name + QStringLiteral(".argb"), mode, look, palette))
        return false;
    if (qApp->devicePixelRatio() > 1.0)
        addPicture(icon, name + QStringLiteral("@2x.argb"), mode, look, palette);
    return true;
}

} // namespace

QIcon pictureIcon(const QString &name, const QPalette &palette)
{
    registerPictures();
    QIcon icon;
    addPictures(icon, name, QIcon::Normal);
    if (theme::isDark(palette))
        addPictures(icon, name, QIcon::Disabled, theme::disabledPicture, palette);
    else
        addPictures(icon, name + QStringLiteral("_disabled"), QIcon::Disabled);
    return icon;
}

QIcon programIcon()
{
    registerPictures();
    QIcon icon;
    addPicture(icon, QStringLiteral("nomaro.argb"), QIcon::Normal);
    return icon;
}

} // namespace nomaro

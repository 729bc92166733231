#include "app/icons.h"

#include <QFile>

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

QIcon pictureIcon(const QString &name)
{
    registerPictures();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(name), QSize(), QIcon::Normal);
    const QString disabled = QStringLiteral(":/icons/%1_disabled.png").arg(name);
    if (QFile::exists(disabled))
        icon.addFile(disabled, QSize(), QIcon::Disabled);
    return icon;
}

QIcon programIcon()
{
    registerPictures();
    return QIcon(QStringLiteral(":/icons/nomaro.png"));
}

} // namespace nomaro

#include "app/icons.h"

#include <QFile>

namespace nomaro {

QIcon pictureIcon(const QString &name)
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(name), QSize(), QIcon::Normal);
    const QString disabled = QStringLiteral(":/icons/%1_disabled.png").arg(name);
    if (QFile::exists(disabled))
        icon.addFile(disabled, QSize(), QIcon::Disabled);
    return icon;
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/icons/nomaro.png"));
}

} // namespace nomaro

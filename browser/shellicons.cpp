#include "browser/shellicons.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <map>
#include <tuple>

namespace nomaro {
namespace {

QIcon baseIcon(const std::string &iconName)
{
    const QString name = QString::fromStdString(iconName);
    QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull())
        return icon;

    QStyle::StandardPixmap fallback = QStyle::SP_FileIcon;
    if (name == QStringLiteral("computer"))
        fallback = QStyle::SP_ComputerIcon;
    else if (name == QStringLiteral("drive-optical"))
        fallback = QStyle::SP_DriveCDIcon;
    else if (name == QStringLiteral("drive-removable-media"))
        fallback = QStyle::SP_DriveFDIcon;
    else if (name == QStringLiteral("folder-remote"))
        fallback = QStyle::SP_DriveNetIcon;
    else if (name.startsWith(QStringLiteral("drive-")))
        fallback = QStyle::SP_DriveHDIcon;
    else if (name == QStringLiteral("folder") || name.startsWith(QStringLiteral("user-")))
        fallback = QStyle::SP_DirIcon;
    return QApplication::style()->standardIcon(fallback);
}

// A small arrow in a white box at the bottom-left corner, the usual mark of a link.
void drawLinkOverlay(QPainter &painter, int size)
{
    const int box = qMax(7, size / 2);
    const QRect area(0, size - box, box, box);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    QPainterPath arrow;
    arrow.moveTo(area.left() + 2, area.bottom() - 1);
    arrow.quadTo(area.left() + 2, area.top() + 2, area.right() - 2, area.top() + 2);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arrow);
    painter.drawLine(area.right() - 2, area.top() + 2, area.right() - 4, area.top() + 1);
    painter.drawLine(area.right() - 2, area.top() + 2, area.right() - 4, area.top() + 4);
}

QIcon variant(const QIcon &base, bool ghosted, bool link)
{
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        if (ghosted)
            painter.setOpacity(0.45);
        painter.drawPixmap(0, 0, base.pixmap(size, size));
        painter.setOpacity(1.0);
        if (link)
            drawLinkOverlay(painter, size);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

using IconCache = std::map<std::tuple<std::string, bool, bool>, QIcon>;

IconCache &iconCache()
{
    static IconCache cache;
    static const bool emptiedAtExit = [] {
        // Pixmaps must go while the application still exists, not with the other statics.
        qAddPostRoutine([] { iconCache().clear(); });
        return true;
    }();
    (void)emptiedAtExit;
    return cache;
}

} // namespace

QIcon shellIcon(const std::string &iconName, bool ghosted, bool link)
{
    IconCache &cache = iconCache();
    const auto key = std::make_tuple(iconName, ghosted, link);
    const auto found = cache.find(key);
    if (found != cache.end())
        return found->second;
    QIcon icon = baseIcon(iconName);
    if (ghosted || link)
        icon = variant(icon, ghosted, link);
    return cache.emplace(key, icon).first->second;
}

} // namespace nomaro

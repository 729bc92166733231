// Paints the program's button pictures and program icon, and writes them with the resource list
// that compiles them into the program: icongen <resources folder>.
//
// Button pictures are drawn on a 20 by 20 grid (the size the buttons show them at) and written at
// 1x and 2x; one-pixel outlines sit on half-pixel coordinates so that both sizes come out crisp.
// The program reads its pictures as stored pixels (app/stored_picture.h), left uncompressed in
// the resources, so that start-up decodes nothing; the program icon is also written as PNG files
// for the desktop, at the sizes of its icon theme (icons/hicolor).

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>
#include <QtMath>

#include <cstdio>
#include <functional>

#include "app/stored_picture.h"

namespace {

constexpr int ButtonGrid = 20;

struct Shade {
    QColor fill;
    QColor dark;
};

const Shade Blue{QColor(0x3c, 0x7f, 0xd0), QColor(0x1d, 0x4f, 0x8f)};
const Shade Green{QColor(0x3d, 0xa6, 0x4a), QColor(0x1e, 0x6b, 0x28)};
const Shade Red{QColor(0xd8, 0x43, 0x3b), QColor(0x8a, 0x1c, 0x16)};
const Shade Orange{QColor(0xe8, 0x82, 0x2a), QColor(0x9a, 0x4b, 0x0e)};
const Shade Teal{QColor(0x2a, 0x9d, 0x8f), QColor(0x17, 0x5e, 0x56)};
const Shade Folder{QColor(0xf4, 0xc6, 0x4e), QColor(0xa5, 0x7a, 0x16)};
const Shade Paper{QColor(0xff, 0xff, 0xff), QColor(0x5d, 0x6b, 0x78)};
const Shade Metal{QColor(0xb4, 0xbc, 0xc5), QColor(0x4b, 0x53, 0x5c)};
const QColor PaperLine(0x9d, 0xb4, 0xcc);

void fillOutlined(QPainter &p, const QPainterPath &path, const Shade &shade, qreal width = 1.0)
{
    p.setPen(QPen(shade.dark, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(shade.fill);
    p.drawPath(path);
}

void fillOutlined(QPainter &p, const QPolygonF &polygon, const Shade &shade, qreal width = 1.0)
{
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    fillOutlined(p, path, shade, width);
}

void fillOutlined(QPainter &p, const QRectF &rect, const Shade &shade, qreal width = 1.0)
{
    QPainterPath path;
    path.addRect(rect);
    fillOutlined(p, path, shade, width);
}

// A thick line with an outline of its own: the dark stroke first, the coloured one inside it.
void strokeOutlined(QPainter &p, const QPainterPath &path, qreal width, const Shade &shade,
                    Qt::PenCapStyle cap = Qt::RoundCap)
{
    p.setBrush(Qt::NoBrush);
    p.strokePath(path, QPen(shade.dark, width + 2.0, Qt::SolidLine, cap, Qt::RoundJoin));
    p.strokePath(path, QPen(shade.fill, width, Qt::SolidLine, cap, Qt::RoundJoin));
}

void paperLines(QPainter &p, qreal left, qreal right, qreal top, qreal step, int count)
{
    p.setPen(QPen(PaperLine, 1.0));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * step), QPointF(right, top + i * step));
}

// A closed arrow head at the end of a curved shaft, pointing along the shaft's last direction.
QPolygonF arrowHead(const QPointF &end, qreal angleDegrees, qreal length, qreal halfWidth)
{
    const qreal a = qDegreesToRadians(angleDegrees);
    const QPointF along(std::cos(a), -std::sin(a));
    const QPointF across(-along.y(), along.x());
    return QPolygonF{end + along * length, end + across * halfWidth, end - across * halfWidth};
}

// Curved arrows: the shaft's dark stroke, then the head, then the shaft's colour running into the
// head, so that shaft and head read as one shape.
void curvedArrow(QPainter &p, const QPainterPath &shaft, const QPolygonF &head, qreal width, const Shade &shade)
{
    p.setBrush(Qt::NoBrush);
    p.strokePath(shaft, QPen(shade.dark, width + 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    fillOutlined(p, head, shade);
    p.strokePath(shaft, QPen(shade.fill, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
}

QPolygonF upArrow()
{
    return QPolygonF{{10.0, 1.5},  {18.5, 10.0}, {13.5, 10.0}, {13.5, 18.5},
                     {6.5, 18.5},  {6.5, 10.0},  {1.5, 10.0}};
}

void paintUpLevel(QPainter &p)
{
    QPainterPath back;
    back.moveTo(1.5, 6.5);
    back.lineTo(6.5, 6.5);
    back.lineTo(8.5, 8.5);
    back.lineTo(14.5, 8.5);
    back.lineTo(14.5, 17.5);
    back.lineTo(1.5, 17.5);
    back.closeSubpath();
    fillOutlined(p, back, Folder);
    fillOutlined(p, QRectF(1.5, 10.5, 13.0, 7.0), {Folder.fill.lighter(115), Folder.dark});
    fillOutlined(p, QPolygonF{{14.5, 1.0}, {19.0, 6.5}, {16.5, 6.5}, {16.5, 13.5}, {12.5, 13.5}, {12.5, 6.5}, {10.0, 6.5}},
                 Green);
}

void paintFilter(QPainter &p)
{
    fillOutlined(p, QPolygonF{{1.5, 2.5}, {18.5, 2.5}, {11.5, 10.5}, {11.5, 16.5}, {8.5, 18.5}, {8.5, 10.5}}, Teal);
    p.setPen(QPen(Teal.fill.lighter(150), 1.0));
    p.drawLine(QPointF(4.0, 4.0), QPointF(16.0, 4.0));
}

void paintAdd(QPainter &p)
{
    fillOutlined(p,
                 QPolygonF{{7.5, 2.5},   {12.5, 2.5},  {12.5, 7.5},  {17.5, 7.5},
                           {17.5, 12.5}, {12.5, 12.5}, {12.5, 17.5}, {7.5, 17.5},
                           {7.5, 12.5},  {2.5, 12.5},  {2.5, 7.5},   {7.5, 7.5}},
                 Green);
}

void paintRemove(QPainter &p)
{
    fillOutlined(p, QRectF(2.5, 7.5, 15.0, 5.0), Red);
}

// A broom lying across the picture: handle to the top right, bristles to the bottom left.
void paintClear(QPainter &p)
{
    p.save();
    p.translate(10.5, 9.5);
    p.rotate(45.0);
    fillOutlined(p, QRectF(-1.2, -11.5, 2.4, 10.0), {QColor(0xa8, 0x72, 0x3e), QColor(0x5c, 0x3a, 0x1a)});
    const Shade straw{QColor(0xf0, 0xc8, 0x4c), QColor(0x94, 0x6c, 0x10)};
    fillOutlined(p, QPolygonF{{-3.0, 0.5}, {3.0, 0.5}, {5.5, 8.0}, {-5.5, 8.0}}, straw);
    p.setPen(QPen(straw.dark, 0.8));
    p.drawLine(QPointF(-1.2, 3.0), QPointF(-2.2, 7.5));
    p.drawLine(QPointF(1.2, 3.0), QPointF(2.2, 7.5));
    fillOutlined(p, QRectF(-3.5, -1.5, 7.0, 2.5), Red);
    p.restore();
}

void paintTry(QPainter &p)
{
    const Shade handle{QColor(0x6b, 0x42, 0x26), QColor(0x33, 0x1e, 0x10)};
    QPainterPath grip;
    grip.moveTo(12.5, 12.5);
    grip.lineTo(17.0, 17.0);
    strokeOutlined(p, grip, 2.6, handle);
    p.setPen(QPen(QColor(0x2c, 0x3e, 0x50), 2.0));
    p.setBrush(QColor(0xcf, 0xe6, 0xfa));
    p.drawEllipse(QPointF(8.5, 8.5), 5.5, 5.5);
    p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(5.5, 5.5, 6.0, 6.0), 100 * 16, 70 * 16);
}

// A curved arrow turning back to the left.
void paintUndo(QPainter &p)
{
    QPainterPath shaft;
    shaft.moveTo(7.0, 6.5);
    shaft.lineTo(10.5, 6.5);
    shaft.arcTo(QRectF(5.0, 6.5, 11.0, 11.0), 90.0, -180.0);
    shaft.lineTo(6.0, 17.5);
    curvedArrow(p, shaft, arrowHead({7.0, 6.5}, 180.0, 5.5, 4.5), 2.6, Orange);
}

// A pencil with its point to the bottom left.
void paintRename(QPainter &p)
{
    p.save();
    p.translate(10.0, 10.0);
    p.rotate(-45.0);
    const QColor outline(0x5a, 0x46, 0x10);
    fillOutlined(p, QRectF(6.0, -2.6, 3.5, 5.2), {QColor(0xf2, 0x9c, 0xb0), outline});
    fillOutlined(p, QRectF(4.0, -2.6, 2.0, 5.2), {QColor(0xc4, 0xca, 0xd2), outline});
    fillOutlined(p, QRectF(-4.5, -2.6, 8.5, 5.2), {QColor(0xf5, 0xc2, 0x42), outline});
    fillOutlined(p, QPolygonF{{-4.5, -2.6}, {-4.5, 2.6}, {-10.5, 0.0}}, {QColor(0xf1, 0xd3, 0xa1), outline});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x33, 0x33, 0x33));
    p.drawPolygon(QPolygonF{{-8.3, -0.95}, {-8.3, 0.95}, {-10.5, 0.0}});
    p.setPen(QPen(QColor(0xd9, 0x9a, 0x1a), 0.8));
    p.drawLine(QPointF(-4.0, 0.0), QPointF(3.5, 0.0));
    p.restore();
}

void paintRowUp(QPainter &p)
{
    fillOutlined(p, upArrow(), Blue);
}

void paintRowDown(QPainter &p)
{
    p.save();
    p.translate(0.0, ButtonGrid);
    p.scale(1.0, -1.0);
    fillOutlined(p, upArrow(), Blue);
    p.restore();
}

// Two arrows chasing each other round a circle.
void paintRefresh(QPainter &p)
{
    const QPointF centre(10.0, 10.0);
    const qreal radius = 5.5;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    const qreal sweep = -115.0;
    for (const qreal start : {165.0, -15.0}) {
        QPainterPath shaft;
        shaft.arcMoveTo(box, start);
        shaft.arcTo(box, start, sweep);
        const QPointF tip = shaft.currentPosition();
        curvedArrow(p, shaft, arrowHead(tip, start + sweep - 90.0, 4.5, 4.0), 2.4, Green);
    }
}

void sheet(QPainter &p, const QRectF &rect)
{
    fillOutlined(p, rect, Paper);
    paperLines(p, rect.left() + 2.0, rect.right() - 2.0, rect.top() + 3.0, 2.0, int((rect.height() - 4.0) / 2.0));
}

void paintCopy(QPainter &p)
{
    sheet(p, QRectF(2.5, 1.5, 10.0, 13.0));
    sheet(p, QRectF(7.5, 5.5, 10.0, 13.0));
}

void paintPrint(QPainter &p)
{
    fillOutlined(p, QRectF(5.5, 1.5, 9.0, 7.0), Paper);
    QPainterPath body;
    body.addRoundedRect(QRectF(1.5, 7.5, 17.0, 8.0), 1.5, 1.5);
    fillOutlined(p, body, Metal);
    p.setPen(QPen(Metal.dark, 1.0));
    p.drawLine(QPointF(4.0, 12.5), QPointF(16.0, 12.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3d, 0xd6, 0x4a));
    p.drawRect(QRectF(15.0, 9.0, 2.0, 2.0));
    fillOutlined(p, QRectF(5.5, 12.5, 9.0, 6.0), Paper);
    paperLines(p, 7.5, 12.5, 14.5, 2.0, 2);
}

void paintSave(QPainter &p)
{
    fillOutlined(p, QPolygonF{{1.5, 1.5}, {16.0, 1.5}, {18.5, 4.0}, {18.5, 18.5}, {1.5, 18.5}},
                 {QColor(0x3c, 0x6f, 0xb4), QColor(0x1c, 0x3c, 0x6e)});
    fillOutlined(p, QRectF(5.5, 1.5, 9.0, 6.0), {QColor(0xd4, 0xd9, 0xdf), QColor(0x1c, 0x3c, 0x6e)});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0x6f, 0xb4));
    p.drawRect(QRectF(11.0, 2.0, 2.0, 5.0));
    fillOutlined(p, QRectF(4.5, 10.5, 11.0, 8.0), {Qt::white, QColor(0x1c, 0x3c, 0x6e)});
    paperLines(p, 6.0, 14.0, 13.5, 2.0, 2);
}

// The program icon, on a 256 by 256 grid: a stack of listed documents and a pencil renaming them.
void paintProgram(QPainter &p)
{
    // Drawn a little smaller than the grid so that the tilted pages keep clear of the edges.
    p.translate(128.0, 128.0);
    p.scale(0.92, 0.92);
    p.translate(-128.0, -128.0);
    const qreal outline = 7.0;
    const QColor edge(0x4a, 0x5a, 0x6a);
    struct Page {
        qreal angle;
        QPointF offset;
        QColor colour;
    };
    for (const Page &page : {Page{-12.0, {-16.0, 4.0}, QColor(0xd6, 0xe6, 0xf6)},
                             Page{-5.0, {-6.0, 0.0}, QColor(0xea, 0xf2, 0xfb)},
                             Page{3.0, {6.0, -2.0}, QColor(0xff, 0xff, 0xff)}}) {
        p.save();
        p.translate(QPointF(118.0, 124.0) + page.offset);
        p.rotate(page.angle);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(-78.0, -104.0, 156.0, 208.0), 10.0, 10.0);
        fillOutlined(p, shape, {page.colour, edge}, outline);
        p.restore();
    }

    // The front page lists names: an old name, an arrow, the new name in colour.
    p.save();
    p.translate(124.0, 122.0);
    p.rotate(3.0);
    for (int row = 0; row < 4; ++row) {
        const qreal y = -70.0 + row * 38.0;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xa9, 0xb6, 0xc4));
        p.drawRoundedRect(QRectF(-58.0, y, 40.0, 16.0), 6.0, 6.0);
        p.setBrush(row % 2 ? QColor(0x3d, 0xa6, 0x4a) : QColor(0x3c, 0x7f, 0xd0));
        p.drawRoundedRect(QRectF(8.0, y, 50.0, 16.0), 6.0, 6.0);
        p.setBrush(QColor(0xe8, 0x82, 0x2a));
        p.drawPolygon(QPolygonF{{-12.0, y - 1.0}, {3.0, y + 8.0}, {-12.0, y + 17.0}});
    }
    p.restore();

    p.save();
    p.translate(176.0, 176.0);
    p.rotate(-45.0);
    const QColor dark(0x4a, 0x38, 0x0c);
    fillOutlined(p, QRectF(52.0, -17.0, 26.0, 34.0), {QColor(0xf2, 0x9c, 0xb0), dark}, outline);
    fillOutlined(p, QRectF(38.0, -17.0, 14.0, 34.0), {QColor(0xc4, 0xca, 0xd2), dark}, outline);
    fillOutlined(p, QRectF(-36.0, -17.0, 74.0, 34.0), {QColor(0xf5, 0xc2, 0x42), dark}, outline);
    fillOutlined(p, QPolygonF{{-36.0, -17.0}, {-36.0, 17.0}, {-78.0, 0.0}}, {QColor(0xf1, 0xd3, 0xa1), dark}, outline);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x33, 0x33, 0x33));
    p.drawPolygon(QPolygonF{{-63.0, -6.1}, {-63.0, 6.1}, {-78.0, 0.0}});
    p.restore();
}

QImage render(const std::function<void(QPainter &)> &paint, int grid, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(pixels) / grid, qreal(pixels) / grid);
    paint(p);
    p.end();
    return image;
}

// The classic toolbar look for a disabled picture: the shape in greys that keep its inner lines,
// over a white copy of it shifted down and right, as if pressed into the button.
QImage disabledLook(const QImage &normal, int shift)
{
    const QImage source = normal.convertToFormat(QImage::Format_ARGB32);
    QImage grey(source.size(), QImage::Format_ARGB32);
    QImage light(source.size(), QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        auto *greyOut = reinterpret_cast<QRgb *>(grey.scanLine(y));
        auto *lightOut = reinterpret_cast<QRgb *>(light.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            const int level = 112 + qGray(in[x]) * 88 / 255;
            greyOut[x] = qRgba(level, level, level, alpha);
            lightOut[x] = qRgba(255, 255, 255, alpha);
        }
    }
    QImage result(source.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter p(&result);
    p.drawImage(shift, shift, light);
    p.drawImage(0, 0, grey);
    p.end();
    return result;
}

struct Picture {
    const char *name;
    void (*paint)(QPainter &);
    bool ownDisabledLook;
};

const Picture ButtonPictures[] = {
    {"up_level", paintUpLevel, false}, {"filter", paintFilter, true}, {"add", paintAdd, false},
    {"remove", paintRemove, true},     {"clear", paintClear, true},   {"try", paintTry, true},
    {"undo", paintUndo, true},         {"rename", paintRename, true}, {"row_up", paintRowUp, true},
    {"row_down", paintRowDown, true},  {"refresh", paintRefresh, false}, {"copy", paintCopy, false},
    {"print", paintPrint, false},      {"save", paintSave, false},
};

bool savePng(const QImage &image, const QDir &icons, const QString &file)
{
    const QString path = icons.filePath(file);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Through straight alpha first, as a PNG file holds it, so that the stored pixels are those the
// installed PNG pictures show.
bool saveStored(const QImage &image, const QDir &icons, const QString &name, QStringList &written)
{
    const QString file = name + QStringLiteral(".argb");
    const QString path = icons.filePath(file);
    QFile out(path);
    const QByteArray bytes = nomaro::encodeStoredPicture(image.convertToFormat(QImage::Format_ARGB32));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(path));
        return false;
    }
    written << file;
    return true;
}

bool writeResourceList(const QString &path, const QStringList &files)
{
    QFile qrc(path);
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(path));
        return false;
    }
    QTextStream out(&qrc);
    out << "<RCC>\n  <qresource prefix=\"/\">\n";
    for (const QString &file : files)
        out << "    <file compression-algorithm=\"none\">icons/" << file << "</file>\n";
    out << "  </qresource>\n</RCC>\n";
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: icongen <resources folder>\n", stderr);
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    if (!resources.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "icongen: cannot create %s/icons\n", argv[1]);
        return 1;
    }
    const QDir icons(resources.filePath(QStringLiteral("icons")));

    QStringList written;
    bool ok = true;
    for (const Picture &picture : ButtonPictures) {
        const QString name = QString::fromLatin1(picture.name);
        for (const int scale : {1, 2}) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@2x");
            const QImage normal = render(picture.paint, ButtonGrid, ButtonGrid * scale);
            ok = saveStored(normal, icons, name + suffix, written) && ok;
            if (picture.ownDisabledLook)
                ok = saveStored(disabledLook(normal, scale), icons, name + QStringLiteral("_disabled") + suffix, written)
                    && ok;
        }
    }
    const QImage program = render(paintProgram, 256, 256);
    ok = saveStored(program, icons, QStringLiteral("nomaro"), written) && ok;
    // The desktop's icon theme: every size drawn from the same shapes rather than scaled from
    // the largest picture, laid out as the installed tree is.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!icons.mkpath(folder)) {
            std::fprintf(stderr, "icongen: cannot create %s\n", qPrintable(icons.filePath(folder)));
            ok = false;
            continue;
        }
        ok = savePng(size == 256 ? program : render(paintProgram, 256, size), icons,
                     folder + QStringLiteral("/nomaro.png"))
            && ok;
    }
    written.sort();
    ok = writeResourceList(resources.filePath(QStringLiteral("nomaro.qrc")), written) && ok;
    return ok ? 0 : 1;
}

#include "app/theme_colours.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace nomaro::theme {
namespace {

const QColor kDesignedCaption(0x00, 0x00, 0x80);
const QColor kDesignedSplitter(0xC0, 0xC0, 0xC0);
// The light grey stands a fifth of the way from the classic light window (#F0F0F0) to black.
constexpr double kSplitterShade = 0.2;
// A disabled picture's darkest lines stand a little dimmer than a disabled caption, as a red or
// dark picture is not much brighter than the button when enabled.
constexpr double kInkDimming = 0.25;
// How far the lightest part of a disabled picture fades from the ink toward the button.
constexpr double kDisabledFade = 0.6;

double linearChannel(double srgb)
{
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

QColor mixed(const QColor &from, const QColor &to, double share)
{
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

} // namespace

double relativeLuminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linearChannel(rgb.redF()) + 0.7152 * linearChannel(rgb.greenF())
        + 0.0722 * linearChannel(rgb.blueF());
}

double contrastRatio(const QColor &first, const QColor &second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool isDark(const QPalette &palette)
{
    return relativeLuminance(palette.color(QPalette::Window))
        < relativeLuminance(palette.color(QPalette::WindowText));
}

QColor groupCaptionColour(const QPalette &palette)
{
    // A caption stands on the window, or on a tab page that styles paint from the button colour
    // made a little lighter (as far as the midlight at most).
    const QColor surfaces[] = {palette.color(QPalette::Window), palette.color(QPalette::Button),
                               palette.color(QPalette::Midlight)};
    const auto readsOnEverySurface = [&surfaces](const QColor &candidate) {
        return std::all_of(std::begin(surfaces), std::end(surfaces), [&candidate](const QColor &surface) {
            return contrastRatio(candidate, surface) >= kReadableContrast;
        });
    };
    const QColor text = palette.color(QPalette::WindowText);
    constexpr int kSteps = 20;
    for (int step = 0; step < kSteps; ++step) {
        const QColor candidate = mixed(kDesignedCaption, text, double(step) / kSteps);
        if (readsOnEverySurface(candidate))
            return candidate;
    }
    // The palette's own text reads as well as anything derived from it can.
    return text;
}

QColor splitterColour(const QPalette &palette)
{
    if (!isDark(palette))
        return kDesignedSplitter;
    return mixed(palette.color(QPalette::Window), palette.color(QPalette::WindowText), kSplitterShade);
}

QImage disabledPicture(const QImage &normal, const QPalette &palette)
{
    const QColor paper = palette.color(QPalette::Disabled, QPalette::Button);
    const QColor ink = mixed(palette.color(QPalette::Disabled, QPalette::ButtonText), paper, kInkDimming);
    QImage picture = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QColor shade = mixed(ink, paper, kDisabledFade * qGray(row[x]) / 255.0);
            row[x] = qRgba(shade.red(), shade.green(), shade.blue(), qAlpha(row[x]));
        }
    }
    picture.setDevicePixelRatio(normal.devicePixelRatio());
    return picture;
}

} // namespace nomaro::theme

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

#include "app/icons.h"
#include "app/tform1.h"
#include "app/theme_colours.h"
#include "tests/support/controls.h"

// The colours the window draws by itself, on light and dark palettes, measured as the WCAG
// measures text contrast.
namespace nomaro {
namespace {

using theme::contrastRatio;

const QColor kNavy(0x00, 0x00, 0x80);
const QColor kDesignedGrey(0xC0, 0xC0, 0xC0);

// A palette made from a button and a window colour (Qt derives the shades), with its own text.
QPalette paletteOf(const QColor &window, const QColor &button, const QColor &text)
{
    QPalette palette(button, window);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return palette;
}

// Dark palettes as desktops ship them: qt6ct's "darker" (whose tab pages Fusion paints lighter than
// the window), a dark Fusion and a GTK-like dark theme with a greyish white text.
std::map<std::string, QPalette> darkPalettes()
{
    QPalette darker = paletteOf(QColor(0x22, 0x20, 0x20), QColor(0x42, 0x42, 0x45), Qt::white);
    darker.setColor(QPalette::Midlight, QColor(0x5e, 0x5c, 0x5b));
    darker.setColor(QPalette::Base, QColor(0x3d, 0x3d, 0x3d));
    return {{"darker", darker},
            {"fusion dark", paletteOf(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35), Qt::white)},
            {"gtk dark", paletteOf(QColor(0x24, 0x24, 0x24), QColor(0x3a, 0x3a, 0x3a), QColor(0xee, 0xee, 0xec))}};
}

QPalette classicLightPalette()
{
    return paletteOf(QColor(0xf0, 0xf0, 0xf0), QColor(0xf0, 0xf0, 0xf0), Qt::black);
}

// Sets the application's palette for a test and gives the previous one back after it. The
// widgets take a new application palette from a posted event, as they do when the desktop's
// theme changes.
class ApplicationPalette
{
public:
    explicit ApplicationPalette(const QPalette &palette)
        : m_previous(QApplication::palette())
    {
        change(palette);
    }
    ~ApplicationPalette() { change(m_previous); }
    void change(const QPalette &palette)
    {
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
    }

private:
    QPalette m_previous;
};

TEST(WcagContrast, MeasuresAsTheGuidelinesDo)
{
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::black), 21.0, 0.01);
    EXPECT_NEAR(contrastRatio(kNavy, kNavy), 1.0, 1e-9);
    EXPECT_NEAR(contrastRatio(kNavy, Qt::white), 16.0, 0.05);
    // The designed navy on the tab page of a dark theme: the fault this code mends.
    EXPECT_NEAR(contrastRatio(kNavy, QColor(0x53, 0x53, 0x55)), 2.1, 0.05);
    EXPECT_NEAR(theme::relativeLuminance(QColor(0x80, 0x80, 0x80)), 0.2159, 0.0005);
}

TEST(GroupCaptionColour, KeepsTheDesignedNavyOnLightPalettes)
{
    EXPECT_EQ(theme::groupCaptionColour(classicLightPalette()), kNavy);
    EXPECT_EQ(theme::groupCaptionColour(QApplication::style()->standardPalette()), kNavy);
    EXPECT_FALSE(theme::isDark(classicLightPalette()));
}

TEST(GroupCaptionColour, ReadsOnEverySurfaceOfADarkPalette)
{
    for (const auto &[name, palette] : darkPalettes()) {
        EXPECT_TRUE(theme::isDark(palette)) << name;
        const QColor caption = theme::groupCaptionColour(palette);
        for (QPalette::ColorRole surface : {QPalette::Window, QPalette::Button, QPalette::Midlight})
            EXPECT_GE(contrastRatio(caption, palette.color(surface)), theme::kReadableContrast)
                << name << " surface " << surface << " caption " << caption.name().toStdString();
        // Still the navy's hue, not the plain text colour.
        EXPECT_GT(caption.blue(), caption.red()) << name;
    }
}

TEST(GroupCaptionColour, FallsBackOnTheTextWhereNothingReads)
{
    // A grey text on a grey window: no tint of navy reaches 4.5:1, the text is the best there is.
    const QPalette dim = paletteOf(QColor(0x40, 0x40, 0x40), QColor(0x40, 0x40, 0x40), QColor(0x90, 0x90, 0x90));
    EXPECT_EQ(theme::groupCaptionColour(dim), QColor(0x90, 0x90, 0x90));
}

// The highest contrast of a picture's pixels, drawn over the surface, against it.
struct Prominence
{
    double peak = 1;
};

Prominence prominence(const QImage &picture, const QColor &surface)
{
    QImage over(picture.size(), QImage::Format_RGB32);
    over.fill(surface);
    QPainter(&over).drawImage(0, 0, picture);
    Prominence result;
    for (int y = 0; y < over.height(); ++y)
        for (int x = 0; x < over.width(); ++x)
            result.peak = std::max(result.peak, contrastRatio(QColor(over.pixel(x, y)), surface));
    return result;
}

const char *const kPicturesWithDisabledLook[] = {"filter", "remove", "clear", "try",
                                                 "undo", "rename", "row_up", "row_down"};

TEST(DisabledPictures, StandBackFromTheEnabledOnesOnADarkPalette)
{
    for (const auto &[name, palette] : darkPalettes()) {
        const QColor button = palette.color(QPalette::Button);
        const double disabledCaption = contrastRatio(palette.color(QPalette::Disabled, QPalette::ButtonText), button);
        for (const char *picture : kPicturesWithDisabledLook) {
            const QIcon icon = pictureIcon(QLatin1String(picture), palette);
            const Prominence normal = prominence(icon.pixmap(20, QIcon::Normal).toImage(), button);
            const Prominence disabled = prominence(icon.pixmap(20, QIcon::Disabled).toImage(), button);
            // No brighter than the enabled picture or the greyed caption beside it, yet seen.
            EXPECT_LE(disabled.peak, normal.peak + 0.01) << name << ' ' << picture;
            EXPECT_LE(disabled.peak, disabledCaption + 0.01) << name << ' ' << picture;
            EXPECT_GT(disabled.peak, 1.3) << name << ' ' << picture;
        }
    }
}

TEST(DisabledPictures, KeepTheDesignedLookOnALightPalette)
{
    for (const char *picture : kPicturesWithDisabledLook) {
        const QIcon icon = pictureIcon(QLatin1String(picture), classicLightPalette());
        const QIcon designed = pictureIcon(QLatin1String(picture) + QStringLiteral("_disabled"), classicLightPalette());
        EXPECT_EQ(icon.pixmap(20, QIcon::Disabled).toImage(), designed.pixmap(20).toImage()) << picture;
    }
}

// The main window as the user sees it, on its listing page.
struct DrawnWindow : ::testing::Test
{
    TForm1 window;

    void SetUp() override
    {
        test::control<QTabWidget>(window, "PageControl1")->setCurrentIndex(2);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // The title of a group box as drawn: the most frequent colour of its strip is the
    // background, the pixel that stands out most from it is the text.
    std::pair<QColor, QColor> drawnTitle(const char *name)
    {
        auto *box = test::control<QGroupBox>(window, name);
        const QImage shot = window.grab().toImage();
        const QPoint origin = box->mapTo(&window, QPoint(0, 0)) * shot.devicePixelRatio();
        const QFontMetrics metrics(box->font());
        const QRect strip(origin.x() + 8, origin.y(), metrics.horizontalAdvance(box->title()) - 4,
                          metrics.height());
        std::map<QRgb, int> counts;
        for (int y = strip.top(); y <= strip.bottom(); ++y)
            for (int x = strip.left(); x <= strip.right(); ++x)
                ++counts[shot.pixel(x, y)];
        const QColor background(std::max_element(counts.begin(), counts.end(), [](auto a, auto b) {
                                    return a.second < b.second;
                                })->first);
        QColor text = background;
        for (const auto &[pixel, count] : counts)
            if (contrastRatio(QColor(pixel), background) > contrastRatio(text, background))
                text = QColor(pixel);
        return {background, text};
    }

    QColor drawnSplitter()
    {
        auto *bar = test::control<QWidget>(window, "Splitter1");
        return QColor(bar->grab().toImage().pixel(bar->width() / 2, bar->height() / 2));
    }
};

TEST_F(DrawnWindow, OptionCaptionsFollowThePaletteWhileTheProgramRuns)
{
    ApplicationPalette palette(classicLightPalette());
    for (const char *box : {"GroupBox3", "GroupBox7", "GroupBox6"})
        EXPECT_EQ(drawnTitle(box).second, kNavy) << box;

    for (const auto &[name, dark] : darkPalettes()) {
        palette.change(dark);
        for (const char *box : {"GroupBox3", "GroupBox7", "GroupBox6"}) {
            const auto [background, text] = drawnTitle(box);
            EXPECT_TRUE(theme::relativeLuminance(background) < 0.2) << name << ' ' << box << " not drawn dark";
            EXPECT_GE(contrastRatio(text, background), theme::kReadableContrast)
                << name << ' ' << box << ": " << text.name().toStdString() << " on "
                << background.name().toStdString();
        }
    }

    palette.change(classicLightPalette());
    EXPECT_EQ(drawnTitle("GroupBox6").second, kNavy);
}

TEST_F(DrawnWindow, ControlsUnderTheBoxesTakeANewPaletteWhileTheProgramRuns)
{
    // The boxes' style sheet kept the controls under them in the colours of the start.
    ApplicationPalette palette(classicLightPalette());
    const QPalette dark = darkPalettes().at("darker");
    palette.change(dark);
    for (const char *name : {"RBSEPSPAZIO", "CBPATH", "SC1", "BASENAME"})
        EXPECT_EQ(test::control<QWidget>(window, name)->palette().color(QPalette::WindowText),
                  dark.color(QPalette::WindowText)) << name;
}

TEST_F(DrawnWindow, SplitterBarsFollowThePalette)
{
    test::control<QTabWidget>(window, "PageControl1")->setCurrentIndex(0);
    ApplicationPalette palette(classicLightPalette());
    EXPECT_EQ(drawnSplitter(), kDesignedGrey);
    for (const auto &[name, dark] : darkPalettes()) {
        palette.change(dark);
        const QColor bar = drawnSplitter();
        const QColor window = dark.color(QPalette::Window);
        // Set apart from the window, yet darker than its text: a light stripe no more.
        EXPECT_GT(contrastRatio(bar, window), 1.3) << name;
        EXPECT_LT(theme::relativeLuminance(bar), theme::relativeLuminance(dark.color(QPalette::WindowText)) / 2)
            << name;
    }
}

} // namespace
} // namespace nomaro

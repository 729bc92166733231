#pragma once

#include <QColor>
#include <QImage>
#include <QPalette>

// The colours the main window draws by itself, chosen from the palette so that they read on a
// dark desktop theme as well as on the light one they were designed for.
namespace nomaro::theme {

// The relative luminance of a colour as the WCAG defines it: 0 for black, 1 for white.
double relativeLuminance(const QColor &colour);
// The WCAG contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &first, const QColor &second);
// The least contrast that the WCAG asks of ordinary text.
constexpr double kReadableContrast = 4.5;

// A palette whose windows are darker than their text.
bool isDark(const QPalette &palette);

// The colour of the list options' group captions: the designed navy wherever it reads on the
// palette's window, button and midlight colours, otherwise the navy mixed with the palette's
// text until it reads on all three.
QColor groupCaptionColour(const QPalette &palette);

// The splitter bars' grey: the designed light grey on a light palette; on a dark one a grey
// between the window and its text, as far from the window as the light grey is.
QColor splitterColour(const QPalette &palette);

// The disabled look of a button picture on a dark palette: the picture's shape and inner lines in
// a dimmed disabled text colour of the palette, fading toward the button where the picture is
// light, so that it is never brighter than a disabled caption. (The designed disabled pictures are pressed
// into a light button with a white edge, which shines on a dark one.)
QImage disabledPicture(const QImage &normal, const QPalette &palette);

} // namespace nomaro::theme

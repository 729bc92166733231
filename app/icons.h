#pragma once

#include <QIcon>
#include <QPalette>

namespace nomaro {

// A button picture from the program's own resources ("<name>.argb"), with its own look for the
// disabled state where one exists ("<name>_disabled.argb"). On a dark palette (the
// application's by default) the disabled look is drawn from the picture in the palette's
// disabled colours instead, as the designed one is made for a light button.
QIcon pictureIcon(const QString &name, const QPalette &palette = QPalette());

// The program icon of the main window and the filter dialog.
QIcon programIcon();

} // namespace nomaro
